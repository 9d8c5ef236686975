// The one downloader of the process and the download tasks, whose
// reporters move the ring through its bands.
#pragma once

#include "net/Progress.h"
#include "net/ResumableDownloader.h"

namespace net {

// Created at start-up before the window, released by the exit routine.
void CreateSharedDownloader();
void ReleaseSharedDownloader();
ResumableDownloader* SharedDownloader();

// The bands of tasks 1, 2 and 3 on the ring.
constexpr int kAvatarPackBand = 0;
constexpr int kBeautifyPackBand = 100;
constexpr int kProgramFileBand = 200;

// A task's reporter: after dispatching what waits, it moves the view to the
// band's base plus the file's percentage, and labels it with the position
// read back. Reports come only for pieces that arrived, so a task that
// receives nothing changes nothing.
ProgressCallback BandReporter(int band, ProgressView& view);

// Runs one task through the shared downloader (no resumption) and gives
// the downloader's code; the installation job decides what it means.
int RunDownloadTask(const Text& url, const Text& localPath, const ProgressCallback& reporter);

}  // namespace net
