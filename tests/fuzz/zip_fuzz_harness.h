// One fuzz input through the zip reader and the archive component. The
// archive is unpacked by the real file system of the build into a fresh
// folder; afterwards everything found on disk must lie inside it, judged
// by the host's own path resolution. Also run by the unit tests on every
// kept input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "runtime/zip/ExtractZip.h"
#include "runtime/zip/ZipReader.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace zipfuzz {

namespace fs = std::filesystem;

[[noreturn]] inline void Escaped(const fs::path& path) {
    std::fprintf(stderr, "written outside the destination: %s\n", path.string().c_str());
    std::abort();
}

class CountingSink : public rt::ByteSink {
public:
    bool Write(const std::uint8_t*, size_t n) override {
        if (n > rt::kInflatePiece) std::abort();
        written += n;
        return true;
    }
    size_t written = 0;
};

// A private folder of this process (named by its id, so that two runs on
// one machine never share one): the archive beside the destination.
inline const fs::path& Sandbox() {
    static const fs::path path = [] {
        std::error_code ec;
#ifdef _WIN32
        const fs::path base = fs::temp_directory_path();  // "/dev/shm" would be a folder of drive Z: under Wine
        const long long pid = _getpid();
#else
        const fs::path base = fs::exists("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        const long long pid = getpid();
#endif
        fs::path p = base / ("zipfuzz-" + std::to_string(pid));
        fs::remove_all(p, ec);
        fs::create_directories(p);
        return p;
    }();
    return path;
}

inline void CheckNothingEscaped(const fs::path& sandbox, const fs::path& destination) {
    std::error_code ec;
    // Beside the destination only the archive may be there.
    for (const auto& item : fs::directory_iterator(sandbox, ec)) {
        const auto name = item.path().filename();
        if (name != "dest" && name != "pack.zip") Escaped(item.path());
    }
    const fs::path root = fs::canonical(destination, ec);
    if (ec) return;  // nothing was created
    const std::string prefix = root.string() + static_cast<char>(fs::path::preferred_separator);
    for (auto it = fs::recursive_directory_iterator(destination, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path resolved = fs::canonical(it->path(), ec);
        if (ec || it->is_symlink() || resolved.string().compare(0, prefix.size(), prefix) != 0) Escaped(it->path());
    }
}

inline void Clear(const fs::path& destination) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(destination, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(destination, ec);
}

inline void FuzzOneArchive(const std::uint8_t* data, size_t size) {
    rt::MemorySource source(data, size);
    rt::ZipReader reader;
    if (reader.Open(source)) {
        for (size_t i = 0; i < reader.count() && i < 256; ++i) {
            rt::ZipEntry entry;
            if (!reader.ReadEntry(i, entry)) break;
            CountingSink sink;
            reader.Extract(entry, sink);
            if (sink.written > entry.uncompressedSize) std::abort();
        }
    }

    const fs::path sandbox = Sandbox();
    const fs::path archive = sandbox / "pack.zip";
    const fs::path destination = sandbox / "dest";
    Clear(destination);
    std::ofstream(archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const int result = rt::ExtractZip(archive.string(), (destination / "").string(), [](int percent, rt::ExtractState&) {
        if (percent < 0 || percent > 100) std::abort();
    });
    if (result != 0 && result != 1) std::abort();
    CheckNothingEscaped(sandbox, destination);
    Clear(destination);
}

}  // namespace zipfuzz
