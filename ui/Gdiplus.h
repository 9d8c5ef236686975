// GDI+ for the toolkit's Win32 files: its headers want min/max and the
// COM stream types, which the project's defaults leave out.
#pragma once

#include "runtime/Win32.h"

#include <objidl.h>
#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

namespace ui {

// GDI+ for as long as the owner lives; ok() says whether it started.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiplusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// A clip set for one scope; the clip before it comes back at its end.
class ScopedClip {
public:
    template <typename Shape>
    ScopedClip(Gdiplus::Graphics& g, const Shape& shape) : g_(g) {
        g_.GetClip(&previous_);
        g_.SetClip(shape, Gdiplus::CombineModeIntersect);
    }
    ~ScopedClip() { g_.SetClip(&previous_); }
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

private:
    Gdiplus::Graphics& g_;
    Gdiplus::Region previous_;
};

// A compositing mode for one scope.
class ScopedCompositing {
public:
    ScopedCompositing(Gdiplus::Graphics& g, Gdiplus::CompositingMode mode)
        : g_(g), previous_(g.GetCompositingMode()) {
        g_.SetCompositingMode(mode);
    }
    ~ScopedCompositing() { g_.SetCompositingMode(previous_); }
    ScopedCompositing(const ScopedCompositing&) = delete;
    ScopedCompositing& operator=(const ScopedCompositing&) = delete;

private:
    Gdiplus::Graphics& g_;
    Gdiplus::CompositingMode previous_;
};

}  // namespace ui
