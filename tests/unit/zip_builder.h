// Builds small zip archives in memory for the tests, including damaged
// and hostile ones.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testzip {

using Bytes = std::vector<std::uint8_t>;

struct Entry {
    Entry(std::string n = std::string(), Bytes d = Bytes()) : name(std::move(n)), data(std::move(d)) {}
    std::string name;
    Bytes data;
    bool deflate = true;
    std::uint32_t external = 0x20;  // MS-DOS archive bit
    std::uint16_t madeBy = 20;      // MS-DOS
    std::uint16_t dosTime = 0x6000, dosDate = 0x5B74;  // 2025-11-20 12:00
    Bytes centralExtra, localExtra;
    bool dataDescriptor = false;
    bool encrypted = false;
    std::uint16_t moreFlags = 0;  // e.g. 0x0800, the name is UTF-8
    std::string localName;        // when set, the local header's name instead
    // Faults to inject.
    std::int64_t crcDelta = 0;            // stored CRC off by this much
    std::int64_t declaredSizeDelta = 0;   // declared uncompressed size off by this much
    bool localMethodDiffers = false;
    bool corruptDeflate = false;
};

inline void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline Bytes Deflate(const Bytes& in) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, in.size()) + 16);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A "UT" extra field with the modification, access and creation times.
inline Bytes Timestamps(std::uint32_t modified, std::uint32_t accessed, std::uint32_t created) {
    Bytes b;
    Put16(b, 0x5455);
    Put16(b, 13);
    b.push_back(7);
    Put32(b, modified);
    Put32(b, accessed);
    Put32(b, created);
    return b;
}

struct Options {
    std::uint16_t disk = 0, directoryDisk = 0;
    int entriesHereDelta = 0;
    bool zip64Count = false;
    std::string comment;
    Bytes beforeEnd;  // bytes between the directory and the end record
    Bytes prefix;  // bytes before the first local header
};

inline Bytes Build(const std::vector<Entry>& entries, const Options& o = Options()) {
    Bytes zip = o.prefix;
    struct Placed {
        std::uint32_t offset, crc, compressed, uncompressed;
        std::uint16_t method, flags;
    };
    std::vector<Placed> placed;
    for (const Entry& e : entries) {
        Bytes data = e.deflate ? Deflate(e.data) : e.data;
        if (e.corruptDeflate && data.size() > 4) {
            for (size_t i = 1; i < data.size(); i += 3) data[i] ^= 0x5A;
        }
        const std::uint32_t crc =
            static_cast<std::uint32_t>(crc32(0, e.data.data(), static_cast<uInt>(e.data.size())) + e.crcDelta);
        const std::uint32_t size = static_cast<std::uint32_t>(e.data.size() + e.declaredSizeDelta);
        const std::uint16_t method = e.deflate ? 8 : 0;
        const std::uint16_t flags = (e.dataDescriptor ? 8 : 0) | (e.encrypted ? 1 : 0) | e.moreFlags;
        const std::string& localName = e.localName.empty() ? e.name : e.localName;
        placed.push_back({static_cast<std::uint32_t>(zip.size()), crc, static_cast<std::uint32_t>(data.size()), size,
                          method, flags});
        Put32(zip, 0x04034B50);
        Put16(zip, 20);
        Put16(zip, flags);
        Put16(zip, e.localMethodDiffers ? (method == 8 ? 0 : 8) : method);
        Put16(zip, e.dosTime);
        Put16(zip, e.dosDate);
        Put32(zip, e.dataDescriptor ? 0 : crc);
        Put32(zip, e.dataDescriptor ? 0 : static_cast<std::uint32_t>(data.size()));
        Put32(zip, e.dataDescriptor ? 0 : size);
        Put16(zip, static_cast<std::uint32_t>(localName.size()));
        Put16(zip, static_cast<std::uint32_t>(e.localExtra.size()));
        zip.insert(zip.end(), localName.begin(), localName.end());
        zip.insert(zip.end(), e.localExtra.begin(), e.localExtra.end());
        zip.insert(zip.end(), data.begin(), data.end());
        if (e.dataDescriptor) {
            Put32(zip, 0x08074B50);
            Put32(zip, crc);
            Put32(zip, static_cast<std::uint32_t>(data.size()));
            Put32(zip, size);
        }
    }
    const std::uint32_t directory = static_cast<std::uint32_t>(zip.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const Placed& p = placed[i];
        Put32(zip, 0x02014B50);
        Put16(zip, e.madeBy);
        Put16(zip, 20);
        Put16(zip, p.flags);
        Put16(zip, p.method);
        Put16(zip, e.dosTime);
        Put16(zip, e.dosDate);
        Put32(zip, p.crc);
        Put32(zip, p.compressed);
        Put32(zip, p.uncompressed);
        Put16(zip, static_cast<std::uint32_t>(e.name.size()));
        Put16(zip, static_cast<std::uint32_t>(e.centralExtra.size()));
        Put16(zip, 0);
        Put16(zip, 0);
        Put16(zip, 0);
        Put32(zip, e.external);
        Put32(zip, p.offset);
        zip.insert(zip.end(), e.name.begin(), e.name.end());
        zip.insert(zip.end(), e.centralExtra.begin(), e.centralExtra.end());
    }
    const std::uint32_t directorySize = static_cast<std::uint32_t>(zip.size()) - directory;
    zip.insert(zip.end(), o.beforeEnd.begin(), o.beforeEnd.end());
    Put32(zip, 0x06054B50);
    Put16(zip, o.disk);
    Put16(zip, o.directoryDisk);
    const std::uint32_t count = o.zip64Count ? 0xFFFF : static_cast<std::uint32_t>(entries.size());
    Put16(zip, static_cast<std::uint32_t>(static_cast<int>(count) + o.entriesHereDelta));
    Put16(zip, count);
    Put32(zip, directorySize);
    Put32(zip, directory);
    Put16(zip, static_cast<std::uint32_t>(o.comment.size()));
    zip.insert(zip.end(), o.comment.begin(), o.comment.end());
    return zip;
}

// The archive with its central directory repeated: every copy of a record
// points at the same local entry.
inline Bytes RepeatDirectory(const Bytes& zip, int times) {
    const size_t end = zip.size() - 22;
    const std::uint32_t size = zip[end + 12] | (zip[end + 13] << 8) | (zip[end + 14] << 16) | (zip[end + 15] << 24);
    const std::uint32_t offset = zip[end + 16] | (zip[end + 17] << 8) | (zip[end + 18] << 16) | (zip[end + 19] << 24);
    const std::uint16_t count = static_cast<std::uint16_t>(zip[end + 10] | (zip[end + 11] << 8));
    Bytes out(zip.begin(), zip.begin() + offset + size);
    for (int i = 1; i < times; ++i) out.insert(out.end(), zip.begin() + offset, zip.begin() + offset + size);
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(count * times));
    Put16(out, static_cast<std::uint32_t>(count * times));
    Put32(out, size * static_cast<std::uint32_t>(times));
    Put32(out, offset);
    Put16(out, 0);
    return out;
}

}  // namespace testzip
