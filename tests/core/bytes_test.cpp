#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/bytes/byte_io.hpp"
#include "core/bytes/text_field.hpp"
#include "core/bytes/utf.hpp"

namespace tessik {
namespace {

TEST(ByteIo, readsAndWritesLittleEndianAtOffsets) {
    std::array<std::uint8_t, 24> buf{};
    ByteWriter w(buf);
    w.u8(0, 0xAB);
    w.u16(1, 0x1234);
    w.u32(3, 0xDEADBEEF);
    w.u64(7, 0x0102030405060708ull);
    w.i32(15, -2);
    EXPECT_EQ(buf[1], 0x34);
    EXPECT_EQ(buf[2], 0x12);
    EXPECT_EQ(buf[3], 0xEF);
    EXPECT_EQ(buf[7], 0x08);
    EXPECT_EQ(buf[14], 0x01);

    ByteReader r(buf);
    EXPECT_EQ(r.u8(0), 0xAB);
    EXPECT_EQ(r.u16(1), 0x1234);
    EXPECT_EQ(r.u32(3), 0xDEADBEEFu);
    EXPECT_EQ(r.u64(7), 0x0102030405060708ull);
    EXPECT_EQ(r.i32(15), -2);
}

TEST(ByteIo, readsPastTheEndGiveZeroAndWritesPastTheEndAreDropped) {
    std::vector<std::uint8_t> buf = {0x11, 0x22, 0x33};
    ByteReader r(buf);
    EXPECT_EQ(r.u16(2), 0x0033);  // the half that is present
    EXPECT_EQ(r.u32(3), 0u);
    EXPECT_EQ(r.u64(1000), 0u);
    EXPECT_TRUE(r.bytes(5, 10).empty());
    EXPECT_EQ(r.bytes(1, 10).size(), 2u);
    EXPECT_FALSE(r.has(2, 2));
    EXPECT_TRUE(r.has(3, 0));

    ByteWriter w(buf);
    w.u32(2, 0xFFFFFFFF);
    EXPECT_EQ(buf, (std::vector<std::uint8_t>{0x11, 0x22, 0xFF}));
}

TEST(TextField, readStopsAtTerminatorFieldEndOrInputEnd) {
    std::array<std::uint8_t, 12> buf{};
    ByteWriter w(buf);
    w.u16(0, u'a');
    w.u16(2, u'b');
    w.u16(4, 0);
    w.u16(6, u'x');  // behind the terminator: ignored
    EXPECT_EQ(readTextField(ByteReader(buf), 0, 6), u"ab");

    // No terminator inside the field: all of its units, nothing beyond.
    for (std::size_t i = 0; i < 6; ++i)
        w.u16(2 * i, u'z');
    EXPECT_EQ(readTextField(ByteReader(buf), 0, 3), u"zzz");
    // A field running past the input's end reads what is there.
    EXPECT_EQ(readTextField(ByteReader(std::span(buf).first(5)), 0, 6), u"zz");
}

TEST(TextField, writeCutsToWidthMinusOneAndAlwaysTerminates) {
    std::array<std::uint8_t, 8> buf;
    buf.fill(0xEE);
    ByteWriter w(buf);
    writeTextField(w, 0, 4, u"abcdef");
    EXPECT_EQ(readTextField(ByteReader(buf), 0, 4), u"abc");
    EXPECT_EQ(buf[6], 0);
    EXPECT_EQ(buf[7], 0);

    buf.fill(0xEE);
    writeTextField(w, 0, 4, u"a");
    EXPECT_EQ(std::vector<std::uint8_t>(buf.begin(), buf.end()),
              (std::vector<std::uint8_t>{'a', 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Utf, convertsBothWaysIncludingJapaneseAndSurrogatePairs) {
    const std::string utf8 = "A\xE8\xB5\xA4\xE5\xA4\x96 \xF0\x9F\x93\xBA";  // A赤外 📺
    const std::u16string utf16 = u"A\u8D64\u5916 \U0001F4FA";
    EXPECT_EQ(utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(utf16ToUtf8(utf16), utf8);
}

TEST(Utf, invalidInputBecomesReplacementCharacters) {
    EXPECT_EQ(utf8ToUtf16("a\xFF"), u"a\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD");      // overlong '/'
    EXPECT_EQ(utf8ToUtf16("\xE3\x81"), u"\uFFFD");      // cut sequence
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tessik
