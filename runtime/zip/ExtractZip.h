// The archive component: unpacks every entry of a zip archive into a
// destination folder, reporting progress after each entry.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

// What extraction needs of the file system. Paths are UTF-16 with "\"
// separators, as Windows reads them; the Linux build maps them to UTF-8.
class ExtractFileSystem {
public:
    virtual ~ExtractFileSystem() = default;
    virtual bool IsFile(const std::u16string& path) = 0;
    virtual bool IsFolder(const std::u16string& path) = 0;
    // Creates every missing level; true when the folder exists afterwards.
    virtual bool CreateFolders(const std::u16string& path) = 0;
    virtual std::unique_ptr<ByteSource> OpenArchive(const std::u16string& path) = 0;
    // Create-always, write access, no sharing, plain attributes.
    virtual std::unique_ptr<OutputFile> CreateOutput(const std::u16string& path) = 0;
    // Moves a finished file over the target; fails, leaving the target as
    // it was, when the target is read-only, a folder or in use.
    virtual bool Replace(const std::u16string& from, const std::u16string& to) = 0;
    virtual void Remove(const std::u16string& path) = 0;
    virtual void SetNormalAttributes(const std::u16string& path) = 0;
    // The absolute, normalised form of a path, as the system resolves it.
    virtual bool FullPath(const std::u16string& path, std::u16string& full) = 0;
    // Bytes the caller may still write on the folder's volume; false when
    // unknown.
    virtual bool FreeBytes(const std::u16string& folder, std::uint64_t& bytes) = 0;
};

// The file system of the platform the program runs on.
ExtractFileSystem& PlatformFileSystem();

constexpr int kExtractDone = 1;      // every entry unpacked (or stopped by the handler)
constexpr int kExtractFailed = 0;    // refused, or an entry failed; earlier entries stay
constexpr int kExtractMissing = -1;  // no archive path, no destination, or no such file

struct ExtractState {
    std::int64_t total = 0;
    std::int64_t done = 0;
    std::u16string current;  // the full path of the entry just written
    bool stop = false;
};

// Receives the percentage; may set state.stop to end after this entry.
using ExtractProgress = std::function<void(int percent, ExtractState& state)>;

// The paths are Text (GBK); entry names are decoded as each entry says.
int ExtractZip(const Text& archive, const Text& destination, const ExtractProgress& progress,
               ExtractFileSystem& fs = PlatformFileSystem());

}  // namespace rt
