// The installer's process-wide values, each written by the module that
// owns it and released by the exit routine.
#pragma once

#include "runtime/Text.h"

namespace app {

// Code page of every conversion of a Text to UTF-16; 936 (GBK) from start-up.
extern int textCodePage;

// Releases every process-wide text (the exit routine).
void ReleaseProcessValues();

}  // namespace app
