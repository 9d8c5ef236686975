#include "app/PathText.h"

namespace app {

using namespace rt;

Text TextBefore(const Text& text, const Text& marker, int start, bool ignoreCase) {
    const int length = TextLength(text);
    int position;
    if (start < 0) {
        int s = -start;
        if (s == 1) s = 0;
        position = FindTextReverse(text, marker, length - s + 1, ignoreCase);
    } else {
        position = FindText(text, marker, start == 0 ? 1 : start, ignoreCase);
    }
    return position == -1 ? Text() : LeftText(text, position - 1);
}

Text TextBetween(const Text& text, const Text& left, const Text& right, int start, bool ignoreCase) {
    const Text l = ReplaceText(left, "#引号", "\"");
    const Text r = ReplaceText(right, "#引号", "\"");
    const int p = FindText(text, l, start, ignoreCase);
    if (p == -1) return Text();
    const int from = p + TextLength(l);
    const int q = FindText(text, r, from, ignoreCase);
    if (q == -1) return Text();
    return MidText(text, from, q - from);
}

bool IsValidDrivePath(const Text& path, bool rejectDriveRoot) {
    Text w = path;
    while (FindText(w, "\\\\") > 0) w = ReplaceText(w, "\\\\", "\\");
    while (FindText(w, "//") > 0) w = ReplaceText(w, "//", "/");
    const int c = CodeAt(UpperCase(LeftText(w, 1)), 1);
    if (c < 'A' || c > 'Z') return false;
    if (FindText(w, ":\\") <= 0 && FindText(w, ":/") <= 0) return false;
    if (!rejectDriveRoot) return true;
    w = ReplaceText(w, "\\\\", "\\");
    w = ReplaceText(w, "//", "/");
    return TextLength(w) != 3;
}

Bytes TrimAtNull(const Bytes& wide, bool keepTerminator) {
    if (wide.size() < 2) return Bytes();
    size_t cut = wide.size() & ~static_cast<size_t>(1);
    for (size_t i = 0; i + 1 < wide.size(); i += 2) {
        if (wide[i] == 0 && wide[i + 1] == 0) {
            cut = i;
            break;
        }
    }
    if (cut == 0) return Bytes();
    Bytes out(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(cut));
    if (keepTerminator) out.insert(out.end(), {0, 0});
    return out;
}

}  // namespace app
