#include "app/ProcessState.h"

namespace app {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

void ProcessState::Release() {
    values = ProcessValues();
    jobRunning = false;
    downloader.reset();
    instanceEvent.reset();
}

}  // namespace app
