// Conversions between Text (GBK) and UTF-16. Always code page 936, never
// the system's ANSI code page, so results do not depend on the locale.
#pragma once

#include <string>

#include "runtime/Text.h"

namespace rt {

// The code page of every conversion between Text and UTF-16, for the whole
// process: GBK, whatever the system's ANSI code page is.
constexpr unsigned textCodePage = 936;

std::u16string TextToWide(const Text& text);
// Strict decoding of GBK bytes for names that become files: every byte is
// converted (a zero included) or the result is false; nothing is replaced.
bool GbkToWideStrict(const std::string& bytes, std::u16string& out);
// Stops at the first zero character. No best-fit mapping: a character GBK
// cannot hold becomes "?" (never a look-alike letter, which could name
// another file), and lossy, when given, says whether that happened.
Text WideToText(const std::u16string& wide, bool* lossy = nullptr);

// For paths, which must name exactly the file meant: up to the first zero,
// every byte valid GBK, or false.
bool PathToWide(const Text& path, std::u16string& wide);
// False when any character of the path has no GBK form.
bool WideToPathText(const std::u16string& wide, Text& path);

}  // namespace rt
