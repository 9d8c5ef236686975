#include "runtime/zip/ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace rt {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr std::int64_t kMaxBack = 65535;
constexpr std::int64_t kScanStep = 1024;
constexpr size_t kInputPiece = 65536;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Sink wrapper that counts and checksums what passes through.
class CheckedSink {
public:
    CheckedSink(ByteSink& sink, std::uint32_t limit) : sink_(sink), limit_(limit) {}
    // False when the sink fails or the entry would grow past its size.
    bool Write(const std::uint8_t* data, size_t n, ZipError& error) {
        if (n == 0) return true;
        if (n > limit_ - written_) {
            error = ZipError::TooLarge;
            return false;
        }
        crc_ = crc32(crc_, data, static_cast<uInt>(n));
        written_ += static_cast<std::uint32_t>(n);
        if (!sink_.Write(data, n)) {
            error = ZipError::WriteFailed;
            return false;
        }
        return true;
    }
    std::uint32_t written() const { return written_; }
    std::uint32_t crc() const { return static_cast<std::uint32_t>(crc_); }

private:
    ByteSink& sink_;
    std::uint32_t limit_;
    std::uint32_t written_ = 0;
    uLong crc_ = crc32(0L, Z_NULL, 0);
};

void ReadExtendedTimestamp(const std::uint8_t* extra, size_t length, ZipTimes& times) {
    size_t i = 0;
    while (i + 4 <= length) {
        const std::uint16_t tag = U16(extra + i);
        const size_t size = U16(extra + i + 2);
        const std::uint8_t* field = extra + i + 4;
        if (i + 4 + size > length) return;
        if (tag == 0x5455 && size >= 1) {
            // Flags, then the times that the flags announce, as far as
            // they are present (the central copy often holds only one).
            const std::uint8_t flags = field[0];
            size_t at = 1;
            auto take = [&](bool wanted, bool& has, std::int64_t& value) {
                if (!wanted || at + 4 > size) return;
                value = static_cast<std::int32_t>(U32(field + at));
                has = true;
                at += 4;
            };
            take(flags & 1, times.hasModified, times.modified);
            take(flags & 2, times.hasAccessed, times.accessed);
            take(flags & 4, times.hasCreated, times.created);
            return;
        }
        i += 4 + size;
    }
}

}  // namespace

bool ZipReader::FindEndRecord(std::int64_t& position) {
    const std::int64_t fileSize = source_->size();
    const std::int64_t maxBack = std::min(kMaxBack, fileSize);
    std::uint8_t buffer[kScanStep + 4];
    std::int64_t back = 4;
    // Backwards from the end in 1024-byte steps, each read overlapping the
    // previous one by 4 bytes; the occurrence nearest the end wins.
    while (back < maxBack) {
        back = std::min(back + kScanStep, maxBack);
        const std::int64_t readPos = fileSize - back;
        const size_t readSize = static_cast<size_t>(std::min<std::int64_t>(kScanStep + 4, fileSize - readPos));
        if (!source_->ReadAt(readPos, buffer, readSize)) return false;
        for (size_t i = readSize - 3; i-- > 0;) {
            if (U32(buffer + i) == kEndSignature) {
                position = readPos + static_cast<std::int64_t>(i);
                return true;
            }
        }
    }
    return false;
}

bool ZipReader::Open(ByteSource& source) {
    source_ = &source;
    offsets_.clear();
    error_ = ZipError::None;
    std::int64_t end = 0;
    if (!FindEndRecord(end)) return Fail(ZipError::NoEndRecord);
    std::uint8_t record[kEndRecordSize];
    if (!source.ReadAt(end, record, sizeof(record))) return Fail(ZipError::NoEndRecord);
    const std::uint16_t disk = U16(record + 4), directoryDisk = U16(record + 6);
    const std::uint16_t entriesHere = U16(record + 8), entries = U16(record + 10);
    const std::uint32_t directorySize = U32(record + 12), directoryOffset = U32(record + 16);
    if (entries == 0xFFFF || entriesHere == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
        return Fail(ZipError::Zip64);
    if (HasZip64EndRecord(end)) return Fail(ZipError::Zip64);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries) return Fail(ZipError::MultiDisk);
    if (static_cast<std::int64_t>(directoryOffset) + directorySize > end) return Fail(ZipError::BadDirectory);
    directoryStart_ = directoryOffset;
    directoryEnd_ = static_cast<std::int64_t>(directoryOffset) + directorySize;

    std::int64_t at = directoryOffset;
    offsets_.reserve(entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint8_t fixed[kCentralRecordSize];
        if (at + static_cast<std::int64_t>(kCentralRecordSize) > directoryEnd_ ||
            !source.ReadAt(at, fixed, sizeof(fixed)) || U32(fixed) != kCentralSignature)
            return Fail(ZipError::BadDirectory);
        offsets_.push_back(at);
        at += static_cast<std::int64_t>(kCentralRecordSize) + U16(fixed + 28) + U16(fixed + 30) + U16(fixed + 32);
        if (at > directoryEnd_) return Fail(ZipError::BadDirectory);
    }
    return true;
}

