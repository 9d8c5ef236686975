#pragma once

#include "ui/Gdiplus.h"
#include "ui/WindowModel.h"

namespace ui {

// Composes the whole window: the skin background, the current page's
// controls, then the controls on the window itself.
void PaintWindow(const WindowModel& model, Gdiplus::Graphics& g);

}  // namespace ui
