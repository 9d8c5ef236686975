#include "ui/AccessibleView.h"

#include <algorithm>

#include "ui/ControlIds.h"

namespace ui {
namespace {

bool Clicks(const ControlRow& row) {
    return std::any_of(row.bindings.begin(), row.bindings.end(),
                       [](const Binding& b) { return b.event == kEventClick; });
}

bool IsValueLabel(const WindowModel& model, std::uint32_t control) {
    return std::any_of(model.controls().begin(), model.controls().end(),
                       [control](const ControlState& c) { return c.row->valueLabel == control; });
}

}  // namespace

std::vector<AccessibleNode> AccessibleChildren(const WindowModel& model) {
    std::vector<AccessibleNode> nodes;
    for (const ControlState& c : model.controls()) {
        if (!model.IsShown(c)) continue;
        const ControlRow& row = *c.row;
        AccessibleNode node;
        node.control = row.id;
        node.bounds = c.bounds;
        switch (row.type) {
            case ControlType::Button:
            case ControlType::ImageButton:
                node.role = AccessibleRole::PushButton;
                node.name = row.accessibleName.empty() ? c.text : row.accessibleName;
                node.clickable = true;
                break;
            case ControlType::Label:
                if (Clicks(row)) {
                    node.role = AccessibleRole::Link;
                    node.clickable = true;
                } else if (c.text.empty() || IsValueLabel(model, row.id)) {
                    continue;
                } else {
                    node.role = AccessibleRole::StaticText;
                }
                node.name = c.text;
                break;
            case ControlType::EditBox:
                node.role = AccessibleRole::EditableText;
                node.name = row.accessibleName;
                node.value = c.text;
                break;
            case ControlType::ProgressRing: {
                node.role = AccessibleRole::ProgressBar;
                node.name = row.accessibleName;
                const ControlState* label = model.Find(row.valueLabel);
                if (label) node.value = label->text;
                break;
            }
            default:
                continue;
        }
        const bool interactive = node.clickable || node.role == AccessibleRole::EditableText;
        node.focusable = interactive && !c.disabled;
        node.focused = node.focusable && model.focused() == row.id;
        node.unavailable = interactive && c.disabled;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<AccessibleEvent> AccessibleChanges(const std::vector<AccessibleNode>& before,
                                               const std::vector<AccessibleNode>& after) {
    const bool sameControls =
        before.size() == after.size() &&
        std::equal(before.begin(), before.end(), after.begin(),
                   [](const AccessibleNode& a, const AccessibleNode& b) { return a.control == b.control; });
    std::vector<AccessibleEvent> events;
    if (!sameControls) {
        events.push_back({AccessibleChange::Reorder, 0});
        // The focus on the new page is news too.
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i].focused) events.push_back({AccessibleChange::Focus, static_cast<int>(i + 1)});
        return events;
    }
    for (size_t i = 0; i < after.size(); ++i) {
        const AccessibleNode &a = before[i], &b = after[i];
        const int child = static_cast<int>(i + 1);
        if (b.focused && !a.focused) events.push_back({AccessibleChange::Focus, child});
        if (a.value != b.value) events.push_back({AccessibleChange::ValueChange, child});
        if (a.name != b.name) events.push_back({AccessibleChange::NameChange, child});
        if (a.unavailable != b.unavailable) events.push_back({AccessibleChange::StateChange, child});
    }
    return events;
}

}  // namespace ui
