// The one downloader of the process and the three download tasks, whose
// reporters move the ring through its three bands.
#pragma once

#include "net/ResumableDownloader.h"

namespace net {

// Created at start-up before the window, released by the exit routine.
void CreateSharedDownloader();
void ReleaseSharedDownloader();
ResumableDownloader* SharedDownloader();

// Reporters of tasks 1, 2 and 3 (bases 0, 100, 200).
LRESULT CALLBACK AvatarPackProgress(HWND totalText, UINT downloadedText, WPARAM elapsedMs, LPARAM receivedText);
LRESULT CALLBACK BeautifyPackProgress(HWND totalText, UINT downloadedText, WPARAM elapsedMs, LPARAM receivedText);
LRESULT CALLBACK ProgramFileProgress(HWND totalText, UINT downloadedText, WPARAM elapsedMs, LPARAM receivedText);

// Runs one task through the shared downloader (no resumption) and gives
// the downloader's code; the installation job decides what it means.
int RunDownloadTask(const Text& url, const Text& localPath, ProgressCallback reporter);

}  // namespace net
