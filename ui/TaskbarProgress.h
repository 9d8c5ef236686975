// The taskbar button mirrors the job: the ring's share while it works, an
// error mark when it takes the failure path, nothing when idle.
#pragma once

#include <cstdint>

namespace ui {

enum class JobState { Idle, Working, Failed };

// What the taskbar is told, in ITaskbarList3's terms.
enum class TaskbarMark { None, Normal, Error };

struct TaskbarCall {
    TaskbarMark mark;
    bool setValue;            // a value goes with the mark
    std::uint64_t completed;  // of total
    std::uint64_t total;
};

// The call for a job state and the ring's position out of its maximum;
// the error mark keeps the share where the job stopped.
TaskbarCall TaskbarCallFor(JobState state, std::int64_t position, std::int64_t maximum);

// Tells the main window's taskbar button when the call differs from the
// last one (Windows only; nothing where the shell has no taskbar list).
void ShowOnTaskbar(JobState state, std::int64_t position, std::int64_t maximum);

}  // namespace ui
