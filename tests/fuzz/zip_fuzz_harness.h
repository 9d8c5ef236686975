// One fuzz input through the zip reader and the archive component, with
// an in-memory file system; also run by the unit tests on every input
// the fuzzer ever found.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "runtime/zip/ExtractZip.h"
#include "runtime/zip/ZipReader.h"

namespace zipfuzz {

class CountingSink : public rt::ByteSink {
public:
    bool Write(const std::uint8_t*, size_t n) override {
        if (n > rt::kInflatePiece) std::abort();
        written += n;
        return true;
    }
    size_t written = 0;
};

class MemoryFileSystem : public rt::ExtractFileSystem {
public:
    MemoryFileSystem(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool IsFile(const rt::Text& path) override { return path == "A:\\pack.zip"; }
    bool IsFolder(const rt::Text& path) override { return folders_.count(path) > 0; }
    bool CreateFolders(const rt::Text& path) override {
        Check(path);
        folders_[path] = true;
        return true;
    }
    std::unique_ptr<rt::ByteSource> OpenArchive(const rt::Text&) override {
        return std::make_unique<rt::MemorySource>(data_, size_);
    }
    std::unique_ptr<rt::OutputFile> CreateOutput(const rt::Text& path, std::uint32_t) override {
        Check(path);
        return std::make_unique<Output>();
    }
    void SetNormalAttributes(const rt::Text&) override {}

private:
    struct Output : rt::OutputFile {
        bool Write(const std::uint8_t*, size_t n) override { return n <= rt::kInflatePiece; }
        bool SetTimes(const rt::ZipTimes&) override { return true; }
        bool Close() override { return true; }
    };
    // Everything the component writes must lie under the destination.
    static void Check(const rt::Text& path) {
        const rt::Text root = "A:\\dest\\";
        if (path.compare(0, root.size(), root) != 0 && path + "\\" != root) std::abort();
        if (!rt::IsSafeEntryName(path.substr(root.size() > path.size() ? path.size() : root.size())) &&
            path.size() > root.size())
            std::abort();
    }
    const std::uint8_t* data_;
    size_t size_;
    std::map<rt::Text, bool> folders_;
};

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
    MemoryFileSystem fs(data, size);
    const int result = rt::ExtractZip("A:\\pack.zip", "A:\\dest\\", [](int percent, rt::ExtractState&) {
        if (percent < 0 || percent > 100) std::abort();
    }, fs);
    if (result != 0 && result != 1) std::abort();
}

}  // namespace zipfuzz
