// Owners for GDI objects: memory DCs, bitmaps, a screen DC borrowed with
// GetDC, and an object selected into a DC for a while.
#pragma once

#include <utility>

#include "runtime/Handles.h"

namespace rt {

struct MemoryDcTraits {
    using Type = HDC;
    static HDC Empty() { return nullptr; }
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static HGDIOBJ Empty() { return nullptr; }
    static void Close(HGDIOBJ object) { ::DeleteObject(object); }
};

using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;

// The screen's DC for as long as the owner lives.
class ScreenDc {
public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Keeps an object selected into a DC and puts the previous one back, so
// that the DC and the object can be deleted afterwards. Declare it after
// the owners of both.
class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() { reset(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }
    void reset() {
        if (dc_ && previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace rt
