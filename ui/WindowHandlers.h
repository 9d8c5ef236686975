// The window's own handlers: the exit question, the way back to the
// quick-install page and the link highlight.
#pragma once

#include <cstdint>

namespace ui {

class WindowModel;

constexpr std::uint32_t kLinkColour = 0xFF7A7A7A;
constexpr std::uint32_t kLinkHoverColour = 0xFF000000;

// Black while the pointer is over the label (state 1), grey otherwise.
void HighlightLink(WindowModel& model, std::uint32_t label, int state);
// The back link: page 0, nothing else changes.
void ShowQuickInstallPage(WindowModel& model);

// Registers the three under their form names, ConfirmExit included
// (Windows only: it asks with a message box and may end the program).
void RegisterWindowHandlers();

}  // namespace ui
