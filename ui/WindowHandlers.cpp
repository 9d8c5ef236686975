#include "ui/WindowHandlers.h"

#include "ui/ControlIds.h"
#include "ui/Screens.h"
#include "ui/WindowModel.h"

namespace ui {

void HighlightLink(WindowModel& model, std::uint32_t label, int state) {
    model.Set(label, kPropTextColour, state == 1 ? kLinkHoverColour : kLinkColour);
}

void ShowQuickInstallPage(WindowModel& model) { ApplyScreen(model, Screen::Choice); }

}  // namespace ui
