// The window toolkit's core, free of Win32: control state, properties by
// number, pointer handling (hover, press, click), events delivered to
// bound handlers, and the coalescing of repaints. A backend feeds it
// pointer input and paints when asked; tests drive it without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/PropertyValue.h"

namespace ui {

enum class PointerState { Normal, Hover, Pressed };

struct ControlState {
    const ControlRow* row = nullptr;
    Rect bounds;             // in window coordinates
    rt::Text text;           // labels, buttons: caption; edit box: content
    std::uint32_t colour = 0;
    int position = 0;        // progress ring
    bool disabled = false;   // raises no events
};

// What the painter may draw beyond a control's rectangle, in layout
// pixels: a caption's room on the sides its alignment leaves free, and
// the focus ring's gap and pen.
constexpr int kTextSpare = 80;
constexpr int kFocusRingGap = 3;
constexpr int kFocusRingPen = 2;

// Where painting the control may touch: its bounds with the room its
// focus ring and its text may take beyond them.
Rect PaintExtent(const ControlState& c);
Rect Union(const Rect& a, const Rect& b);
bool Intersects(const Rect& a, const Rect& b);

class WindowModel {
public:
    // A handler learns which control raised the event, and its argument.
    using Handler = std::function<void(std::uint32_t control, int argument)>;

    explicit WindowModel(const std::vector<ControlRow>& form);
    const std::vector<ControlRow>& form() const { return form_; }

    // Properties by number; Set reports whether the control and property
    // exist. Writing the value a property already has changes nothing.
    PropertyValue Get(std::uint32_t control, int property) const;
    bool Set(std::uint32_t control, int property, const PropertyValue& value);

    int currentPage() const { return page_; }
    const std::vector<ControlState>& controls() const { return controls_; }
    const ControlState* Find(std::uint32_t control) const;
    bool IsShown(const ControlState& c) const;  // on the window or the current page

    // One handler per action the form's bindings name.
    void RegisterHandler(Action action, Handler handler);
    bool HasHandler(Action action) const;
    // Runs the handlers bound to the event, unless the control is disabled.
    void RaiseEvent(std::uint32_t control, int event, int argument = 0);

    // Pointer input in window coordinates.
    void PointerMoved(int x, int y);
    void PointerLeft();
    void ButtonDown(int x, int y);
    void ButtonUp(int x, int y);
    // The shown, enabled control that takes pointer input at (x, y), or 0.
    std::uint32_t ControlAt(int x, int y) const;
    bool WantsHandCursor(int x, int y) const;
    PointerState StateOf(std::uint32_t control) const;
    bool pointerCaptured() const { return pressed_ != 0; }
    // Another window took the pointer mid-press: the press ends, no click.
    void CaptureLost();

    // The control with the keyboard focus, or 0; typed text goes to it when
    // it is the edit box.
    std::uint32_t focused() const { return focused_; }
    void TypeText(const rt::Text& characters);
    void Backspace();

    // Keyboard: Tab and Shift+Tab go through the shown, enabled controls
    // that take the pointer, in form order, round the end; the ring shows
    // from the first Tab until the next press of the pointer.
    void FocusNext(bool backwards);
    bool focusVisible() const { return focusVisible_ && focused_ != 0; }
    // Enter clicks the focused button or link, else the page's default button.
    void Enter();
    // Space clicks the focused button or link (in the edit box it types).
    void Space();

    // Repaint coalescing: the requester is called once when the window
    // turns dirty; the backend paints and calls Painted().
    void SetPaintRequester(std::function<void()> requester) { requester_ = std::move(requester); }
    bool dirty() const { return dirty_; }
    // What must be painted again, in window coordinates: the paint extents
    // of the controls that changed (the whole window after a page change,
    // pointer or focus changes, or when nothing is dirty).
    Rect DirtyArea() const;
    void Painted();
    void Invalidate() { MarkDirty(); }
    int paintRequests() const { return paintRequests_; }

private:
    ControlState* FindMutable(std::uint32_t control);
    void MarkDirty();                  // the whole window
    void MarkDirty(const Rect& area);  // only the area
    void RequestPaintOnce();
    void SetHovered(std::uint32_t control);
    void PageChanged();

    const std::vector<ControlRow>& form_;
    std::vector<ControlState> controls_;
    std::map<Action, Handler> handlers_;
    int page_ = 0;
    std::uint32_t hovered_ = 0, pressed_ = 0, focused_ = 0;
    int pointerX_ = -1, pointerY_ = -1;
    bool pointerInside_ = false;
    bool focusVisible_ = false;
    bool dirty_ = false;
    bool wholeDirty_ = false;
    Rect dirtyArea_;
    int paintRequests_ = 0;
    std::function<void()> requester_;
};

}  // namespace ui
