#include "ui/Skin_win.h"

#include <shlwapi.h>

#include <map>
#include <tuple>
#include <utility>

#include "runtime/Handles.h"

namespace ui {
namespace {

std::map<std::string, std::unique_ptr<Gdiplus::Bitmap>>& Images() {
    static std::map<std::string, std::unique_ptr<Gdiplus::Bitmap>> images;
    return images;
}

std::unique_ptr<Gdiplus::Bitmap> Decode(const char* name) {
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceA(module, upper.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    if (!data || size == 0) return nullptr;
    rt::ComPtr<IStream> stream;
    *stream.put() = ::SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) return nullptr;
    // Copy into a premultiplied bitmap of our own: the stream is not kept,
    // and drawing premultiplied pixels onto the window surface is cheapest.
    const int w = static_cast<int>(decoded->GetWidth()), h = static_cast<int>(decoded->GetHeight());
    auto copy = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics g(copy.get());
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.DrawImage(decoded.get(), 0, 0, w, h);
    }
    return copy;
}

struct SizedKey {
    std::string name;
    int width, height;
    bool operator<(const SizedKey& o) const {
        return std::tie(name, width, height) < std::tie(o.name, o.width, o.height);
    }
};

std::map<SizedKey, std::unique_ptr<Gdiplus::Bitmap>>& SizedImages() {
    static std::map<SizedKey, std::unique_ptr<Gdiplus::Bitmap>> images;
    return images;
}

// What each name at each size is drawn with (an image, or its resampled
// copy): found once, so that a frame makes one lookup per control.
std::map<SizedKey, Gdiplus::Bitmap*>& ResolvedImages() {
    static std::map<SizedKey, Gdiplus::Bitmap*> resolved;
    return resolved;
}

Gdiplus::Bitmap* Resolve(const char* name, int width, int height);

std::unique_ptr<Gdiplus::Bitmap> Resampled(Gdiplus::Bitmap* image, int width, int height) {
    auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    Gdiplus::Graphics g(copy.get());
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(image, Gdiplus::Rect(0, 0, width, height), 0, 0, static_cast<INT>(image->GetWidth()),
                static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel);
    return copy;
}

struct FontKey {
    int size;
    bool bold;
    int dpi;
    bool operator<(const FontKey& o) const { return std::tie(size, bold, dpi) < std::tie(o.size, o.bold, o.dpi); }
};

std::map<FontKey, std::unique_ptr<Gdiplus::Font>>& Fonts() {
    static std::map<FontKey, std::unique_ptr<Gdiplus::Font>> fonts;
    return fonts;
}

std::unique_ptr<Gdiplus::FontFamily>& Family() {
    static std::unique_ptr<Gdiplus::FontFamily> family;
    return family;
}

Gdiplus::FontFamily* ChosenFamily() {
    std::unique_ptr<Gdiplus::FontFamily>& family = Family();
    if (family) return family.get();
    static const wchar_t* const kChain[] = {L"\u5FAE\u8F6F\u96C5\u9ED1" /* 微软雅黑 */, L"Microsoft YaHei", L"SimHei",
                                            L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};
    for (const wchar_t* name : kChain) {
        auto candidate = std::make_unique<Gdiplus::FontFamily>(name);
        if (candidate->GetLastStatus() == Gdiplus::Ok && candidate->IsAvailable()) {
            family = std::move(candidate);
            return family.get();
        }
    }
    // The default GUI font's face.
    LOGFONTW logFont{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    family = std::make_unique<Gdiplus::FontFamily>(logFont.lfFaceName);
    return family.get();
}

}  // namespace

Gdiplus::Bitmap* SkinImage(const char* name) {
    if (!name) return nullptr;
    auto& images = Images();
    auto it = images.find(name);
    if (it == images.end()) it = images.emplace(name, Decode(name)).first;
    return it->second.get();
}

Gdiplus::Bitmap* SkinImageSized(const char* name, int width, int height) {
    if (!name) return nullptr;
    auto& resolved = ResolvedImages();
    SizedKey key{name, width, height};
    auto it = resolved.find(key);
    if (it == resolved.end()) it = resolved.emplace(key, Resolve(name, width, height)).first;
    return it->second;
}

namespace {

Gdiplus::Bitmap* Resolve(const char* name, int width, int height) {
    // The smallest of the images drawn for 1x, 1.5x and 2x that is at
    // least as wide as asked for (else the largest): drawn at the
    // window's scale, it is copied pixel for pixel.
    Gdiplus::Bitmap* image = nullptr;
    for (const char* suffix : {"", "_150", "_200"}) {
        Gdiplus::Bitmap* drawn = SkinImage((std::string(name) + suffix).c_str());
        if (!drawn) continue;
        image = drawn;
        if (static_cast<int>(drawn->GetWidth()) >= width) break;
    }
    if (!image || width <= 0 || height <= 0) return image;
    if (static_cast<int>(image->GetWidth()) == width && static_cast<int>(image->GetHeight()) == height) return image;
    auto& sized = SizedImages();
    SizedKey key{name, width, height};
    auto it = sized.find(key);
    if (it == sized.end()) it = sized.emplace(std::move(key), Resampled(image, width, height)).first;
    return it->second.get();
}

}  // namespace

void ReleaseSkinImages() {
    ResolvedImages().clear();
    SizedImages().clear();
    Images().clear();
}

Gdiplus::Font* UiFont(int size, bool bold, int dpi) {
    auto& fonts = Fonts();
    const FontKey key{size, bold, dpi};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        // Layout sizes are points; the font is made in the window's device
        // pixels, so that glyphs are rasterised at its scale, not stretched.
        const float pixels = static_cast<float>(size) * static_cast<float>(dpi) / 72.0f;
        it = fonts.emplace(key, std::make_unique<Gdiplus::Font>(ChosenFamily(), pixels,
                                                                bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                                                                Gdiplus::UnitPixel))
                 .first;
    }
    return it->second.get();
}

void ReleaseFonts() {
    Fonts().clear();
    Family().reset();
}

}  // namespace ui
