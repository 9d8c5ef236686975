#include "runtime/Utf8.h"

#include "runtime/CodePage.h"

namespace rt {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte announces, 0 for a byte that cannot
// begin one.
size_t SequenceLength(std::uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC0) return 0;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF8) return 4;
    if (lead < 0xFC) return 5;
    if (lead < 0xFE) return 6;
    return 0;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(const Bytes& bytes) {
    static const char32_t kSmallest[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = SequenceLength(bytes[i]);
        if (n == 1) {
            out += static_cast<char16_t>(bytes[i++]);
            continue;
        }
        bool valid = n != 0 && i + n <= bytes.size();
        char32_t cp = valid ? (bytes[i] & (0x7F >> n)) : 0;
        for (size_t k = 1; valid && k < n; ++k) {
            valid = (bytes[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        }
        if (!valid || cp < kSmallest[n]) {
            out += static_cast<char16_t>(kReplacement);
            ++i;  // resynchronise on the next byte
            continue;
        }
        AppendCodePoint(out, cp);
        i += n;
    }
    return out;
}

bool Utf8ToUtf16Strict(const std::string& bytes, std::u16string& out) {
    static const char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    out.clear();
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        const size_t n = SequenceLength(lead);
        if (n == 1) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if (n == 0 || n > 4 || i + n > bytes.size()) return false;
        char32_t cp = lead & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        AppendCodePoint(out, cp);
        i += n;
    }
    return true;
}

std::string Utf16ToUtf8(const std::u16string& wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

Text Utf8ToText(const Bytes& bytes) {
    if (bytes.empty()) return Text();
    return WideToText(Utf8ToUtf16(bytes));
}

}  // namespace rt
