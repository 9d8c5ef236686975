// Conversions between Text (GBK) and UTF-16. Always code page 936, never
// the system's ANSI code page, so results do not depend on the locale.
#pragma once

#include <string>

#include "runtime/Text.h"

namespace rt {

constexpr unsigned kTextCodePage = 936;

std::u16string TextToWide(const Text& text);
// Strict decoding of GBK bytes for names that become files: every byte is
// converted (a zero included) or the result is false; nothing is replaced.
bool GbkToWideStrict(const std::string& bytes, std::u16string& out);
// Stops at the first zero character; unconvertible characters become "?".
Text WideToText(const std::u16string& wide);

}  // namespace rt
