#pragma once

// Little-endian reads from bytes that come from outside: an archive, an
// executable, an icon or a bitmap. Every read is checked against the end of
// the bytes; one that does not fit yields 0, reads nothing and marks the
// reader failed until the end of its life, so a parser may read a whole header
// and look at ok() once. Standard C++ only: the launcher on the CD and the
// fuzzers compile it too.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kz {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const std::uint8_t* data, std::size_t size) : bytes_(data, data ? size : 0) {}
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    // False once any read did not fit.
    bool ok() const { return ok_; }

    // True when `count` bytes from `at` lie within the bytes.
    bool fits(std::uint64_t at, std::uint64_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }

    // ---- Reads at a position

    std::uint8_t u8At(std::uint64_t at) { return fitsOrFail(at, 1) ? byte(at) : 0; }
    std::uint16_t u16At(std::uint64_t at) {
        if (!fitsOrFail(at, 2))
            return 0;
        return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8));
    }
    std::uint32_t u32At(std::uint64_t at) {
        if (!fitsOrFail(at, 4))
            return 0;
        return static_cast<std::uint32_t>(byte(at)) |
               (static_cast<std::uint32_t>(byte(at + 1)) << 8) |
               (static_cast<std::uint32_t>(byte(at + 2)) << 16) |
               (static_cast<std::uint32_t>(byte(at + 3)) << 24);
    }
    std::int32_t i32At(std::uint64_t at) { return static_cast<std::int32_t>(u32At(at)); }
    // Big-endian, for the few formats that use it (a PNG header).
    std::uint32_t u32BeAt(std::uint64_t at) {
        if (!fitsOrFail(at, 4))
            return 0;
        return (static_cast<std::uint32_t>(byte(at)) << 24) |
               (static_cast<std::uint32_t>(byte(at + 1)) << 16) |
               (static_cast<std::uint32_t>(byte(at + 2)) << 8) |
               static_cast<std::uint32_t>(byte(at + 3));
    }
    // `count` bytes from `at`; empty (and failed) when they do not fit.
    std::span<const std::uint8_t> bytesAt(std::uint64_t at, std::uint64_t count) {
        if (!fitsOrFail(at, count))
            return {};
        return bytes_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
    }

    // ---- Reads from the front, each moving past what it read

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

    std::uint16_t u16() { return u16At(step(2)); }
    std::uint32_t u32() { return u32At(step(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::span<const std::uint8_t> take(std::size_t count) { return bytesAt(step(count), count); }

private:
    bool fitsOrFail(std::uint64_t at, std::uint64_t count) {
        if (fits(at, count))
            return true;
        ok_ = false;
        return false;
    }
    std::uint8_t byte(std::uint64_t at) const { return bytes_[static_cast<std::size_t>(at)]; }
    // The position of the next `count` bytes, moving past them when they fit;
    // a read there that does not fit fails the reader.
    std::size_t step(std::size_t count) {
        const std::size_t at = position_;
        if (fits(at, count))
            position_ += count;
        return at;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

} // namespace kz
