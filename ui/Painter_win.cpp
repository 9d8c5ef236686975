#include "ui/Painter_win.h"

#include "runtime/Win32Text.h"
#include "ui/ControlIds.h"
#include "ui/Skin_win.h"

namespace ui {
namespace {

using Gdiplus::Graphics;

Gdiplus::RectF RectOf(const Rect& r) {
    return Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.width),
                          static_cast<float>(r.height));
}

// Draws the named image over the rectangle at the opacity (0..255). The
// image comes at the rectangle's size and is copied pixel for pixel:
// resampling while painting costs tens of milliseconds a frame.
void DrawImage(Graphics& g, const char* name, const Rect& r, int opacity) {
    Gdiplus::Bitmap* image = SkinImageSized(name, r.width, r.height);
    if (!image) return;
    const Gdiplus::Rect dest(r.left, r.top, r.width, r.height);
    const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
    if (opacity >= 255) {
        g.DrawImage(image, dest, 0, 0, w, h, Gdiplus::UnitPixel);
        return;
    }
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                    {0, 1, 0, 0, 0},
                                    {0, 0, 1, 0, 0},
                                    {0, 0, 0, static_cast<float>(opacity) / 255.0f, 0},
                                    {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    g.DrawImage(image, dest, 0, 0, w, h, Gdiplus::UnitPixel, &attributes);
}

Gdiplus::Color WithOpacity(std::uint32_t argb, int opacity) {
    const std::uint32_t alpha = ((argb >> 24) & 0xFF) * static_cast<std::uint32_t>(opacity) / 255;
    return Gdiplus::Color(static_cast<BYTE>(alpha), static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8),
                          static_cast<BYTE>(argb));
}

// Labels and captions draw whole, even a little past their rectangle;
// the edit box trims long paths with an ellipsis.
void DrawText(Graphics& g, const DpiScale& scale, const rt::Text& text, const ControlRow& row,
              std::uint32_t colour, const Rect& r, int opacity, bool trim = false) {
    if (text.empty()) return;
    Gdiplus::StringFormat format;
    format.SetAlignment(row.hAlign == HAlign::Left    ? Gdiplus::StringAlignmentNear
                        : row.hAlign == HAlign::Right ? Gdiplus::StringAlignmentFar
                                                       : Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(row.vAlign == VAlign::Top      ? Gdiplus::StringAlignmentNear
                            : row.vAlign == VAlign::Bottom ? Gdiplus::StringAlignmentFar
                                                            : Gdiplus::StringAlignmentCenter);
    if (trim) {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisPath);
    } else {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsNoClip);
        format.SetTrimming(Gdiplus::StringTrimmingNone);
    }
    Gdiplus::SolidBrush brush(WithOpacity(colour, opacity));
    const std::wstring wide = rt::ToWin32(text);
    Gdiplus::RectF layout = RectOf(r);
    if (!trim) {
        // Room to the sides that alignment does not pin, so that a caption
        // a pixel wider than its rectangle is not cut to fewer characters.
        const float spare = static_cast<float>(kTextSpare) * scale.factor();
        if (row.hAlign != HAlign::Left) layout.X -= row.hAlign == HAlign::Centre ? spare / 2 : spare;
        layout.Width += spare;
    }
    g.DrawString(wide.c_str(), static_cast<INT>(wide.size()), UiFont(row.fontSize, row.bold, scale.dpi()), layout, &format,
                 &brush);
}

const char* ImageFor(const ControlRow& row, PointerState state) {
    const Images& i = row.images;
    if (state == PointerState::Pressed && i.pressed) return i.pressed;
    if (state != PointerState::Normal && i.hover) return i.hover;
    return i.normal;
}

void PaintRing(Graphics& g, const DpiScale& scale, const ControlState& c) {
    const Rect r = scale.Scale(c.bounds);
    DrawImage(g, c.row->images.normal, r, c.row->opacity);
    if (c.position <= 0) return;
    // The fill grows clockwise from the top over position / 300 of the circle.
    const float sweep = 360.0f * static_cast<float>(c.position) / static_cast<float>(kProgressMaximum);
    Gdiplus::GraphicsPath pie;
    const float margin = scale.factor();
    pie.AddPie(static_cast<float>(r.left) - margin, static_cast<float>(r.top) - margin,
               static_cast<float>(r.width) + 2 * margin, static_cast<float>(r.height) + 2 * margin, -90.0f, sweep);
    const ScopedClip clip(g, &pie);
    DrawImage(g, c.row->images.hover, r, c.row->opacity);
}

