// Entry names as Windows will read them: the stored bytes are decoded once
// into UTF-16 (UTF-8 when the entry says so, GBK otherwise), and every
// later step (splitting, checking, creating) works on that decoded form,
// where a GBK trail byte can no longer pass for a separator.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// General-purpose flag bit 11: the name and comment are UTF-8.
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

// False when the bytes are not valid in the entry's encoding.
bool DecodeEntryName(const std::string& stored, bool utf8, std::u16string& name);

// Whether Windows stores a file or folder under exactly this name: not
// empty, "." or "..", not a device (CON, nul.txt, COM1, CONOUT$ ...), no
// control character and none of < > : " / \ | ? *, no trailing dot or
// space (Windows would drop it and write to another name).
bool IsSafeNameComponent(const std::u16string& component);

// The decoded name as a path relative to the destination, with "\"
// separators; a folder entry's one trailing separator is dropped. False
// when any component is unsafe, which includes a leading separator.
bool SafeRelativePath(const std::u16string& name, std::u16string& relative);

inline bool IsSafeEntryName(const std::u16string& name) {
    std::u16string relative;
    return SafeRelativePath(name, relative);
}

}  // namespace rt
