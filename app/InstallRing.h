// The install page's ring and its percentage label, as the download tasks
// report to them.
#pragma once

#include "net/Progress.h"

namespace app {

net::ProgressView& InstallRing();

}  // namespace app