// Four stray bytes "PK\x06\x07" before the end record are a ZIP64 locator
// only when the ZIP64 end record it points at carries its own signature.
bool ZipReader::HasZip64EndRecord(std::int64_t endRecord) {
    if (endRecord < static_cast<std::int64_t>(kZip64LocatorSize)) return false;
    std::uint8_t locator[kZip64LocatorSize];
    if (!source_->ReadAt(endRecord - static_cast<std::int64_t>(kZip64LocatorSize), locator, sizeof(locator)) ||
        U32(locator) != kZip64LocatorSignature)
        return false;
    const std::uint64_t at = static_cast<std::uint64_t>(U32(locator + 8)) | (static_cast<std::uint64_t>(U32(locator + 12)) << 32);
    std::uint8_t signature[4];
    return at <= static_cast<std::uint64_t>(source_->size()) &&
           source_->ReadAt(static_cast<std::int64_t>(at), signature, sizeof(signature)) &&
           U32(signature) == kZip64EndSignature;
}

bool ZipReader::CheckLayout() {
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    ranges.reserve(offsets_.size() + 1);
    ranges.emplace_back(directoryStart_, directoryEnd_);
    for (size_t i = 0; i < offsets_.size(); ++i) {
        ZipEntry entry;
        std::uint8_t local[kLocalHeaderSize];
        if (!ReadEntry(i, entry) || !source_->ReadAt(entry.localHeaderOffset, local, sizeof(local)) ||
            U32(local) != kLocalSignature)
            continue;
        const std::int64_t start = entry.localHeaderOffset;
        const std::int64_t end = start + static_cast<std::int64_t>(kLocalHeaderSize) + U16(local + 26) +
                                 U16(local + 28) + static_cast<std::int64_t>(entry.compressedSize);
        ranges.emplace_back(start, end);
    }
    error_ = ZipError::None;
    std::sort(ranges.begin(), ranges.end());
    std::int64_t reached = 0;
    for (const auto& range : ranges) {
        if (range.first == range.second) continue;  // an empty directory holds no bytes
        if (range.first < reached) return Fail(ZipError::Overlap);
        reached = range.second;
    }
    return true;
}

bool ZipReader::ReadEntry(size_t index, ZipEntry& entry) {
    if (index >= offsets_.size()) return Fail(ZipError::BadEntry);
    std::uint8_t fixed[kCentralRecordSize];
    const std::int64_t at = offsets_[index];
    if (!source_->ReadAt(at, fixed, sizeof(fixed))) return Fail(ZipError::ReadFailed);
    const std::uint16_t madeBy = U16(fixed + 4);
    entry.flags = U16(fixed + 8);
    entry.method = U16(fixed + 10);
    entry.times = ZipTimes();
    entry.times.dosTime = U16(fixed + 12);
    entry.times.dosDate = U16(fixed + 14);
    entry.crc = U32(fixed + 16);
    entry.compressedSize = U32(fixed + 20);
    entry.uncompressedSize = U32(fixed + 24);
    const size_t nameLength = U16(fixed + 28), extraLength = U16(fixed + 30);
    const std::uint32_t external = U32(fixed + 38);
    entry.localHeaderOffset = U32(fixed + 42);
    if (entry.compressedSize == 0xFFFFFFFF || entry.uncompressedSize == 0xFFFFFFFF ||
        entry.localHeaderOffset == 0xFFFFFFFF)
        return Fail(ZipError::Zip64);
    if (nameLength > kMaxEntryName) return Fail(ZipError::NameTooLong);

    std::vector<std::uint8_t> variable(nameLength + extraLength);
    if (!variable.empty() && !source_->ReadAt(at + static_cast<std::int64_t>(kCentralRecordSize), variable.data(),
                                              variable.size()))
        return Fail(ZipError::ReadFailed);
    entry.name.assign(reinterpret_cast<const char*>(variable.data()), nameLength);
    ReadExtendedTimestamp(variable.data() + nameLength, extraLength, entry.times);

    const bool unixMode = (madeBy >> 8) == 3 && (external >> 16) != 0;
    const bool nameIsFolder = !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
    entry.isFolder = (external & 0x10) || (unixMode && (external & 0x40000000)) || nameIsFolder;
    entry.attributes = 0;
    if ((external & 0x01) || (unixMode && !(external & 0x00800000))) entry.attributes |= kAttrReadOnly;
    if (external & 0x02) entry.attributes |= kAttrHidden;
    if (external & 0x04) entry.attributes |= kAttrSystem;
    if (external & 0x20) entry.attributes |= kAttrArchive;
    return true;
}

