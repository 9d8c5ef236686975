// What the whole-resource GET and the downloader share about a WinINet
// request: its status, its announced length, the time-outs of its handles
// and the size request.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Handles.h"
#include "runtime/Text.h"
#include "runtime/Win32.h"

namespace rt {

// Connect, send and receive time-outs of every WinINet handle; a transfer
// that stalls longer fails. They count only when set on the request
// handle before it is sent (Wine's WinINet takes them from there alone;
// InternetOpenUrl, which sends at once, never gets them).
constexpr DWORD kConnectTimeoutMs = 15000;
constexpr DWORD kSendTimeoutMs = 30000;
constexpr DWORD kReceiveTimeoutMs = 30000;
void SetTransferTimeouts(HINTERNET handle);

// A connection to the URL's host and an unsent request for its path, the
// time-outs set; false when the URL is not http(s) or either handle fails.
bool OpenHttpRequest(HINTERNET session, const Text& url, const char* verb, const char* version, DWORD flags,
                     const char* const* acceptTypes, UniqueInternet& connection, UniqueInternet& request);

// The final HTTP status; 0 when no response arrived.
int QueryHttpStatus(HINTERNET request);

// A header's value as text; absent when the response has none.
std::optional<Text> QueryHeader(HINTERNET request, DWORD header);

// Content-Length as a 64-bit count: absent when missing, not decimal
// digits, or too large.
std::optional<std::int64_t> QueryContentLengthOf(HINTERNET request);

// The size of the resource from a HEAD request with the given agent and no
// range; absent when the server gives no usable length or a status other
// than 2xx.
std::optional<std::int64_t> HeadContentLength(const Text& url, const Text& agent);

}  // namespace rt
