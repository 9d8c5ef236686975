// From the layout's pixels (96 dpi) to the window's device pixels and
// back. Edges are scaled, not sizes, so that neighbouring controls still
// meet at any scale, and a device pixel maps back to the layout pixel
// whose scaled area holds it.
#pragma once

#include "ui/Form.h"

namespace ui {

constexpr int kLayoutDpi = 96;

class DpiScale {
public:
    DpiScale() = default;
    explicit DpiScale(int dpi) : dpi_(dpi >= 24 && dpi <= 960 ? dpi : kLayoutDpi) {}

    int dpi() const { return dpi_; }
    float factor() const { return static_cast<float>(dpi_) / kLayoutDpi; }
    bool operator==(const DpiScale& o) const { return dpi_ == o.dpi_; }
    bool operator!=(const DpiScale& o) const { return dpi_ != o.dpi_; }

    // A layout coordinate (an edge) in device pixels, rounded to nearest.
    int Scale(int layout) const;
    // A layout length that is not an edge (a gap, a pen): the same rounding,
    // at least 1 when the length is.
    int ScaleLength(int layout) const;
    Rect Scale(const Rect& r) const;
    // The layout pixel whose scaled area holds the device pixel: the
    // largest v with Scale(v) <= device.
    int Unscale(int device) const;

private:
    int dpi_ = kLayoutDpi;
};

}  // namespace ui
