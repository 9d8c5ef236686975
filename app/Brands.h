// The six brands one installer can serve, and the manifest's values.
#pragma once

#include <optional>
#include <vector>

#include "runtime/Text.h"

namespace app {

using rt::Text;

struct Brand {
    const char* displayName;
    const char* code;
    const char* shortName;
};

// In the order the rows are tried.
const std::vector<Brand>& BrandTable();

// The row whose display name equals the product name byte for byte.
std::optional<Brand> SelectBrand(const Text& productName);

// The value after the first occurrence of the key marker (which ends in
// "=（"), up to the next "）"; empty when either is missing.
Text ManifestValue(const Text& manifest, const Text& keyMarker);

constexpr char kInstallerVersion[] = "V11";
constexpr char kVersionKey[] = "安装器版本号=（";
constexpr char kUpdatePromptKey[] = "更新提示=（";

// Main-program suffix and update-page key of a sales channel.
Text ProgramSuffix(bool distributionChannel);
Text UpdatePageKey(const Text& brandShortName, bool distributionChannel);

Text ManifestUrl(const Text& host);
Text ProductExeUrl(const Text& host, const Text& brandCode, bool distributionChannel);
// A file under the server's data folder: "http://" host ":5001/qrn/shuju/" name.
Text DataFileUrl(const Text& host, const Text& name);

}  // namespace app
