#pragma once
// Little-endian access to fixed-layout records in files and device frames.
//
// Every record of the tool (the data file, the command frames, the firmware header) is a
// fixed byte layout. Readers and writers here are bounded by the span they are given: a read
// beyond the end yields 0 and a write beyond the end is dropped, so a short or hostile input
// can only ever produce a short read.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessik {

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    bool has(std::size_t offset, std::size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }

    std::uint8_t u8(std::size_t offset) const { return offset < data_.size() ? data_[offset] : 0; }
    std::uint16_t u16(std::size_t offset) const {
        return static_cast<std::uint16_t>(u8(offset) | (u8(offset + 1) << 8));
    }
    // High byte first, for the rare big-endian field.
    std::uint16_t u16be(std::size_t offset) const {
        return static_cast<std::uint16_t>(u8(offset) << 8 | u8(offset + 1));
    }
    std::uint32_t u32(std::size_t offset) const {
        return static_cast<std::uint32_t>(u16(offset)) |
               (static_cast<std::uint32_t>(u16(offset + 2)) << 16);
    }
    std::uint64_t u64(std::size_t offset) const {
        return static_cast<std::uint64_t>(u32(offset)) |
               (static_cast<std::uint64_t>(u32(offset + 4)) << 32);
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

    // The bytes [offset, offset + count) that are present; shorter (or empty) near the end.
    std::span<const std::uint8_t> bytes(std::size_t offset, std::size_t count) const;
    // A reader over a sub-range, clipped to what is present.
    ByteReader sub(std::size_t offset, std::size_t count) const {
        return ByteReader(bytes(offset, count));
    }

  private:
    std::span<const std::uint8_t> data_;
};

class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }

    void u8(std::size_t offset, std::uint8_t v) {
        if (offset < data_.size()) data_[offset] = v;
    }
    void u16(std::size_t offset, std::uint16_t v) {
        u8(offset, static_cast<std::uint8_t>(v));
        u8(offset + 1, static_cast<std::uint8_t>(v >> 8));
    }
    void u16be(std::size_t offset, std::uint16_t v) {
        u8(offset, static_cast<std::uint8_t>(v >> 8));
        u8(offset + 1, static_cast<std::uint8_t>(v));
    }
    void u32(std::size_t offset, std::uint32_t v) {
        u16(offset, static_cast<std::uint16_t>(v));
        u16(offset + 2, static_cast<std::uint16_t>(v >> 16));
    }
    void u64(std::size_t offset, std::uint64_t v) {
        u32(offset, static_cast<std::uint32_t>(v));
        u32(offset + 4, static_cast<std::uint32_t>(v >> 32));
    }
    void i32(std::size_t offset, std::int32_t v) { u32(offset, static_cast<std::uint32_t>(v)); }

    // Copies as much of `src` as fits from `offset` on.
    void bytes(std::size_t offset, std::span<const std::uint8_t> src);
    void fill(std::size_t offset, std::size_t count, std::uint8_t value);
    std::span<std::uint8_t> span(std::size_t offset, std::size_t count);
    ByteWriter sub(std::size_t offset, std::size_t count) {
        return ByteWriter(span(offset, count));
    }

  private:
    std::span<std::uint8_t> data_;
};

}  // namespace tessik