bool ZipReader::Extract(const ZipEntry& entry, ByteSink& sink) {
    if (entry.flags & 1) return Fail(ZipError::Encrypted);
    if (entry.method != 0 && entry.method != 8) return Fail(ZipError::UnsupportedMethod);
    std::uint8_t local[kLocalHeaderSize];
    if (!source_->ReadAt(entry.localHeaderOffset, local, sizeof(local))) return Fail(ZipError::ReadFailed);
    const bool descriptor = (U16(local + 6) & 8) != 0;
    if (U32(local) != kLocalSignature || U16(local + 8) != entry.method ||
        U16(local + 26) != entry.name.size())
        return Fail(ZipError::LocalHeaderMismatch);
    // The local name must be the central one, byte for byte.
    std::string localName(entry.name.size(), '\0');
    if (!localName.empty() &&
        !source_->ReadAt(static_cast<std::int64_t>(entry.localHeaderOffset) + kLocalHeaderSize, &localName[0],
                         localName.size()))
        return Fail(ZipError::ReadFailed);
    if (localName != entry.name) return Fail(ZipError::LocalHeaderMismatch);
    if (!descriptor && (U32(local + 14) != entry.crc || U32(local + 18) != entry.compressedSize ||
                        U32(local + 22) != entry.uncompressedSize))
        return Fail(ZipError::LocalHeaderMismatch);
    const std::int64_t data =
        static_cast<std::int64_t>(entry.localHeaderOffset) + kLocalHeaderSize + U16(local + 26) + U16(local + 28);
    if (data + entry.compressedSize > source_->size()) return Fail(ZipError::ReadFailed);
    return entry.method == 0 ? CopyStored(data, entry, sink) : Inflate(data, entry, sink);
}

bool ZipReader::CopyStored(std::int64_t offset, const ZipEntry& entry, ByteSink& sink) {
    if (entry.compressedSize != entry.uncompressedSize) return Fail(ZipError::SizeMismatch);
    CheckedSink out(sink, entry.uncompressedSize);
    std::vector<std::uint8_t>& piece = output_;
    piece.resize(kInflatePiece);
    std::uint32_t left = entry.compressedSize;
    while (left > 0) {
        const size_t n = std::min<size_t>(left, piece.size());
        if (!source_->ReadAt(offset, piece.data(), n)) return Fail(ZipError::ReadFailed);
        ZipError e = ZipError::None;
        if (!out.Write(piece.data(), n, e)) return Fail(e);
        offset += static_cast<std::int64_t>(n);
        left -= static_cast<std::uint32_t>(n);
    }
    if (out.crc() != entry.crc) return Fail(ZipError::CrcMismatch);
    return true;
}

bool ZipReader::Inflate(std::int64_t offset, const ZipEntry& entry, ByteSink& sink) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return Fail(ZipError::BadData);
    struct End {
        z_stream* z;
        ~End() { inflateEnd(z); }
    } end{&z};

    CheckedSink out(sink, entry.uncompressedSize);
    std::vector<std::uint8_t>&input = input_, &output = output_;
    input.resize(kInputPiece);
    output.resize(kInflatePiece);
    std::uint32_t left = entry.compressedSize;
    for (;;) {
        if (z.avail_in == 0 && left > 0) {
            const size_t n = std::min<size_t>(left, input.size());
            if (!source_->ReadAt(offset, input.data(), n)) return Fail(ZipError::ReadFailed);
            offset += static_cast<std::int64_t>(n);
            left -= static_cast<std::uint32_t>(n);
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(n);
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        // zlib may still hold output when all input is consumed (the last
        // call filled the buffer exactly): it is asked again until it ends
        // the stream or can make no progress.
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return Fail(ZipError::BadData);
        ZipError e = ZipError::None;
        if (!out.Write(output.data(), output.size() - z.avail_out, e)) return Fail(e);
        if (status == Z_STREAM_END) break;
        // No progress with output space free: the input ran out mid-stream.
        if (status == Z_BUF_ERROR) return Fail(ZipError::BadData);
    }
    if (out.written() != entry.uncompressedSize) return Fail(ZipError::SizeMismatch);
    if (out.crc() != entry.crc) return Fail(ZipError::CrcMismatch);
    return true;
}

}  // namespace rt
