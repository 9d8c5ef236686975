#pragma once

namespace app {

// Right after the guard: the installer's version, the default folder, the
// server's manifest, the brand, and the version check. Returns when the
// installer is current; otherwise ends the program (connection message,
// or the update notice and the update page).
void RunManifestStep(bool distributionChannel);

// "连接服务器失败，请稍后重试", then the end (exit code 0).
[[noreturn]] void ShowServerUnreachable();

}  // namespace app
