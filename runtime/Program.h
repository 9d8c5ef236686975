// The process around the installer: start-up, the message pump and the end.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/Text.h"
#include "runtime/Win32.h"

namespace rt {

// Makes the executable's folder the current directory and starts COM for
// the UI thread. Call once, first thing in the program entry.
void RuntimeStartup();

Text ExecutableName();    // file name of the running exe, without its folder
Text ExecutableFolder();  // its folder, without a trailing backslash
std::uint32_t TickCount();

// While a message other than WM_QUIT is waiting, takes and dispatches one
// (pre-translation hook, TranslateMessage, DispatchMessage). A WM_QUIT
// stays queued for the main loop.
void ProcessPendingEvents();
// Waits the milliseconds while dispatching what arrives, so that the
// window keeps answering.
void WaitResponsive(std::uint32_t milliseconds);

// Messages the toolkit wants to handle before translation; returns true
// when it consumed the message.
using PreTranslateHook = bool (*)(MSG& message);
void SetPreTranslateHook(PreTranslateHook hook);

// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Exit routines run in registration order when the program ends.
void RegisterExitRoutine(std::function<void()> routine);
// The main window, destroyed by EndProgram after the exit routines.
void SetMainWindow(HWND window);
// Unloads a library the program loaded (the UI toolkit); EndProgram runs
// these after destroying the main window.
void RegisterLibraryUnloader(std::function<void()> unloader);

// Runs the exit routines, destroys the main window, releases the
// runtime's services and ends the process with the code. Never returns.
[[noreturn]] void EndProgram(int exitCode);

}  // namespace rt
