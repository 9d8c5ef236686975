// The download tasks, whose reporters move the ring through its bands.
#pragma once

#include "net/Progress.h"
#include "net/ResumableDownloader.h"

namespace net {

// The bands of tasks 1, 2 and 3 on the ring.
constexpr int kAvatarPackBand = 0;
constexpr int kBeautifyPackBand = 100;
constexpr int kProgramFileBand = 200;

// A task's reporter: it moves the view to the band's base plus the file's
// percentage, and labels it with the position read back, then dispatches
// what waits (at most every 8 ms, and after the last piece). Reports come
// only for pieces that arrived, so a task that receives nothing changes
// nothing. The line of amount, speed and time left changes at most twice a
// second, and after the last piece.
ProgressCallback BandReporter(int band, ProgressView& view);

constexpr std::int32_t kDetailIntervalMs = 500;

// Runs one task through the process's downloader (no resumption) and
// gives the downloader's code; the installation job decides what it
// means. No downloader counts as one whose WinINet did not open.
int RunDownloadTask(ResumableDownloader* downloader, const Text& url, const Text& localPath,
                    const ProgressCallback& reporter);

}  // namespace net
