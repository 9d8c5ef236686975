// Unpacks one archive with the archive component and prints the time and
// the peak memory. Built by the "bench" preset (Linux, optimised) and by
// the Windows build (run under Wine for the record).
//   zip_bench ARCHIVE DESTINATION   unpack it as the installer does
//   zip_bench inflate ARCHIVE       zlib alone into memory, and the zip reader into memory
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/zip/ByteSource.h"
#include "runtime/zip/ExtractZip.h"
#include "runtime/zip/ZipReader.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
static double PeakMiB() {
    PROCESS_MEMORY_COUNTERS c{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return static_cast<double>(c.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
#else
#include <sys/resource.h>
static double PeakMiB() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}
#endif

namespace {

std::vector<std::uint8_t> ReadWhole(const char* path) {
    std::vector<std::uint8_t> bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        std::uint8_t piece[1 << 16];
        size_t n;
        while ((n = std::fread(piece, 1, sizeof(piece), f)) > 0) bytes.insert(bytes.end(), piece, piece + n);
        std::fclose(f);
    }
    return bytes;
}

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

class NullSink : public rt::ByteSink {
public:
    bool Write(const std::uint8_t*, size_t n) override {
        bytes += n;
        return true;
    }
    std::uint64_t bytes = 0;
};

// The floor: zlib alone inflating every entry of the archive, held in
// memory, into memory; no checks, no files. Beside it, the zip reader
// into memory (its checks and CRC, no files).
int InflateOnly(const char* archive) {
    const std::vector<std::uint8_t> bytes = ReadWhole(archive);
    rt::MemorySource source(bytes);
    rt::ZipReader reader;
    if (!reader.Open(source)) return 1;
    std::vector<rt::ZipEntry> entries(reader.count());
    for (size_t i = 0; i < entries.size(); ++i)
        if (!reader.ReadEntry(i, entries[i])) return 1;
    std::vector<std::uint8_t> out(1 << 16);
    std::uint64_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const rt::ZipEntry& e : entries) {
        if (e.isFolder || e.method != 8) continue;
        const std::uint8_t* local = bytes.data() + e.localHeaderOffset;
        const std::uint8_t* data = local + 30 + Le16(local + 26) + Le16(local + 28);
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return 1;
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = e.compressedSize;
        int status = Z_OK;
        while (status == Z_OK) {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            status = inflate(&z, Z_NO_FLUSH);
            total += out.size() - z.avail_out;
        }
        inflateEnd(&z);
        if (status != Z_STREAM_END) return 1;
    }
    const double inflateSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    NullSink sink;
    const auto readerStart = std::chrono::steady_clock::now();
    for (const rt::ZipEntry& e : entries)
        if (!e.isFolder && !reader.Extract(e, sink)) return 1;
    const double readerSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - readerStart).count();
    std::printf("mode=inflate bytes=%llu inflate_seconds=%.3f reader_seconds=%.3f\n",
                static_cast<unsigned long long>(total), inflateSeconds, readerSeconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "inflate") return InflateOnly(argv[2]);
    if (argc < 3) return 2;
    int entries = 0;
    const auto start = std::chrono::steady_clock::now();
    const int result = rt::ExtractZip(argv[1], argv[2], [&](int, rt::ExtractState&) { ++entries; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("result=%d reports=%d seconds=%.3f peak_mib=%.1f\n", result, entries, seconds, PeakMiB());
    return result == 1 ? 0 : 1;
}
