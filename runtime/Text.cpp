#include "runtime/Text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rt {
namespace {

// Byte width of the character starting at i (a lone lead byte at the end
// counts as one byte).
size_t CharWidth(const Text& s, size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

template <typename Fold>
Text FoldAscii(const Text& text, Fold fold) {
    Text out = text;
    for (size_t i = 0; i < out.size();) {
        size_t w = CharWidth(out, i);
        if (w == 1) out[i] = fold(out[i]);
        i += w;
    }
    return out;
}

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether `sought` occurs in `text` at byte offset i; both already folded.
bool MatchesAt(const Text& text, const Text& sought, size_t i) {
    return i + sought.size() <= text.size() &&
           std::memcmp(text.data() + i, sought.data(), sought.size()) == 0;
}

}  // namespace

int TextLength(const Text& text) { return static_cast<int>(text.size()); }

Text LeftText(const Text& text, int n) {
    if (n <= 0) return Text();
    return text.substr(0, static_cast<size_t>(n));
}

Text RightText(const Text& text, int n) {
    if (n <= 0) return Text();
    size_t k = static_cast<size_t>(n);
    return k >= text.size() ? text : text.substr(text.size() - k);
}

Text MidText(const Text& text, int start, int n) {
    if (n <= 0 || start < 1 || static_cast<size_t>(start) > text.size()) return Text();
    return text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n));
}

Text CharFromCode(int code) {
    char c = static_cast<char>(code & 0xFF);
    return c == 0 ? Text() : Text(1, c);
}

int CodeAt(const Text& text, int position) {
    if (position < 1 || static_cast<size_t>(position) > text.size()) return 0;
    return static_cast<unsigned char>(text[static_cast<size_t>(position) - 1]);
}

int FindText(const Text& text, const Text& sought, int start, bool ignoreCase) {
    if (start < 1) start = 1;
    const size_t from = static_cast<size_t>(start) - 1;
    if (from >= text.size()) return -1;
    if (sought.empty()) return 1;
    const Text t = ignoreCase ? LowerCase(text) : text;
    const Text s = ignoreCase ? LowerCase(sought) : sought;
    for (size_t i = 0; i < t.size(); i += CharWidth(t, i)) {
        if (i >= from && MatchesAt(t, s, i)) return static_cast<int>(i) + 1;
    }
    return -1;
}

int FindTextReverse(const Text& text, const Text& sought, int start, bool ignoreCase) {
    if (start < 1 || text.empty()) return -1;
    if (sought.empty()) return 1;
    const size_t last = static_cast<size_t>(start) - 1;
    const Text t = ignoreCase ? LowerCase(text) : text;
    const Text s = ignoreCase ? LowerCase(sought) : sought;
    int found = -1;
    for (size_t i = 0; i < t.size() && i <= last; i += CharWidth(t, i)) {
        if (MatchesAt(t, s, i)) found = static_cast<int>(i) + 1;
    }
    return found;
}

Text UpperCase(const Text& text) { return FoldAscii(text, ToUpperAscii); }
Text LowerCase(const Text& text) { return FoldAscii(text, ToLowerAscii); }

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, int start,
                 int count, bool caseSensitive) {
    if (sought.empty() || count == 0) return text;
    if (start < 1) start = 1;
    const size_t from = static_cast<size_t>(start) - 1;
    const Text t = caseSensitive ? text : LowerCase(text);
    const Text s = caseSensitive ? sought : LowerCase(sought);
    Text out;
    out.reserve(text.size());
    int replaced = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (i >= from && (count < 0 || replaced < count) && MatchesAt(t, s, i)) {
            out += replacement;
            i += s.size();
            ++replaced;
            continue;
        }
        size_t w = CharWidth(text, i);
        out.append(text, i, w);
        i += w;
    }
    return out;
}

Text SpaceText(int n) { return n <= 0 ? Text() : Text(static_cast<size_t>(n), ' '); }

int CompareText(const Text& a, const Text& b, bool caseSensitive) {
    const Text x = caseSensitive ? a : LowerCase(a);
    const Text y = caseSensitive ? b : LowerCase(b);
    // Unsigned byte order equals the order of (lead, trail) character codes.
    int r = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
    if (r != 0) return r < 0 ? -1 : 1;
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
}

}  // namespace rt
