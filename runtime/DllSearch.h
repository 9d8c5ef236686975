// Where the installer may load DLLs from. Windows looks for a DLL that is
// not a known DLL in the exe's own folder first; the installer runs with
// administrator rights, usually from Downloads, where anyone may have put a
// wininet.dll or gdiplus.dll. Those two are imported delay-loaded and come
// from System32 only.
#pragma once

namespace rt {

// The first thing the program does: System32 is the only place DLLs are
// looked for, and the delay-loaded ones are loaded by their full System32
// path.
void RestrictDllSearchToSystem();

}  // namespace rt
