// What the test program does when a test starts it as a child process.
#include <string>

#include <cstdio>

#include "app/InstanceGuard.h"
#include "app/Startup.h"
#include "ui/Form.h"
#include "ui/Window.h"
#include "runtime/Files.h"
#include "runtime/Program.h"
#include "tests/win32/test_support.h"

namespace testing_support {
namespace {

void Append(const Text& path, const Text& text) {
    rt::File file = rt::OpenFile(path, rt::kOpenOrCreateWrite, rt::kShareDenyNone);
    rt::SeekToEnd(file);
    rt::WriteBytes(file, rt::ToBytes(text));
}

}  // namespace

int RunChildMode(int argc, wchar_t** argv) {
    const std::wstring mode = argv[1];
    // --child-unhandled-bindings: registers the installer's handlers (in a
    // process of its own: they would answer other tests' windows) and ends
    // with the number of actions the form binds that nothing handles, 100
    // when it binds none.
    if (mode == L"--child-unhandled-bindings") {
        ui::WindowModel& model = ui::MainModel();  // registrations go straight to it
        app::RegisterHandlers();
        int bound = 0, unhandled = 0;
        for (const ui::ControlRow& row : ui::MainForm()) {
            for (const ui::Binding& binding : row.bindings) {
                ++bound;
                if (!model.HasHandler(binding.action)) {
                    std::fprintf(stderr, "nothing handles %s\n", ui::ActionName(binding.action));
                    ++unhandled;
                }
            }
        }
        return bound == 0 ? 100 : unhandled;
    }
    // --child-end-program FILE: three exit routines append 1, 2, 3 to FILE,
    // then the program ends with code 7.
    if (mode == L"--child-end-program" && argc >= 3) {
        const Text file = Narrow(argv[2]);
        rt::RuntimeStartup();
        for (const char* mark : {"1", "2", "3"}) rt::RegisterExitRoutine([file, mark] { Append(file, mark); });
        rt::EndProgram(7);
    }
    // --child-hold-open FILE EVENT: keeps FILE open without sharing until
    // killed, after signalling the named EVENT.
    if (mode == L"--child-hold-open" && argc >= 4) {
        HANDLE file = ::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 2;
        HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
        if (ready) ::SetEvent(ready);
        ::Sleep(60000);
        return 0;
    }
    // --child-guard-empty EVENT: runs the guard with an empty identifier,
    // signals EVENT when it returned (no other copy), then waits.
    if (mode == L"--child-guard-empty" && argc >= 3) {
        rt::RuntimeStartup();
        app::PreventSecondInstance("", false, std::nullopt, 0, false);
        HANDLE passed = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (passed) ::SetEvent(passed);
        ::Sleep(60000);
        return 0;
    }
    return 3;
}

}  // namespace testing_support
