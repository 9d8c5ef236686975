// Cutting texts at markers and testing drive paths: the portable half of
// the installer's path utilities.
#pragma once

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace app {

using rt::Bytes;
using rt::Text;

// The text in front of the marker: the first occurrence at or after start
// (0 and 1 both mean the beginning), or for a negative start the last one
// beginning at or before position length + start + 1 (-1: anywhere).
// Empty when the marker is missing.
Text TextBefore(const Text& text, const Text& marker, int start = 0, bool ignoreCase = false);

// The text between the first left marker at or after start and the first
// right marker after it. "#引号" in a marker stands for a double quote.
Text TextBetween(const Text& text, const Text& left, const Text& right, int start = 0,
                 bool ignoreCase = false);

// A letter, then ":\" or ":/" somewhere, after doubled separators are
// collapsed; a bare drive root fails when rejectDriveRoot is set.
bool IsValidDrivePath(const Text& path, bool rejectDriveRoot);

// UTF-16LE bytes cut before the first zero character, with one zero
// character appended when keepTerminator is set. Empty when the array is
// shorter than 2 bytes or begins with a zero character.
Bytes TrimAtNull(const Bytes& wide, bool keepTerminator);

}  // namespace app
