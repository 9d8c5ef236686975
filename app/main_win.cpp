// Program entry.
#include "app/Startup.h"
#include "runtime/DllSearch.h"
#include "runtime/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    rt::RestrictDllSearchToSystem();  // before anything can load a DLL
    return app::RunInstaller();
}
