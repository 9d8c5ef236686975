#include "runtime/zip/EntryName.h"

#include "runtime/CodePage.h"
#include "runtime/Utf8.h"

namespace rt {
namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool EqualsIgnoringAsciiCase(const std::u16string& a, const char16_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (AsciiUpper(a[i]) != b[i]) return false;
    return i == a.size() && !b[i];
}

// Windows maps these names to devices in any folder, whatever follows the
// first dot, and ignores spaces before that dot.
bool IsDeviceName(const std::u16string& component) {
    std::u16string base = component.substr(0, component.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (EqualsIgnoringAsciiCase(base, device)) return true;
    if (base.size() == 4) {
        const std::u16string stem = base.substr(0, 3);
        const char16_t digit = base[3];
        const bool numbered = (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
                              digit == u'\u00B3';
        if (numbered && (EqualsIgnoringAsciiCase(stem, u"COM") || EqualsIgnoringAsciiCase(stem, u"LPT"))) return true;
    }
    return false;
}

}  // namespace

bool DecodeEntryName(const std::string& stored, bool utf8, std::u16string& name) {
    return utf8 ? Utf8ToUtf16Strict(stored, name) : GbkToWideStrict(stored, name);
}

bool IsSafeNameComponent(const std::u16string& component) {
    if (component.empty() || component == u"." || component == u"..") return false;
    for (char16_t c : component) {
        if (c < 0x20) return false;
        switch (c) {
            case u'<': case u'>': case u':': case u'"': case u'/': case u'\\': case u'|': case u'?': case u'*':
                return false;
            default:
                break;
        }
    }
    if (component.back() == u'.' || component.back() == u' ') return false;
    return !IsDeviceName(component);
}

bool SafeRelativePath(const std::u16string& name, std::u16string& relative) {
    relative.clear();
    size_t end = name.size();
    if (end > 0 && IsSeparator(name[end - 1])) --end;  // a folder entry's "dir/"
    if (end == 0) return false;
    size_t start = 0;
    while (start <= end) {
        size_t stop = start;
        while (stop < end && !IsSeparator(name[stop])) ++stop;
        const std::u16string component = name.substr(start, stop - start);
        if (!IsSafeNameComponent(component)) return false;
        if (!relative.empty()) relative += u'\\';
        relative += component;
        start = stop + 1;
    }
    return true;
}

}  // namespace rt
