#include "runtime/Program.h"

#include <vector>

#include "runtime/Win32Text.h"
#include "runtime/Http.h"

namespace rt {
namespace {

struct ProcessState {
    std::vector<std::function<void()>> exitRoutines;
    std::vector<std::function<void()>> unloaders;
    HWND mainWindow = nullptr;
    PreTranslateHook preTranslate = nullptr;
    bool comStarted = false;
};

ProcessState& State() {
    static ProcessState state;
    return state;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void Dispatch(MSG& message) {
    PreTranslateHook hook = State().preTranslate;
    if (hook && hook(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace

void RuntimeStartup() {
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) ::SetCurrentDirectoryW(path.substr(0, slash + 1).c_str());
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    State().comStarted = SUCCEEDED(hr);
}

Text ExecutableName() {
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    return FromWin32(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

Text ExecutableFolder() {
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Text() : FromWin32(path.substr(0, slash));
}

std::uint32_t TickCount() { return ::GetTickCount(); }

void WaitResponsive(std::uint32_t milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        ProcessPendingEvents();
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= milliseconds) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
    }
}

void ProcessPendingEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
        if (message.message == WM_QUIT) {
            // Raced in between the two peeks: leave it for the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        Dispatch(message);
    }
}

void SetPreTranslateHook(PreTranslateHook hook) { State().preTranslate = hook; }

int RunMessageLoop() {
    MSG message;
    for (;;) {
        BOOL r = ::GetMessageW(&message, nullptr, 0, 0);
        if (r == 0) return static_cast<int>(message.wParam);
        if (r == -1) return 0;
        Dispatch(message);
    }
}

void RegisterExitRoutine(std::function<void()> routine) { State().exitRoutines.push_back(std::move(routine)); }

void SetMainWindow(HWND window) { State().mainWindow = window; }

void RegisterLibraryUnloader(std::function<void()> unloader) { State().unloaders.push_back(std::move(unloader)); }

void EndProgram(int exitCode) {
    ProcessState& state = State();
    // Copy first: a routine must not be able to disturb the iteration.
    const std::vector<std::function<void()>> routines = state.exitRoutines;
    for (const auto& routine : routines) {
        try {
            if (routine) routine();
        } catch (...) {
            // The program ends whatever a routine does.
        }
    }
    if (state.mainWindow && ::IsWindow(state.mainWindow)) ::DestroyWindow(state.mainWindow);
    state.mainWindow = nullptr;
    for (const auto& unload : state.unloaders) {
        try {
            if (unload) unload();
        } catch (...) {
        }
    }
    ReleaseHttpSession();
    if (state.comStarted) ::CoUninitialize();
    ::ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace rt
