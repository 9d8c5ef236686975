// What a screen reader is told about the window, free of Win32: the
// shown controls of the current page as accessible children, and the
// events that tell a reader what changed between two frames.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Text.h"
#include "ui/Form.h"
#include "ui/WindowModel.h"

namespace ui {

enum class AccessibleRole { PushButton, Link, EditableText, StaticText, ProgressBar };

struct AccessibleNode {
    std::uint32_t control = 0;
    AccessibleRole role = AccessibleRole::StaticText;
    rt::Text name;   // the caption; a picture button's or edit box's accessible name
    rt::Text value;  // the edit box's folder; the ring's percentage label
    Rect bounds;     // layout pixels, window coordinates
    bool focusable = false;
    bool focused = false;
    bool unavailable = false;
    bool clickable = false;  // has a default action: a click
};

// The shown controls a reader can name, in form order (the page's, then
// the window's own): buttons, links (labels that click), the edit box,
// the ring, and the labels with text that are not the ring's value.
// Pictures are left out: they say nothing.
std::vector<AccessibleNode> AccessibleChildren(const WindowModel& model);

enum class AccessibleChange {
    Reorder,      // the children are others (a page change)
    Focus,        // the keyboard focus moved to the child
    ValueChange,  // the ring's percentage or the edit box's folder
    NameChange,   // a status line's text
    StateChange,  // became available or unavailable
};

struct AccessibleEvent {
    AccessibleChange change;
    int child;  // 1-based position among the children after; 0 for the window itself
    bool operator==(const AccessibleEvent& o) const { return change == o.change && child == o.child; }
};

// The events between two frames' children: a reorder alone when the set
// of controls differs, else one event per child that changed.
std::vector<AccessibleEvent> AccessibleChanges(const std::vector<AccessibleNode>& before,
                                               const std::vector<AccessibleNode>& after);

}  // namespace ui
