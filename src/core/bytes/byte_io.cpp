#include "core/bytes/byte_io.hpp"

#include <algorithm>

namespace tessik {

std::span<const std::uint8_t> ByteReader::bytes(std::size_t offset, std::size_t count) const {
    if (offset >= data_.size()) return {};
    return data_.subspan(offset, std::min(count, data_.size() - offset));
}

std::span<std::uint8_t> ByteWriter::span(std::size_t offset, std::size_t count) {
    if (offset >= data_.size()) return {};
    return data_.subspan(offset, std::min(count, data_.size() - offset));
}

void ByteWriter::bytes(std::size_t offset, std::span<const std::uint8_t> src) {
    auto dst = span(offset, src.size());
    std::copy_n(src.begin(), dst.size(), dst.begin());
}

void ByteWriter::fill(std::size_t offset, std::size_t count, std::uint8_t value) {
    auto dst = span(offset, count);
    std::fill(dst.begin(), dst.end(), value);
}

}  // namespace tessik
