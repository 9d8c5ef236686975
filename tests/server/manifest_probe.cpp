// Reads a published manifest the way the installer does (UTF-8 to GBK,
// then ManifestValue) and prints the value of each key given in UTF-8,
// one per line, in GBK.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/Brands.h"
#include "runtime/CodePage.h"
#include "runtime/Utf8.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return 1;
    const rt::Bytes body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const rt::Text manifest = rt::Utf8ToText(body);
    for (int i = 2; i < argc; ++i) {
        const rt::Text arg(argv[i]);
        const rt::Text key = rt::WideToText(rt::Utf8ToUtf16(rt::Bytes(arg.begin(), arg.end())));
        std::printf("%s\n", app::ManifestValue(manifest, key).c_str());
    }
    return 0;
}
