// One whole-resource HTTP GET through WinINet.
#pragma once

#include <cstdint>

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace rt {

// What a caller may learn about a transfer besides its body.
struct HttpGetReport {
    int status = 0;                 // final HTTP status; 0 when no response arrived
    std::int64_t announced = -1;    // Content-Length; -1 when absent or unusable
    bool complete = false;          // reads ended normally and no announced byte is missing
    bool tooLarge = false;          // the body passed the caller's limit and was dropped
};

// Bodies larger than this fail by default: nothing the installer fetches
// whole comes near it, and memory is not the server's to fill.
constexpr std::int64_t kDefaultBodyLimit = 64 * 1024 * 1024;

// The body: all of it when the transfer completes, what arrived when it
// breaks off, empty when nothing could be read or the body (announced or
// arriving) passes maxBytes. The status is not judged here; a caller that
// cares asks for the report.
Bytes HttpGetAll(const Text& url, HttpGetReport* report = nullptr, std::int64_t maxBytes = kDefaultBodyLimit);

// The same GET, run off this thread while this thread keeps dispatching
// its messages, so that its windows keep answering. When the transfer has
// not ended within the time limit it is cut off: the body is empty and the
// report says nothing arrived.
Bytes HttpGetAllResponsive(const Text& url, std::uint32_t timeLimitMs, HttpGetReport* report = nullptr,
                           std::int64_t maxBytes = kDefaultBodyLimit);

// Closes the process's WinINet session (at program end).
void ReleaseHttpSession();

}  // namespace rt
