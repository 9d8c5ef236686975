#include "runtime/Dialogs.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"
#include "ui/WindowHandlers.h"

namespace ui {
namespace {

void ConfirmExit() {
    const int answer = rt::MessageBox("您确定现在退出安装吗？", MB_OKCANCEL, "提示", WindowHandleOf(kMainWindowId));
    if (answer == rt::kResultOk) rt::EndProgram(0);
}

}  // namespace

void RegisterWindowHandlers() {
    RegisterHandler(Action::ConfirmExit, [](std::uint32_t, int) { ConfirmExit(); });
    RegisterHandler(Action::ShowQuickInstallPage, [](std::uint32_t, int) { ShowQuickInstallPage(MainModel()); });
    RegisterHandler(Action::HighlightLink, [](std::uint32_t label, int state) { HighlightLink(MainModel(), label, state); });
}

}  // namespace ui
