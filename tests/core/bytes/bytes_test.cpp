#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "core/bytes/byte_io.hpp"
#include "core/bytes/text_field.hpp"
#include "core/bytes/utf.hpp"

namespace tessik {
namespace {

TEST(ByteIo, readsAndWritesLittleEndianAtOffsetsAndNeverBeyondTheEnd) {
    std::array<std::uint8_t, 24> buf{};
    ByteWriter w(buf);
    w.u8(0, 0xAB);
    w.u16(1, 0x1234);
    w.u32(3, 0xDEADBEEF);
    w.u64(7, 0x0102030405060708ull);
    w.i32(15, -2);
    EXPECT_EQ(std::tuple(buf[1], buf[2], buf[3], buf[7], buf[14], buf[18]),
              std::tuple(0x34, 0x12, 0xEF, 0x08, 0x01, 0xFF));
    const ByteReader r(buf);
    EXPECT_EQ(std::tuple(r.u8(0), r.u16(1), r.u32(3), r.u64(7), r.i32(15)),
              std::tuple(0xAB, 0x1234, 0xDEADBEEFu, 0x0102030405060708ull, -2));

    // Past the end reads give zero (or the part that is present) and writes are dropped.
    std::vector<std::uint8_t> short3 = {0x11, 0x22, 0x33};
    const ByteReader s(short3);
    EXPECT_EQ(std::tuple(s.u16(2), s.u32(3), s.u64(1000)), std::tuple(0x0033, 0u, 0u));
    EXPECT_EQ(std::tuple(s.bytes(5, 10).size(), s.bytes(1, 10).size()), std::tuple(0u, 2u));
    EXPECT_EQ(std::tuple(s.has(2, 2), s.has(3, 0)), std::tuple(false, true));
    ByteWriter(short3).u32(2, 0xFFFFFFFF);
    EXPECT_EQ(short3, (std::vector<std::uint8_t>{0x11, 0x22, 0xFF}));
}

TEST(TextField, readStopsAtTerminatorFieldEndOrInputEndAndWriteAlwaysTerminates) {
    std::array<std::uint8_t, 12> buf{};
    ByteWriter w(buf);
    w.u16(0, u'a');
    w.u16(2, u'b');
    w.u16(6, u'x');  // behind the terminator: ignored
    EXPECT_EQ(readTextField(ByteReader(buf), 0, 6), u"ab");

    // No terminator inside the field: all of its units, nothing beyond.
    for (std::size_t i = 0; i < 6; ++i)
        w.u16(2 * i, u'z');
    EXPECT_EQ(readTextField(ByteReader(buf), 0, 3), u"zzz");
    // A field running past the input's end reads what is there.
    EXPECT_EQ(readTextField(ByteReader(std::span(buf).first(5)), 0, 6), u"zz");

    // A write cuts to the width minus one and always terminates; it clears the field's rest.
    std::array<std::uint8_t, 8> out;
    out.fill(0xEE);
    ByteWriter ow(out);
    writeTextField(ow, 0, 4, u"abcdef");
    EXPECT_EQ(out, (std::array<std::uint8_t, 8>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    writeTextField(ow, 0, 4, u"a");
    EXPECT_EQ(out, (std::array<std::uint8_t, 8>{'a', 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Utf, convertsBothWaysIncludingJapaneseAndSurrogatePairsAndReplacesInvalidInput) {
    const std::string utf8 = "A\xE8\xB5\xA4\xE5\xA4\x96 \xF0\x9F\x93\xBA";  // A赤外 📺
    const std::u16string utf16 = u"A\u8D64\u5916 \U0001F4FA";
    EXPECT_EQ(utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(utf16ToUtf8(utf16), utf8);
    EXPECT_EQ(utf8ToUtf16("a\xFF"), u"a\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD");      // overlong '/'
    EXPECT_EQ(utf8ToUtf16("\xE3\x81"), u"\uFFFD");      // cut sequence
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tessik
