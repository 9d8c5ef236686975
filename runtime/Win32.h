// The one place that includes the Windows headers. Some of their macros
// carry the names of runtime operations; they are removed here so that
// the operations keep their names.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <wininet.h>

#undef DeleteFile
#undef MessageBox
#undef FindText
#undef CreateFolder
