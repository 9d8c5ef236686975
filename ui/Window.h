// The main window: its toolkit, its controls addressed by number, and the
// native handles behind them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/Win32.h"
#include "ui/PropertyValue.h"
#include "ui/WindowModel.h"

namespace ui {

// Starts GDI+; false when the toolkit cannot be loaded.
bool LoadToolkit();
// Ends GDI+ after releasing every image and font (exit routine).
void UnloadToolkit();

// The handler of one action the form's bindings name; register before
// LoadMainWindow (later registrations reach the model too).
void RegisterHandler(Action action, WindowModel::Handler handler);

// Creates the window of the form and frame with every control on page 0,
// raises its created event and then shows it (unless the handler already
// did). Returns the window, or null when it could not be created.
HWND LoadWindow(const std::vector<ControlRow>& form, const WindowFrame& frame);
// The installer's own form and frame.
HWND LoadMainWindow();

// The model behind the main window (made with the main form if asked for
// before LoadWindow).
WindowModel& MainModel();

PropertyValue GetControlProperty(std::uint32_t window, std::uint32_t control, int property);
bool SetControlProperty(std::uint32_t window, std::uint32_t control, int property, const PropertyValue& value);

// The native window of the main window or of one of its controls (the
// controls are drawn by the window itself and share its handle).
HWND WindowHandleOf(std::uint32_t id);

// Paints now if anything changed since the last paint.
void PaintIfDirty();

}  // namespace ui
