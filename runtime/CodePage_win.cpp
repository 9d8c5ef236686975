#include "runtime/CodePage.h"

#include "runtime/Win32.h"

namespace rt {

std::u16string TextToWide(const Text& text) {
    const int length = static_cast<int>(std::char_traits<char>::length(text.c_str()));
    if (length == 0) return std::u16string();
    int n = MultiByteToWideChar(textCodePage, 0, text.c_str(), length, nullptr, 0);
    if (n <= 0) return std::u16string();
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(textCodePage, 0, text.c_str(), length, reinterpret_cast<wchar_t*>(&wide[0]), n);
    return wide;
}

bool GbkToWideStrict(const std::string& bytes, std::u16string& out) {
    out.clear();
    if (bytes.empty()) return true;
    const int length = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(textCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (n <= 0) return false;
    out.assign(static_cast<size_t>(n), u'\0');
    return MultiByteToWideChar(textCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length,
                               reinterpret_cast<wchar_t*>(&out[0]), n) == n;
}

Text WideToText(const std::u16string& wide, bool* lossy) {
    if (lossy) *lossy = false;
    const int length = static_cast<int>(std::char_traits<char16_t>::length(wide.c_str()));
    if (length == 0) return Text();
    const auto* w = reinterpret_cast<const wchar_t*>(wide.c_str());
    int n = WideCharToMultiByte(textCodePage, WC_NO_BEST_FIT_CHARS, w, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        if (lossy) *lossy = true;
        return Text();
    }
    Text text(static_cast<size_t>(n), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(textCodePage, WC_NO_BEST_FIT_CHARS, w, length, &text[0], n, nullptr, &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE;
    return text;
}

bool PathToWide(const Text& path, std::u16string& wide) {
    return GbkToWideStrict(Text(path.c_str()), wide);
}

bool WideToPathText(const std::u16string& wide, Text& path) {
    bool lossy = false;
    path = WideToText(wide, &lossy);
    return !lossy;
}

}  // namespace rt
