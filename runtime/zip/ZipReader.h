// Reads zip archives (PKWARE APPNOTE): the end-of-central-directory
// record, the central directory's entries by index, and each entry's
// data, stored or deflated, into a sink. No ZIP64, no encryption, no I/O
// of its own beyond the byte source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/zip/ByteSource.h"

namespace rt {

constexpr size_t kMaxEntryName = 259;
// Output is written in pieces of at most this size: large enough that the
// writes' system calls and inflate's own setup cost little, small enough
// to keep memory flat.
constexpr size_t kInflatePiece = 65536;

struct ZipTimes {
    std::uint16_t dosDate = 0, dosTime = 0;
    // From an extended-timestamp ("UT") field, Unix seconds.
    bool hasModified = false, hasAccessed = false, hasCreated = false;
    std::int64_t modified = 0, accessed = 0, created = 0;
};

// File attributes in Windows' bits.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrArchive = 0x20;

struct ZipEntry {
    std::string name;  // as stored: UTF-8 when flags has bit 11, GBK otherwise
    bool isFolder = false;
    std::uint32_t attributes = 0;
    ZipTimes times;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t localHeaderOffset = 0;
};

enum class ZipError {
    None,
    NoEndRecord,
    MultiDisk,
    Zip64,
    BadDirectory,
    BadEntry,
    NameTooLong,
    LocalHeaderMismatch,
    Encrypted,
    UnsupportedMethod,
    ReadFailed,
    BadData,      // the deflate stream is damaged
    TooLarge,     // more data than the entry declares
    SizeMismatch, // less data than the entry declares
    CrcMismatch,
    WriteFailed,
    Overlap,      // two entries, or an entry and the directory, share bytes
};

class ZipReader {
public:
    // Finds the end record and indexes the central directory.
    bool Open(ByteSource& source);
    size_t count() const { return offsets_.size(); }
    bool ReadEntry(size_t index, ZipEntry& entry);
    // Refuses an archive in which an entry's [local header, end of data)
    // overlaps another's or the central directory, so that no stored byte
    // is unpacked twice. Entries whose headers cannot be read are left for
    // Extract to fail.
    bool CheckLayout();
    // Checks the local header against the entry, then writes the data,
    // at most kInflatePiece bytes at a time, checking size and CRC-32.
    bool Extract(const ZipEntry& entry, ByteSink& sink);
    ZipError error() const { return error_; }

private:
    bool Fail(ZipError e) {
        error_ = e;
        return false;
    }
    bool FindEndRecord(std::int64_t& position);
    bool HasZip64EndRecord(std::int64_t endRecord);
    bool CopyStored(std::int64_t offset, const ZipEntry& entry, ByteSink& sink);
    bool Inflate(std::int64_t offset, const ZipEntry& entry, ByteSink& sink);

    ByteSource* source_ = nullptr;
    std::vector<std::uint8_t> input_, output_;  // kept from entry to entry
    std::vector<std::int64_t> offsets_;  // of the central-directory records
    std::int64_t directoryStart_ = 0, directoryEnd_ = 0;
    ZipError error_ = ZipError::None;
};

}  // namespace rt
