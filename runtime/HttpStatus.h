// The status code of a WinINet request, shared by the whole-resource GET
// and the downloader.
#pragma once

#include "runtime/Win32.h"

namespace rt {

// The final HTTP status; 0 when no response arrived.
int QueryHttpStatus(HINTERNET request);

}  // namespace rt
