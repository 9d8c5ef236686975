#pragma once

#include <memory>
#include <string>

#include "ui/Gdiplus.h"

namespace ui {

// A skin image decoded from the exe's resources (RCDATA named like the
// image file without ".png"); null when missing. Decoded once, kept.
Gdiplus::Bitmap* SkinImage(const char* name);
// The image at the given size: the image itself at its own size, else a
// copy resampled once (high-quality bicubic) and kept, so that painting
// never resamples.
Gdiplus::Bitmap* SkinImageSized(const char* name, int width, int height);
void ReleaseSkinImages();

// The first installed family of the font chain, the default GUI font's
// family as the last resort; fonts are cached by size and weight.
Gdiplus::Font* UiFont(int size, bool bold);
void ReleaseFonts();

}  // namespace ui
