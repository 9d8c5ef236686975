// Program entry.
#include "app/Startup.h"
#include "runtime/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunInstaller(); }
