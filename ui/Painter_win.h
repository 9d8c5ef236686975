#pragma once

#include "ui/DpiScale.h"
#include "ui/Gdiplus.h"
#include "ui/WindowModel.h"

namespace ui {

// Composes the window within the area (device pixels): the skin
// background, the current page's controls, then the controls on the
// window itself, each only where its paint extent meets the area; layout
// pixels are drawn at the scale's device pixels.
void PaintWindow(const WindowModel& model, const DpiScale& scale, Gdiplus::Graphics& g, const Rect& area);

}  // namespace ui
