// The native build converts with glibc's iconv, so the portable code that
// needs GBK conversions can be tested on Linux.
#include <iconv.h>

#include "runtime/CodePage.h"

namespace rt {
namespace {

// Converts one run of input; returns false when iconv rejects it.
bool Convert(const char* to, const char* from, const char* in, size_t inSize, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(inSize * 4 + 8, '\0');
    char* src = const_cast<char*>(in);
    char* dst = &buffer[0];
    size_t srcLeft = inSize, dstLeft = buffer.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return false;
    buffer.resize(buffer.size() - dstLeft);
    out += buffer;
    return true;
}

}  // namespace

std::u16string TextToWide(const Text& text) {
    const Text t(text.c_str());
    std::string raw;
    std::u16string wide;
    // Character by character, so that one bad byte does not lose the rest.
    for (size_t i = 0; i < t.size();) {
        size_t w = (IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size()) ? 2 : 1;
        raw.clear();
        if (Convert("UTF-16LE", "GBK", t.data() + i, w, raw) && raw.size() >= 2) {
            for (size_t k = 0; k + 1 < raw.size(); k += 2)
                wide += static_cast<char16_t>(static_cast<unsigned char>(raw[k]) |
                                              (static_cast<unsigned char>(raw[k + 1]) << 8));
        } else {
            wide += u'\xFFFD';
        }
        i += w;
    }
    return wide;
}

bool GbkToWideStrict(const std::string& bytes, std::u16string& out) {
    out.clear();
    std::string raw;
    // glibc's CP936 is Windows' code page 936 (0x80 is the euro sign there too).
    if (!bytes.empty() && !Convert("UTF-16LE", "CP936", bytes.data(), bytes.size(), raw)) return false;
    for (size_t k = 0; k + 1 < raw.size(); k += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(raw[k]) | (static_cast<unsigned char>(raw[k + 1]) << 8));
    return true;
}

Text WideToText(const std::u16string& wide, bool* lossy) {
    if (lossy) *lossy = false;
    const std::u16string w(wide.c_str());
    Text text;
    for (size_t i = 0; i < w.size();) {
        // Unit by unit, as WideCharToMultiByte does: a surrogate pair (no
        // GBK form) gives two "?".
        const size_t units = 1;
        std::string raw;
        for (size_t k = 0; k < units; ++k) {
            raw += static_cast<char>(w[i + k] & 0xFF);
            raw += static_cast<char>(w[i + k] >> 8);
        }
        if (!Convert("CP936", "UTF-16LE", raw.data(), raw.size(), text)) {
            text += '?';
            if (lossy) *lossy = true;
        }
        i += units;
    }
    return text;
}

bool PathToWide(const Text& path, std::u16string& wide) { return GbkToWideStrict(Text(path.c_str()), wide); }

bool WideToPathText(const std::u16string& wide, Text& path) {
    bool lossy = false;
    path = WideToText(wide, &lossy);
    return !lossy;
}

}  // namespace rt
