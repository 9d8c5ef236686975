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

// A source read through a window of kWindow bytes: the many small reads
// of the directory's records and the local headers are served from
// memory, one system call per window instead of one each. Large reads go
// straight through.
class BufferedSource : public ByteSource {
public:
    static constexpr size_t kWindow = 65536;

    explicit BufferedSource(ByteSource& inner) : inner_(inner), size_(inner.size()) {}
    std::int64_t size() const override { return size_; }
    bool ReadAt(std::int64_t offset, void* buffer, size_t n) override {
        if (offset < 0 || offset > size_ || static_cast<std::uint64_t>(n) > static_cast<std::uint64_t>(size_ - offset))
            return false;
        if (n >= kWindow / 4) return inner_.ReadAt(offset, buffer, n);
        if (offset < start_ || offset + static_cast<std::int64_t>(n) > start_ + static_cast<std::int64_t>(held_)) {
            const std::int64_t left = size_ - offset;
            held_ = static_cast<size_t>(left < static_cast<std::int64_t>(kWindow) ? left : kWindow);
            window_.resize(kWindow);
            if (!inner_.ReadAt(offset, window_.data(), held_)) {
                held_ = 0;
                return false;
            }
            start_ = offset;
        }
        if (n) std::memcpy(buffer, window_.data() + (offset - start_), n);
        return true;
    }

private:
    ByteSource& inner_;
    std::int64_t size_;
    std::vector<std::uint8_t> window_;
    std::int64_t start_ = 0;
    size_t held_ = 0;
};

// Where an entry's data goes, piece by piece.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const std::uint8_t* data, size_t n) = 0;
};

}  // namespace rt
