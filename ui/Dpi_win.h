// The dots per inch the system gives the process and a window, read
// through the newest call the system has (Windows 10 1607), the screen's
// device caps otherwise.
#pragma once

#include "runtime/Win32.h"

namespace ui {

int SystemDpi();
// The dpi of the monitor the window is on (the system's before 1607).
int WindowDpi(HWND window);

}  // namespace ui
