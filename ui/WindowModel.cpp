#include "ui/WindowModel.h"

#include <algorithm>

#include "ui/ControlIds.h"

namespace ui {
namespace {

bool TakesPointer(const ControlRow& row) {
    switch (row.type) {
        case ControlType::Button:
        case ControlType::ImageButton:
        case ControlType::Label:
            return !row.bindings.empty();
        case ControlType::EditBox:
            return true;
        default:
            return false;
    }
}

// Removes the last character, both bytes of a two-byte one.
void DropLastCharacter(rt::Text& text) {
    size_t i = 0, last = 0;
    while (i < text.size()) {
        last = i;
        i += (rt::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    if (!text.empty()) text.erase(last);
}

}  // namespace

WindowModel::WindowModel(const std::vector<ControlRow>& form) : form_(form) {
    controls_.reserve(form.size());
    for (const ControlRow& row : form) {
        ControlState c;
        c.row = &row;
        c.text = row.text;
        c.colour = row.colour;
        c.disabled = !row.enabled;
        Rect origin{};
        if (row.parent != 0) {
            if (const ControlState* parent = Find(row.parent)) origin = parent->bounds;
        }
        c.bounds = {origin.left + row.rect.left, origin.top + row.rect.top, row.rect.width, row.rect.height};
        controls_.push_back(c);
    }
    page_ = kQuickInstallPage;
}

const ControlState* WindowModel::Find(std::uint32_t control) const {
    for (const ControlState& c : controls_)
        if (c.row->id == control) return &c;
    return nullptr;
}

ControlState* WindowModel::FindMutable(std::uint32_t control) {
    return const_cast<ControlState*>(static_cast<const WindowModel*>(this)->Find(control));
}

bool WindowModel::IsShown(const ControlState& c) const {
    return c.row->page == kNoPage || c.row->page == page_;
}

PropertyValue WindowModel::Get(std::uint32_t control, int property) const {
    const ControlState* c = Find(control);
    if (!c) return PropertyValue();
    switch (c->row->type) {
        case ControlType::PageContainer:
            if (property == kPropCurrentPage) return PropertyValue(page_);
            break;
        case ControlType::Label:
            if (property == kPropText) return PropertyValue(c->text);
            if (property == kPropTextColour) return PropertyValue(c->colour);
            break;
        case ControlType::ProgressRing:
            if (property == kPropPosition) return PropertyValue(c->position);
            break;
        case ControlType::EditBox:
            if (property == kPropContent) return PropertyValue(c->text);
            break;
        case ControlType::ImageButton:
            if (property == kPropDisabled) return PropertyValue(c->disabled);
            break;
        default:
            break;
    }
    return PropertyValue();
}

bool WindowModel::Set(std::uint32_t control, int property, const PropertyValue& value) {
    ControlState* c = FindMutable(control);
    if (!c || !value.valid()) return false;
    bool changed = false;
    switch (c->row->type) {
        case ControlType::PageContainer: {
            if (property != kPropCurrentPage) return false;
            const int page = static_cast<int>(std::clamp<std::int64_t>(value.AsInteger(), 0, kFinishPage));
            if (page != page_) {
                page_ = page;
                PageChanged();
                MarkDirty();
            }
            return true;
        }
        case ControlType::Label:
            if (property == kPropText) {
                const rt::Text text = value.AsText();
                changed = text != c->text;
                c->text = text;
            } else if (property == kPropTextColour) {
                const auto colour = static_cast<std::uint32_t>(value.AsInteger());
                changed = colour != c->colour;
                c->colour = colour;
            } else {
                return false;
            }
            break;
        case ControlType::ProgressRing: {
            if (property != kPropPosition) return false;
            // The ring shows 0 to 300; what it holds is what it shows.
            const int position = static_cast<int>(std::clamp<std::int64_t>(value.AsInteger(), 0, kProgressMaximum));
            changed = position != c->position;
            c->position = position;
            break;
        }
        case ControlType::EditBox: {
            if (property != kPropContent) return false;
            const rt::Text text = value.AsText();
            changed = text != c->text;
            c->text = text;
            break;
        }
        case ControlType::ImageButton: {
            if (property != kPropDisabled) return false;
            const bool disabled = value.AsInteger() != 0;
            changed = disabled != c->disabled;
            c->disabled = disabled;
            if (changed && disabled && (hovered_ == control || pressed_ == control)) {
                if (pressed_ == control) pressed_ = 0;
                hovered_ = 0;
            }
            if (disabled && focused_ == control) focused_ = 0;  // nothing to click with the keyboard
            break;
        }
        default:
            return false;
    }
    if (changed && IsShown(*c)) MarkDirty(PaintExtent(*c));
    return true;
}

void WindowModel::RegisterHandler(Action action, Handler handler) { handlers_[action] = std::move(handler); }

bool WindowModel::HasHandler(Action action) const {
    auto it = handlers_.find(action);
    return it != handlers_.end() && it->second;
}

void WindowModel::RaiseEvent(std::uint32_t control, int event, int argument) {
    const ControlState* c = Find(control);
    if (!c || c->disabled) return;
    // Copy the actions first: a handler may register others meanwhile.
    std::vector<Action> actions;
    for (const Binding& b : c->row->bindings)
        if (b.event == event) actions.push_back(b.action);
    for (Action action : actions) {
        auto it = handlers_.find(action);
        if (it != handlers_.end() && it->second) {
            Handler handler = it->second;  // survives re-registration during the call
            handler(control, argument);
        }
    }
}

std::uint32_t WindowModel::ControlAt(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const ControlState& c = *it;
        if (!IsShown(c) || c.disabled || !TakesPointer(*c.row)) continue;
        if (c.bounds.Contains(x, y)) return c.row->id;
    }
    return 0;
}

bool WindowModel::WantsHandCursor(int x, int y) const {
    const ControlState* c = Find(ControlAt(x, y));
    return c && c->row->handCursor;
}

PointerState WindowModel::StateOf(std::uint32_t control) const {
    const ControlState* c = Find(control);
    if (!c || c->disabled) return PointerState::Normal;
    if (pressed_ == control) return hovered_ == control ? PointerState::Pressed : PointerState::Hover;
    if (hovered_ == control && pressed_ == 0) return PointerState::Hover;
    return PointerState::Normal;
}

void WindowModel::SetHovered(std::uint32_t control) {
    if (control == hovered_) return;
    const std::uint32_t old = hovered_;
    hovered_ = control;
    MarkDirty();
    if (old) RaiseEvent(old, kEventHoverState, 0);
    if (control) RaiseEvent(control, kEventHoverState, 1);
}

void WindowModel::PointerMoved(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
    pointerInside_ = true;
    SetHovered(ControlAt(x, y));
}

void WindowModel::PointerLeft() {
    pointerInside_ = false;
    SetHovered(0);
}

void WindowModel::ButtonDown(int x, int y) {
    PointerMoved(x, y);
    pressed_ = hovered_;
    const ControlState* c = Find(pressed_);
    const std::uint32_t focus = (c && c->row->type == ControlType::EditBox) ? pressed_ : 0;
    if (focus != focused_) focused_ = focus;
    focusVisible_ = false;
    MarkDirty();
}

void WindowModel::ButtonUp(int x, int y) {
    const std::uint32_t pressed = pressed_;
    pressed_ = 0;
    PointerMoved(x, y);
    MarkDirty();
    // Cleared before the handler runs: it may run long and pump messages.
    if (pressed && pressed == hovered_) RaiseEvent(pressed, kEventClick, 0);
}

void WindowModel::CaptureLost() {
    if (pressed_ == 0) return;
    pressed_ = 0;
    MarkDirty();
}

void WindowModel::TypeText(const rt::Text& characters) {
    ControlState* c = FindMutable(focused_);
    if (!c || c->row->type != ControlType::EditBox || !IsShown(*c) || characters.empty()) return;
    c->text += characters;
    MarkDirty(PaintExtent(*c));
}

void WindowModel::Backspace() {
    ControlState* c = FindMutable(focused_);
    if (!c || c->row->type != ControlType::EditBox || !IsShown(*c) || c->text.empty()) return;
    DropLastCharacter(c->text);
    MarkDirty(PaintExtent(*c));
}

void WindowModel::FocusNext(bool backwards) {
    std::vector<std::uint32_t> order;
    for (const ControlState& c : controls_)
        if (IsShown(c) && !c.disabled && TakesPointer(*c.row)) order.push_back(c.row->id);
    if (order.empty()) return;
    auto at = std::find(order.begin(), order.end(), focused_);
    size_t next;
    if (at == order.end()) {
        next = backwards ? order.size() - 1 : 0;
    } else {
        const size_t i = static_cast<size_t>(at - order.begin());
        next = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
    }
    focused_ = order[next];
    focusVisible_ = true;
    MarkDirty();
}

void WindowModel::Enter() {
    const ControlState* c = Find(focused_);
    if (c && IsShown(*c) && !c->disabled && c->row->type != ControlType::EditBox) {
        RaiseEvent(focused_, kEventClick, 0);
        return;
    }
    for (const ControlState& d : controls_) {
        if (d.row->isDefault && IsShown(d) && !d.disabled) {
            RaiseEvent(d.row->id, kEventClick, 0);
            return;
        }
    }
}

void WindowModel::Space() {
    const ControlState* c = Find(focused_);
    if (c && IsShown(*c) && !c->disabled && c->row->type != ControlType::EditBox) RaiseEvent(focused_, kEventClick, 0);
}

void WindowModel::PageChanged() {
    pressed_ = 0;
    if (const ControlState* f = Find(focused_); f && !IsShown(*f)) {
        focused_ = 0;
        focusVisible_ = false;
    }
    // What the pointer is over may have changed: hidden controls lose
    // their hover (and a hovered link its highlight).
    SetHovered(pointerInside_ ? ControlAt(pointerX_, pointerY_) : 0);
}

void WindowModel::MarkDirty() {
    wholeDirty_ = true;
    RequestPaintOnce();
}

void WindowModel::MarkDirty(const Rect& area) {
    dirtyArea_ = Union(dirtyArea_, area);
    RequestPaintOnce();
}

void WindowModel::RequestPaintOnce() {
    if (dirty_) return;
    dirty_ = true;
    ++paintRequests_;
    if (requester_) requester_();
}

Rect WindowModel::DirtyArea() const {
    const ControlState* window = Find(kMainWindowId);
    if (dirty_ && !wholeDirty_ && window) return dirtyArea_;
    return window ? window->bounds : Rect{};
}

void WindowModel::Painted() {
    dirty_ = false;
    wholeDirty_ = false;
    dirtyArea_ = Rect{};
}

Rect PaintExtent(const ControlState& c) {
    // Room for the focus ring and the anti-aliased edge of the ring's pie
    // (a pixel more); text may run past its rectangle on the sides its
    // alignment leaves free, and a little below.
    constexpr int kMargin = kFocusRingGap + kFocusRingPen + 1, kTextBelow = 4;
    Rect r{c.bounds.left - kMargin, c.bounds.top - kMargin, c.bounds.width + 2 * kMargin,
           c.bounds.height + 2 * kMargin};
    const bool texted = c.row->type == ControlType::Label || c.row->type == ControlType::Button;
    if (texted) {
        if (c.row->hAlign == HAlign::Centre) {
            r.left -= kTextSpare / 2;
            r.width += kTextSpare;
        } else if (c.row->hAlign == HAlign::Right) {
            r.left -= kTextSpare;
            r.width += kTextSpare;
        } else {
            r.width += kTextSpare;
        }
        r.height += kTextBelow;
    }
    return r;
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.width <= 0 || a.height <= 0) return b;
    if (b.width <= 0 || b.height <= 0) return a;
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

bool Intersects(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

}  // namespace ui
