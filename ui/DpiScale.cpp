#include "ui/DpiScale.h"

#include <cstdint>

namespace ui {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

int DpiScale::Scale(int layout) const {
    // round(layout * dpi / 96), halves upwards: floor((2 * layout * dpi + 96) / 192).
    return static_cast<int>(FloorDiv(2 * static_cast<std::int64_t>(layout) * dpi_ + kLayoutDpi, 2 * kLayoutDpi));
}

int DpiScale::ScaleLength(int layout) const {
    const int scaled = Scale(layout);
    return layout > 0 && scaled < 1 ? 1 : scaled;
}

Rect DpiScale::Scale(const Rect& r) const {
    const int left = Scale(r.left), top = Scale(r.top);
    return {left, top, Scale(r.left + r.width) - left, Scale(r.top + r.height) - top};
}

int DpiScale::Unscale(int device) const {
    // A first guess from the pixel's centre, then the exact inverse of
    // the rounding in Scale.
    int v = static_cast<int>(FloorDiv((2 * static_cast<std::int64_t>(device) + 1) * kLayoutDpi, 2 * dpi_));
    while (Scale(v) > device) --v;
    while (Scale(v + 1) <= device) ++v;
    return v;
}

}  // namespace ui
