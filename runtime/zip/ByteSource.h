// Random-access input for the zip reader: a file, or memory in tests and
// the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace rt {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::int64_t size() const = 0;
    // Reads exactly n bytes at the offset; false when they are not all there.
    virtual bool ReadAt(std::int64_t offset, void* buffer, size_t n) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const std::vector<std::uint8_t>& bytes) : MemorySource(bytes.data(), bytes.size()) {}
    std::int64_t size() const override { return static_cast<std::int64_t>(size_); }
    bool ReadAt(std::int64_t offset, void* buffer, size_t n) override {
        if (offset < 0 || static_cast<std::uint64_t>(offset) > size_ || n > size_ - static_cast<size_t>(offset))
            return false;
        if (n) std::memcpy(buffer, data_ + offset, n);
        return true;
    }

private:
    const std::uint8_t* data_;
    size_t size_;
};

// Where an entry's data goes, piece by piece.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const std::uint8_t* data, size_t n) = 0;
};

}  // namespace rt
