// What a download reports after every piece, and where the download tasks
// show it. Plain values and interfaces: no window in here.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/Text.h"

namespace net {

// The four values of a report, in their order: the whole size (0 when none
// is announced), the bytes now in the file, the milliseconds since the
// transfer began, and the bytes this call received.
struct DownloadProgress {
    std::int64_t total = 0;
    std::int64_t downloaded = 0;
    std::int32_t elapsedMs = 0;
    std::int64_t received = 0;
};

using ProgressCallback = std::function<void(const DownloadProgress&)>;

// The ring and its label as the download tasks see them; app/ binds it to
// the window's controls.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetPosition(std::int32_t position) = 0;
    // The position as the ring holds it (it keeps its own range).
    virtual std::int64_t Position() const = 0;
    virtual void SetLabel(const rt::Text& text) = 0;
    // The line of amount, speed and time left under the status text.
    virtual void SetDetail(const rt::Text&) {}
};

}  // namespace net
