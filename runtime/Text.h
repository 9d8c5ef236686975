// Text: the installer's string, a GBK (code page 936) byte string.
// Positions are 1-based; a search that finds nothing gives -1. A search
// or replace never matches starting in the second byte of a two-byte
// character: scanning steps over both bytes of such a character.
#pragma once

#include <climits>
#include <string>

namespace rt {

using Text = std::string;

// Count argument of ReplaceText meaning "every match".
constexpr int kAllMatches = -1;
// Start argument of FindTextReverse meaning "anywhere up to the end".
constexpr int kToEnd = INT_MAX;

// True for a byte that begins a two-byte GBK character.
inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

int TextLength(const Text& text);
Text LeftText(const Text& text, int n);
Text RightText(const Text& text, int n);
Text MidText(const Text& text, int start, int n);
Text CharFromCode(int code);
int CodeAt(const Text& text, int position = 1);

int FindText(const Text& text, const Text& sought, int start = 1, bool ignoreCase = false);
// Last match that begins at or before position start.
int FindTextReverse(const Text& text, const Text& sought, int start = kToEnd, bool ignoreCase = false);

Text UpperCase(const Text& text);
Text LowerCase(const Text& text);

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement = Text(),
                 int start = 1, int count = kAllMatches, bool caseSensitive = true);
Text SpaceText(int n);
// Negative, 0 or positive; case folding touches ASCII letters only.
int CompareText(const Text& a, const Text& b, bool caseSensitive);

}  // namespace rt
