// Streams one HTTP resource into one local file in pieces of at most
// 10240 bytes, reporting after every piece; can continue a partial file
// with a range request and be paused between pieces.
#pragma once

#include <cstdint>

#include "net/Progress.h"
#include "runtime/Text.h"

namespace net {

using rt::Text;

constexpr int DownloadCompleted = 0;
constexpr int DownloadPaused = 1;
constexpr int InternetOpenFailed = -1;
constexpr int UrlOpenFailed = -2;
constexpr int LocalFileOpenFailed = -3;
constexpr int ReadFailed = -4;
constexpr int HttpStatusFailed = -5;

constexpr std::uint32_t kPieceSize = 10240;

class ResumableDownloader {
public:
    // Non-zero while the read loop may go on; Pause clears it.
    std::int32_t running = 0;

    int Download(const Text& url, const Text& localPath, const ProgressCallback& progress, bool resume,
                 std::int64_t offset, Text& message);
    void Pause() { running = 0; }
};

// The resource's size from a second, independent request (empty agent,
// no range, body never read); 0 when none is announced.
std::int64_t QueryContentLength(const Text& url);

}  // namespace net
