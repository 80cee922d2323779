#pragma once
// Fixed-width UTF-16 text fields, as the records store their names, send texts and comments:
// `units` UTF-16 code units, little-endian, the text ending at the first zero unit.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/bytes/byte_io.hpp"

namespace tessik {

// Reads up to the first zero unit or the end of the field, never beyond either (nor beyond
// the reader's end): a field without a terminator yields all of its units.
std::u16string readTextField(const ByteReader& r, std::size_t offset, std::size_t units);

// Writes `text` cut to units - 1 code units, then a terminator, then zero units to the end of
// the field: a field written here is always terminated and holds nothing behind the text.
void writeTextField(ByteWriter& w, std::size_t offset, std::size_t units, std::u16string_view text);

// `text` cut to at most `maxUnits` code units (the longest prefix a field of maxUnits + 1 holds).
std::u16string clipText(std::u16string_view text, std::size_t maxUnits);

}  // namespace tessik
