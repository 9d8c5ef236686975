#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/Convert.h"
#include "runtime/Program.h"
#include "tests/win32/test_support.h"

using namespace testing_support;

TEST(Program, ExecutableNameHasNoFolder) {
    EXPECT_EQ(rt::LowerCase(rt::ExecutableName()), "win32_tests.exe");
    EXPECT_FALSE(rt::ExecutableFolder().empty());
}

TEST(Program, EndProgramRunsExitRoutinesInOrderAndEndsWithTheCode) {
    ScratchFolder dir("endprogram");
    const Text record = dir / "order.txt";
    EXPECT_EQ(RunChild(L"--child-end-program \"" + Wide(record) + L"\""), 7);
    EXPECT_EQ(rt::ToText(ReadWholeFile(record)), "123");
}

namespace {

int g_handled = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP + 1) {
        ++g_handled;
        return 0;
    }
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace

TEST(Program, ProcessPendingEventsDispatchesAndLeavesQuitQueued) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = CountingProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"PumpTestWindow";
    ::RegisterClassW(&cls);
    HWND window = ::CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    g_handled = 0;
    ::PostMessageW(window, WM_APP + 1, 0, 0);
    ::PostMessageW(window, WM_APP + 1, 0, 0);
    ::PostQuitMessage(5);
    rt::ProcessPendingEvents();
    EXPECT_EQ(g_handled, 2);

    // The quit message is still there for the main loop, with its code.
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);

    rt::ProcessPendingEvents();  // an empty queue returns at once
    ::DestroyWindow(window);
}

TEST(InstallerExe, ManifestAsksForAdministratorAndCommonControls6) {
    const char* exe = std::getenv("INSTALLER_EXE");
    ASSERT_NE(exe, nullptr);
    HMODULE module = ::LoadLibraryExW(Wide(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe;
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(resource, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
    const std::string manifest(data, ::SizeofResource(module, resource));
    ::FreeLibrary(module);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}
