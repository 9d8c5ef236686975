#include "ui/TaskbarProgress.h"

#include <algorithm>

namespace ui {

TaskbarCall TaskbarCallFor(JobState state, std::int64_t position, std::int64_t maximum) {
    const std::uint64_t total = maximum > 0 ? static_cast<std::uint64_t>(maximum) : 1;
    const std::uint64_t done = static_cast<std::uint64_t>(std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(total)));
    switch (state) {
        case JobState::Working:
            return {TaskbarMark::Normal, true, done, total};
        case JobState::Failed:
            return {TaskbarMark::Error, true, done, total};
        case JobState::Idle:
            break;
    }
    return {TaskbarMark::None, false, 0, total};
}

}  // namespace ui
