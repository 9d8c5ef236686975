#include "app/FileChecks.h"

#include "app/Brands.h"
#include "runtime/Convert.h"

namespace app {

Text ServedPath(const Text& url) {
    const size_t scheme = url.find("://");
    if (scheme == Text::npos) return Text();
    const size_t slash = url.find('/', scheme + 3);
    if (slash == scheme + 3) return Text();
    return slash == Text::npos ? Text("/") : url.substr(slash);
}

std::optional<FileCheck> FileCheckFor(const Text& manifestText, const Text& servedPath) {
    if (servedPath.empty()) return std::nullopt;
    const Text value = ManifestValue(manifestText, "sha256:" + servedPath + "=（");
    const size_t space = value.find(' ');
    if (space == Text::npos) return std::nullopt;
    const std::optional<std::int64_t> size = rt::ParseCount(value.substr(0, space));
    if (!size) return std::nullopt;
    FileCheck check;
    check.size = *size;
    if (!rt::ParseHexDigest(value.substr(space + 1), check.digest)) return std::nullopt;
    return check;
}

}  // namespace app
