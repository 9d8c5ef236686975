// The archive component: unpacks every entry of a zip archive into a
// destination folder, reporting progress after each entry.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "runtime/Text.h"
#include "runtime/zip/ByteSource.h"
#include "runtime/zip/ZipReader.h"

namespace rt {

// An output file being written; closed when released.
class OutputFile : public ByteSink {
public:
    virtual bool SetTimes(const ZipTimes& times) = 0;
    virtual bool Close() = 0;
};

// What extraction needs of the file system. Paths use "\" separators.
class ExtractFileSystem {
public:
    virtual ~ExtractFileSystem() = default;
    virtual bool IsFile(const Text& path) = 0;
    virtual bool IsFolder(const Text& path) = 0;
    // Creates every missing level; true when the folder exists afterwards.
    virtual bool CreateFolders(const Text& path) = 0;
    virtual std::unique_ptr<ByteSource> OpenArchive(const Text& path) = 0;
    // Create-always, write access, no sharing, with the given attributes.
    virtual std::unique_ptr<OutputFile> CreateOutput(const Text& path, std::uint32_t attributes) = 0;
    virtual void SetNormalAttributes(const Text& path) = 0;
};

// The file system of the platform the program runs on.
ExtractFileSystem& PlatformFileSystem();

constexpr int kExtractDone = 1;      // every entry unpacked (or stopped by the handler)
constexpr int kExtractFailed = 0;    // refused, or an entry failed; earlier entries stay
constexpr int kExtractMissing = -1;  // no archive path, no destination, or no such file

struct ExtractState {
    std::int64_t total = 0;
    std::int64_t done = 0;
    Text current;
    bool stop = false;
};

// Receives the percentage; may set state.stop to end after this entry.
using ExtractProgress = std::function<void(int percent, ExtractState& state)>;

int ExtractZip(const Text& archive, const Text& destination, const ExtractProgress& progress,
               ExtractFileSystem& fs = PlatformFileSystem());

}  // namespace rt
