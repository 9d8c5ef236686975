#include "ui/Screens.h"

#include "ui/ControlIds.h"
#include "ui/WindowModel.h"

namespace ui {
namespace {

constexpr ScreenState kScreens[] = {
    {Screen::Choice, kQuickInstallPage, false, nullptr, false},
    {Screen::CustomChoice, kCustomInstallPage, false, nullptr, false},
    {Screen::Installing, kInstallPage, true, "正在安装中，请耐心等待...", true},
    {Screen::Finished, kFinishPage, false, nullptr, false},
};

}  // namespace

const ScreenState& StateOf(Screen screen) {
    for (const ScreenState& state : kScreens)
        if (state.screen == screen) return state;
    return kScreens[0];
}

void ApplyScreen(WindowModel& model, Screen screen) {
    const ScreenState& state = StateOf(screen);
    if (state.resetRing) {
        model.Set(kProgressBar, kPropPosition, 0);
        model.Set(kProgressLabel, kPropText, rt::Text("0%"));
        model.Set(kDetailLabel, kPropText, rt::Text());
    }
    if (state.status) model.Set(kStatusLabel, kPropText, rt::Text(state.status));
    model.Set(kExitButton, kPropDisabled, state.exitDisabled);
    model.Set(kPageContainer, kPropCurrentPage, state.page);
}

}  // namespace ui
