// Shows the installer's window with the real toolkit, form and window
// handlers, put into a given state, so that the tests can look at every
// page. The installer's own flow handlers only print their names.
//
//   ui_harness [--page N] [--ring P] [--status TEXT] [--folder TEXT] [--exit-disabled]
#include <cstdio>
#include <string>

#include "runtime/Win32Text.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"
#include "ui/WindowHandlers.h"

namespace {

rt::Text Narrow(const wchar_t* w) { return rt::FromWin32(w); }

void Print(const char* name, int argument) {
    std::printf("event %s %d\n", name, argument);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    rt::RuntimeStartup();
    if (!ui::LoadToolkit()) return 3;
    rt::RegisterLibraryUnloader(ui::UnloadToolkit);
    ui::RegisterWindowHandlers();
    for (ui::Action action : {ui::Action::QuickInstall, ui::Action::CustomInstall, ui::Action::BrowseInstallFolder,
                              ui::Action::LaunchProduct, ui::Action::OnMainWindowCreated}) {
        ui::RegisterHandler(action, [action](std::uint32_t, int argument) { Print(ui::ActionName(action), argument); });
    }
    // The custom-install link shows its page, as the installer's does.
    ui::RegisterHandler(ui::Action::ShowCustomInstallPage, [](std::uint32_t, int) {
        Print("ShowCustomInstallPage", 0);
        ui::SetControlProperty(ui::kMainWindowId, ui::kPageContainer, ui::kPropCurrentPage, ui::kCustomInstallPage);
        ui::SetControlProperty(ui::kMainWindowId, ui::kFolderBox, ui::kPropContent, "C:\\users\\Public\\TaVoli");
    });
    if (!ui::LoadMainWindow()) return 4;

    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        auto set = [](std::uint32_t control, int property, const ui::PropertyValue& value) {
            ui::SetControlProperty(ui::kMainWindowId, control, property, value);
        };
        if (option == L"--exit-disabled") {
            set(ui::kExitButton, ui::kPropDisabled, true);
        } else if (i + 1 >= argc) {
            break;
        } else if (option == L"--page") {
            set(ui::kPageContainer, ui::kPropCurrentPage, _wtoi(argv[++i]));
        } else if (option == L"--ring") {
            const int position = _wtoi(argv[++i]);
            set(ui::kProgressBar, ui::kPropPosition, position);
            set(ui::kProgressLabel, ui::kPropText, std::to_string(position / 3) + "%");
        } else if (option == L"--folder") {
            set(ui::kFolderBox, ui::kPropContent, Narrow(argv[++i]));
        } else if (option == L"--status") {
            set(ui::kStatusLabel, ui::kPropText, Narrow(argv[++i]));
        } else if (option == L"--dpi-changed") {
            // What the system sends when the window moves to a monitor of
            // that dpi: the suggested rectangle at the same place.
            const int dpi = _wtoi(argv[++i]);
            HWND window = ui::WindowHandleOf(ui::kMainWindowId);
            RECT placed;
            ::GetWindowRect(window, &placed);
            RECT suggested{placed.left, placed.top, placed.left + MulDiv(ui::kWindowWidth, dpi, 96),
                           placed.top + MulDiv(ui::kWindowHeight, dpi, 96)};
            ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
    }
    std::printf("ready\n");
    std::fflush(stdout);
    rt::RunMessageLoop();
    rt::EndProgram(0);
}
