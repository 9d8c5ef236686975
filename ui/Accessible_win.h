// The window as a screen reader sees it: an MSAA IAccessible object for
// the client area whose simple children are the accessible view's nodes,
// and the win events that tell readers what changed.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Win32.h"
#include "ui/AccessibleView.h"

namespace ui {

// What the accessible object asks of the window it stands for.
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    virtual std::vector<AccessibleNode> Children() const = 0;
    virtual rt::Text Name() const = 0;
    // A rectangle in layout pixels of the window, in screen pixels.
    virtual RECT ScreenRect(const Rect& layout) const = 0;
    // Clicks the control later, from the window's own message loop: the
    // reader's call returns at once even when the click runs long.
    virtual void ClickLater(std::uint32_t control) = 0;
};

// Answers WM_GETOBJECT: the client object for OBJID_CLIENT, nothing (0)
// for the other objects, which the system answers itself.
LRESULT AnswerGetObject(HWND window, AccessibleSource& source, WPARAM wParam, LPARAM lParam);

// Cuts readers off from the window before it goes: the object they may
// still hold answers that it is gone.
void DisconnectAccessible();

// Reports the changes between two frames' children (NotifyWinEvent).
void NotifyAccessibleChanges(HWND window, const std::vector<AccessibleEvent>& events);

}  // namespace ui
