// The one conversion pair at the boundary to the wide Win32 functions.
// Windows builds only: wchar_t is a UTF-16 unit there.
#pragma once

#include <string>

#include "runtime/CodePage.h"

namespace rt {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

// A Text for a wide Win32 function, up to its first zero. Empty when the
// bytes are not valid GBK: no call then names some other file or shows
// replacement characters.
inline std::wstring ToWin32(const Text& text) {
    std::u16string wide;
    if (!PathToWide(text, wide)) return std::wstring();
    return std::wstring(wide.begin(), wide.end());
}
inline std::wstring ToWin32(const std::u16string& wide) { return std::wstring(wide.begin(), wide.end()); }

// What a wide Win32 function gave back, as Text; see WideToText.
inline Text FromWin32(const std::wstring& wide, bool* lossy = nullptr) {
    return WideToText(std::u16string(wide.begin(), wide.end()), lossy);
}

}  // namespace rt