// The keyboard focus: a rounded frame just outside the control.
void PaintFocusRing(Graphics& g, const DpiScale& scale, const Rect& layoutRect) {
    const Rect r = scale.Scale(layoutRect);
    const float kGap = static_cast<float>(kFocusRingGap) * scale.factor(), kRadius = 6.0f * scale.factor();
    const float left = static_cast<float>(r.left) - kGap, top = static_cast<float>(r.top) - kGap;
    const float right = static_cast<float>(r.left + r.width) + kGap, bottom = static_cast<float>(r.top + r.height) + kGap;
    Gdiplus::GraphicsPath path;
    path.AddArc(left, top, 2 * kRadius, 2 * kRadius, 180.0f, 90.0f);
    path.AddArc(right - 2 * kRadius, top, 2 * kRadius, 2 * kRadius, 270.0f, 90.0f);
    path.AddArc(right - 2 * kRadius, bottom - 2 * kRadius, 2 * kRadius, 2 * kRadius, 0.0f, 90.0f);
    path.AddArc(left, bottom - 2 * kRadius, 2 * kRadius, 2 * kRadius, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::Pen pen(Gdiplus::Color(230, 47, 128, 237), static_cast<float>(kFocusRingPen) * scale.factor());
    g.DrawPath(&pen, &path);
}

void PaintEditBox(Graphics& g, const DpiScale& scale, const WindowModel& model, const ControlState& c) {
    const bool focused = model.focused() == c.row->id;
    const PointerState state = focused ? PointerState::Hover : model.StateOf(c.row->id);
    const Rect bounds = scale.Scale(c.bounds);
    DrawImage(g, ImageFor(*c.row, state), bounds, c.row->opacity);
    const Rect inner = scale.Scale(Rect{c.bounds.left + 10, c.bounds.top, c.bounds.width - 20, c.bounds.height});
    const ScopedClip clip(g, RectOf(inner));
    DrawText(g, scale, c.text, *c.row, c.colour, inner, c.row->opacity, !focused);
    if (focused) {
        // A caret after the text.
        const std::wstring wide = rt::ToWin32(c.text);
        Gdiplus::RectF measured;
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        format.SetFormatFlags(Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        g.MeasureString(wide.c_str(), static_cast<INT>(wide.size()), UiFont(c.row->fontSize, c.row->bold, scale.dpi()),
                        Gdiplus::PointF(0, 0), &format, &measured);
        const float x = std::min(static_cast<float>(inner.left) + measured.Width + scale.factor(),
                                 static_cast<float>(inner.left + inner.width) - scale.factor());
        Gdiplus::Pen pen(WithOpacity(c.colour, 255), static_cast<float>(scale.ScaleLength(1)));
        const float mid = static_cast<float>(bounds.top) + static_cast<float>(bounds.height) / 2.0f;
        const float half = 8.0f * scale.factor();
        g.DrawLine(&pen, x, mid - half, x, mid + half);
    }
}

}  // namespace

void PaintWindow(const WindowModel& model, const DpiScale& scale, Graphics& g, const Rect& area) {
    g.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    const ScopedClip clip(g, RectOf(area));
    g.Clear(Gdiplus::Color(0, 0, 0, 0));  // within the clip

    for (const ControlState& c : model.controls()) {
        if (!model.IsShown(c) || !Intersects(scale.Scale(PaintExtent(c)), area)) continue;
        const ControlRow& row = *c.row;
        const PointerState state = model.StateOf(row.id);
        const Rect bounds = scale.Scale(c.bounds);
        switch (row.type) {
            case ControlType::WindowSkin: {
                // The bottom layer: copied over the cleared surface, which
                // gives the same pixels as blending, at less cost.
                const ScopedCompositing copy(g, Gdiplus::CompositingModeSourceCopy);
                DrawImage(g, row.images.normal, bounds, 255);
                break;
            }
            case ControlType::PictureBox:
                DrawImage(g, row.images.normal, bounds, row.opacity);
                break;
            case ControlType::Label:
                DrawText(g, scale, c.text, row, c.colour, bounds, row.opacity);
                break;
            case ControlType::Button:
                DrawImage(g, ImageFor(row, state), bounds, row.opacity);
                DrawText(g, scale, c.text, row, c.colour, bounds, row.opacity);
                break;
            case ControlType::ImageButton:
                // A disabled button is shown faded: it does not answer.
                DrawImage(g, ImageFor(row, state), bounds, c.disabled ? row.opacity * 2 / 5 : row.opacity);
                break;
            case ControlType::ProgressRing:
                PaintRing(g, scale, c);
                break;
            case ControlType::EditBox:
                PaintEditBox(g, scale, model, c);
                break;
            default:
                break;
        }
    }
    if (model.focusVisible()) {
        if (const ControlState* f = model.Find(model.focused()); f && model.IsShown(*f)) PaintFocusRing(g, scale, f->bounds);
    }
}

}  // namespace ui
