// One file of the installation job, fetched so that a failure never costs
// what is installed: into "<target>.part", checked, then moved over the
// target. Up to three attempts, 1 s and then 3 s apart; a download resumes
// from what the attempt before it left.
#pragma once

#include "app/InstallPlan.h"
#include "net/Progress.h"
#include "net/ResumableDownloader.h"

namespace app {

constexpr int kFetchAttempts = 3;
constexpr unsigned kRetryWaitsMs[kFetchAttempts - 1] = {1000, 3000};

// The name the file has while it arrives.
Text PartialPath(const Text& target);

// True when the target now holds the file, whole and, when the manifest
// has its check, of that size and SHA-256. A task whose check is required
// and missing fails without fetching anything.
bool FetchFile(const FetchTask& task, net::ResumableDownloader* downloader, const net::ProgressCallback& reporter);

}  // namespace app
