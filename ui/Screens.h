// The window's screens as data: what each one shows and which controls
// answer on it. One function puts the window into a screen.
#pragma once

#include "runtime/Text.h"

namespace ui {

class WindowModel;

enum class Screen { Choice, CustomChoice, Installing, Finished };

struct ScreenState {
    Screen screen;
    int page;
    bool exitDisabled;
    const char* status;  // the status line's text, or null to leave it
    bool resetRing;      // the ring and its label start again from 0
};

const ScreenState& StateOf(Screen screen);

// Applies every control state of the screen's row.
void ApplyScreen(WindowModel& model, Screen screen);

}  // namespace ui
