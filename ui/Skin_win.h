#pragma once

#include <memory>
#include <string>

#include "ui/Gdiplus.h"

namespace ui {

// A skin image decoded from the exe's resources (RCDATA named like the
// image file without ".png"); null when missing. Decoded once, kept.
Gdiplus::Bitmap* SkinImage(const char* name);
// The image at the given size, from the one drawn for the nearest scale
// above (NAME, NAME_150, NAME_200): that image itself at its own size,
// else a copy resampled once (high-quality bicubic) and kept, so that
// painting never resamples.
Gdiplus::Bitmap* SkinImageSized(const char* name, int width, int height);
void ReleaseSkinImages();

// The first installed family of the font chain, the default GUI font's
// family as the last resort; fonts are cached by size, weight and dpi.
Gdiplus::Font* UiFont(int size, bool bold, int dpi);
void ReleaseFonts();

}  // namespace ui
