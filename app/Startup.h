// The installer's start-up: the program entry's sequence and the
// handler of the main window's created event.
#pragma once

#include "runtime/Text.h"

namespace app {

// The product display name: the text of the product-name label, which
// selects the brand and names the program file and the shortcut.
rt::Text ProductName();

// Copies the product name into the other name labels, runs the
// single-instance guard, then the manifest step.
void OnMainWindowCreated();

// Registers the handler of every name the form's bindings carry.
void RegisterHandlers();

// Releases every process-wide value (registered as the exit routine).
void ExitRoutine();

// The program entry's sequence; returns the exit code.
int RunInstaller();

}  // namespace app
