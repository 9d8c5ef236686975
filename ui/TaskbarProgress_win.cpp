#include "ui/TaskbarProgress.h"

#include "runtime/Handles.h"
#include "runtime/Win32.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

#include <shobjidl.h>

namespace ui {
namespace {

// Made on first use, kept for the process (released with COM at exit).
ITaskbarList3* Taskbar() {
    static rt::ComPtr<ITaskbarList3> taskbar;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                      taskbar.put_void())) ||
            !taskbar || FAILED(taskbar->HrInit()))
            taskbar.reset();
    }
    return taskbar.get();
}

TBPFLAG FlagOf(TaskbarMark mark) {
    switch (mark) {
        case TaskbarMark::Normal: return TBPF_NORMAL;
        case TaskbarMark::Error: return TBPF_ERROR;
        case TaskbarMark::None: break;
    }
    return TBPF_NOPROGRESS;
}

}  // namespace

void ShowOnTaskbar(JobState state, std::int64_t position, std::int64_t maximum) {
    HWND window = WindowHandleOf(kMainWindowId);
    ITaskbarList3* taskbar = window ? Taskbar() : nullptr;
    if (!taskbar) return;
    const TaskbarCall call = TaskbarCallFor(state, position, maximum);
    // Reports come for every piece; the shell hears only of changes.
    static TaskbarCall last{TaskbarMark::None, false, 0, 0};
    if (call.mark == last.mark && call.completed == last.completed && call.total == last.total) return;
    last = call;
    // The value first: setting it switches an idle button to normal.
    if (call.setValue) taskbar->SetProgressValue(window, call.completed, call.total);
    taskbar->SetProgressState(window, FlagOf(call.mark));
}

}  // namespace ui
