// Writes the seed corpus: small archives built the way the tests build
// theirs, intact and damaged.
#include <cstdio>
#include <string>

#include "tests/unit/zip_builder.h"

using testzip::Build;
using testzip::Entry;

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = argv[1];
    int n = 0;
    auto save = [&](const testzip::Bytes& zip) {
        const std::string path = dir + "/seed" + std::to_string(++n) + ".zip";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return;
        std::fwrite(zip.data(), 1, zip.size(), f);
        std::fclose(f);
    };
    Entry folder("assets/", {});
    folder.external = 0x10;
    Entry stored("a/stored.txt", testzip::Text("stored data stored data"));
    stored.deflate = false;
    Entry deflated("a\\deflated.txt", testzip::Text(std::string(600, 'x') + "tail"));
    Entry stamped("t.txt", testzip::Text("t"));
    stamped.centralExtra = testzip::Timestamps(1700000000, 1700000100, 1600000000);
    Entry described("d.bin", testzip::Text(std::string(300, 'd')));
    described.dataDescriptor = true;
    Entry readOnly("ro.cfg", testzip::Text("ro"));
    readOnly.external = 0x21;
    save(Build({folder, stored, deflated}));
    save(Build({stamped, described, readOnly}));
    save(Build({Entry("../evil", testzip::Text("e")), Entry("C:x", testzip::Text("c"))}));
    Entry badCrc("c.txt", testzip::Text("crc"));
    badCrc.crcDelta = 1;
    save(Build({badCrc}));
    Entry bomb("b.txt", testzip::Text(std::string(4000, 'b')));
    bomb.declaredSizeDelta = -3000;
    save(Build({bomb}));
    testzip::Options comment;
    comment.comment = "a comment";
    save(Build({stored}, comment));
    save(Build({}));
    Entry utf8("\xE7\x9A\xAE\xE8\x82\xA4/\xE9\xBB\x98.png", testzip::Text("u"));
    utf8.moreFlags = 0x0800;
    save(Build({utf8, Entry("\xD5\x5C\xC6\xB7/x.txt", testzip::Text("g"))}));
    save(Build({Entry("CON", testzip::Text("c")), Entry("a.", testzip::Text("d")), Entry("x:y", testzip::Text("s"))}));
    save(testzip::RepeatDirectory(Build({Entry("big.bin", testzip::Bytes(20000, 0))}), 8));
    std::string zeroTail = "first line\n";
    zeroTail.append(29500, '\0');
    save(Build({Entry("zero.bin", testzip::Text(zeroTail))}));
    std::printf("%d seeds in %s\n", n, dir.c_str());
    return 0;
}
