// Start-up's single-instance guard and the window helpers it uses.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Bytes.h"
#include "runtime/Text.h"
#include "runtime/Win32.h"

namespace app {

using rt::Bytes;
using rt::Text;

// Returns only when no other copy runs; otherwise tells the user (when
// asked), brings the other copy's window forward (when asked) and ends
// the program with 0.
void PreventSecondInstance(const Text& identifier, bool showMessage, const std::optional<Text>& message,
                           std::uint32_t messageStyle, bool activateExisting);

// The first process other than this one whose exe file name equals the
// name, case ignored; 0 when there is none.
DWORD FindProcessByExeName(const Text& name);

// A visible (when asked) parentless top-level window of the process,
// searched for at most timeLimitMs (negative: a year); null when none.
HWND FindTopLevelWindowOfProcess(DWORD processId, int timeLimitMs = -1, bool visibleOnly = true);

void SetTopmost(HWND window, bool topmost);
bool ActivateForeignWindow(HWND window);

// 32 lowercase hexadecimal digits of the MD5 digest; empty on failure.
Text Md5HexLower(const Bytes& bytes);

// The instance event's name for an empty identifier.
Text FallbackInstanceName();

}  // namespace app
