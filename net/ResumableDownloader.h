// Streams one HTTP resource into one local file in pieces of at most
// 10240 bytes, reporting after every piece; can continue a partial file
// with a range request and be paused between pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

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
constexpr int WriteFailed = -6;  // the disk took less than it was given (full, removed)

constexpr std::uint32_t kPieceSize = 10240;

// Sees every piece as it is written, with its position in the file: a
// transfer that starts again from 0 shows as a piece at position 0.
using DataSink = std::function<void(std::int64_t position, const std::uint8_t* data, std::size_t size)>;

class ResumableDownloader {
public:
    // Non-zero while the read loop may go on; Pause clears it.
    std::int32_t running = 0;
    // Optional; a hash of the file is kept up to date through it.
    DataSink onData;

    // Resuming writes at offset (the file's length) what the server sends
    // from there (206 with a Content-Range starting at offset), or the
    // whole file again from 0 when it ignored the range (200); any other
    // status fails with HttpStatusFailed and leaves the file as it was.
    int Download(const Text& url, const Text& localPath, const ProgressCallback& progress, bool resume,
                 std::int64_t offset, Text& message);
    void Pause() { running = 0; }
};

// The resource's size from a second, independent HEAD request (empty
// agent, no range); 0 when none is announced.
std::int64_t QueryContentLength(const Text& url);

}  // namespace net
