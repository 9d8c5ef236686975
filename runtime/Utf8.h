#pragma once

#include <string>

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace rt {

// UTF-8 sequences of 1 to 6 bytes decoded to UTF-16; code points above
// 0xFFFF become surrogate pairs. A malformed, overlong or truncated
// sequence, or a code point beyond 0x10FFFF, becomes U+FFFD.
std::u16string Utf8ToUtf16(const Bytes& bytes);

// Strict decoding for names that become files: false on any malformed,
// overlong or truncated sequence, a surrogate or a code point beyond
// 0x10FFFF, so that no two stored names can map to one file.
bool Utf8ToUtf16Strict(const std::string& bytes, std::u16string& out);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& wide);

// The bytes decoded as UTF-8 and converted to GBK; empty on empty input.
Text Utf8ToText(const Bytes& bytes);

}  // namespace rt
