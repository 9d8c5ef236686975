#include "app/Brands.h"

#include "app/PathText.h"

namespace app {

const std::vector<Brand>& BrandTable() {
    static const std::vector<Brand> table = {
        {"LOL Tavoli助手", "tv", "Tavoli"}, {"LOL Quenra助手", "qn", "Quenra"}, {"Vispo换肤盒子", "VS", "VS"},
        {"LOL Morvik助手", "mv", "Morvik"}, {"LOL Zelkan助手", "zk", "Zelkan"}, {"Irdel换肤助手", "ID", "ID"},
    };
    return table;
}

std::optional<Brand> SelectBrand(const Text& productName) {
    for (const Brand& b : BrandTable())
        if (productName == b.displayName) return b;
    return std::nullopt;
}

Text ManifestValue(const Text& manifest, const Text& keyMarker) { return TextBetween(manifest, keyMarker, "）"); }

Text ProgramSuffix(bool distributionChannel) { return distributionChannel ? "_f.exe" : "_z.exe"; }

Text UpdatePageKey(const Text& brandShortName, bool distributionChannel) {
    return brandShortName + (distributionChannel ? "分销更新跳转=（" : "自销更新跳转=（");
}

Text ManifestUrl(const Text& host) { return "http://" + host + ":5001/qrn/azq.txt"; }

Text ProductExeUrl(const Text& host, const Text& brandCode, bool distributionChannel) {
    return "http://" + host + ":5001/qrn/exe/zcx/" + brandCode + ProgramSuffix(distributionChannel);
}

Text DataFileUrl(const Text& host, const Text& name) { return "http://" + host + ":5001/qrn/shuju/" + name; }

}  // namespace app
