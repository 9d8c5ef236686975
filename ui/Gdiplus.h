// GDI+ for the toolkit's Win32 files: its headers want min/max and the
// COM stream types, which the project's defaults leave out.
#pragma once

#include "runtime/Win32.h"

#include <objidl.h>
#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
