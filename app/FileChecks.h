// What the manifest says each served file must be: its size and SHA-256,
// one value per file under the key "sha256:" + the served path.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Text.h"
#include "runtime/crypto/Sha256.h"

namespace app {

using rt::Text;

struct FileCheck {
    std::int64_t size = 0;
    rt::Sha256Digest digest{};
};

// The path a URL names on its server: "/qrn/shuju/yxtx.zip" of
// "http://host:5001/qrn/shuju/yxtx.zip"; empty when the URL has no host part.
Text ServedPath(const Text& url);

// The check of the served path: the value of "sha256:" + path + "=（" as
// "<size> <64 hex digits>". Absent when there is no such key or its value
// is not exactly that form.
std::optional<FileCheck> FileCheckFor(const Text& manifestText, const Text& servedPath);

}  // namespace app
