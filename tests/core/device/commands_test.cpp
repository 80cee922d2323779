// Every normal-mode command frame, byte for byte, against values worked out by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

RemoteHeader handHeader() {
    RemoteHeader h;
    h.format = 1;
    h.pairCount = 34;
    h.leaderHigh = {9000, 8000, 8500};
    h.leaderLow = {4500, 4500, 4500};
    h.one = {1690, 1500, 1595};
    h.low = {600, 500, 550};
    h.high = {700, 400, 550};
    h.bitCount = 32;
    return h;
}

CodeRecord handCode() {
    CodeRecord c = necLikeCode(0x1234);
    for (std::size_t i = 0; i < kCodeBytesCount; ++i)
        c.codeBytes[i] = static_cast<std::uint8_t>(0x10 + i);
    c.keys = {0x0204, 0x0005, 0, 0, 0, 0x00FF};
    return c;
}

MacroRecord handMacro() {
    MacroRecord m = macroNamed(u"m", 2);
    m.interval = 750;  // 0x02EE
    m.commands[0].keys = {0x0004, 0x0005, 0, 0, 0, 0};
    m.commands[1].keys = {0x0228, 0, 0, 0, 0, 0};
    m.commands[7].keys = {0, 0, 0, 0, 0, 0x0128};
    return m;
}

// Set Macro for slot 9 of handMacro(): 01 00 00 08 27 00 62 00, slot, interval, 8 × 12 key bytes.
Bytes handMacroFrame() {
    Bytes f =
        frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62, 0x00, 0x09, 0xEE, 0x02, 0x04,
               0x00, 0x05, 0x00, 0,    0,    0,    0,    0,    0,    0,    0,          // command 0
               0x28, 0x02, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0});  // command 1
    f[11 + 12 * 7 + 10] = 0x28;  // command 7, word 5
    f[11 + 12 * 7 + 11] = 0x01;
    return f;
}

// Set Return Code for slot 127 of handCode().
Bytes handReturnCodeFrame() {
    return frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 0x7F, 0x10, 0x11,
                  0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C,
                  0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x04, 0x02, 0x05, 0x00,
                  0,    0,    0,    0,    0,    0,    0xFF, 0x00});
}

using CommandFrames = DeviceFixture;

constexpr const char* kReturnCodeLog = "Send Set Return Code Command Success";
constexpr const char* kMacroLog = "Send Set Macro Command Success";
constexpr const char* kSaveLog = "Send Save Command Success";

TEST_F(CommandFrames, setIrCodeWidensMaximaAndNarrowsMinimaByTheJitter) {
    const struct {
        RemoteHeader header;
        Bytes expected;
    } cases[] = {
        // 9000→9900 (26AC) 8000→7200 (1C20) 4500→4950 (1356) 4500→4050 (0FD2) 1690→1859 (0743)
        // 600→660 (0294) 700→770 (0302) 1500→1350 (0546) 500→450 (01C2) 400→360 (0168); mids
        // unsent.
        {handHeader(),
         frame({0x01, 0x00, 0x00, 0x08, 0x25, 0x00, 0x1A, 0x00, 0x01, 0x00, 0x22, 0x00,
                0xAC, 0x26, 0x20, 0x1C, 0x56, 0x13, 0xD2, 0x0F, 0x43, 0x07, 0x94, 0x02,
                0x02, 0x03, 0x46, 0x05, 0xC2, 0x01, 0x68, 0x01, 0x20, 0x00})},
        // A new table: maxima 0, minima 0xFFFF; 0xFFFF × 0.9 = 58981.5, truncated 58981 (E665).
        {RemoteHeader{},
         frame({0x01, 0x00, 0x00, 0x08, 0x25, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x65, 0xE6, 0x00, 0x00, 0x65, 0xE6, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x65, 0xE6, 0x65, 0xE6, 0x65, 0xE6, 0x00, 0x00})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header.format);
        receiver.clearTraffic();
        ASSERT_TRUE(commands.SetIrCode(c.header, 10));
        EXPECT_EQ(sent(), std::vector<Bytes>{c.expected});
    }
    EXPECT_EQ(log.lines, std::vector<std::string>(2, "Send Set Ir Code Command Success"));
}

TEST_F(CommandFrames, payloadsGoIntoTheSharedBufferAndWhatEarlierCommandsLeftStaysBehindThem) {
    ASSERT_TRUE(commands.SetReturnCode(127, handCode()));
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    ASSERT_TRUE(commands.SetReturnCode(127, handCode()));
    ASSERT_TRUE(commands.Save());
    EXPECT_FALSE(commands.SetReturnCode(128, handCode()));  // outside the tables: nothing sent
    EXPECT_FALSE(commands.SetMacro(10, handMacro()));
    ASSERT_TRUE(commands.SetMacro(0, MacroRecord{}));  // unregistered: zero keys and interval

    // Set Return Code writes bytes 0..40; 41..106 still hold the macro's.
    Bytes returnCode = handMacroFrame();
    const Bytes own = handReturnCodeFrame();
    std::copy(own.begin(), own.begin() + 41, returnCode.begin());
    // Save writes only its header: everything behind it is what the two commands left.
    Bytes save = returnCode;
    save[4] = 0x29;
    save[6] = 0x20;
    EXPECT_EQ(sent(), (std::vector<Bytes>{own, handMacroFrame(), returnCode, save,
                                          frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62})}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{kReturnCodeLog, kMacroLog, kReturnCodeLog,
                                                   kSaveLog, kMacroLog}));
    EXPECT_EQ(clock.totalSlept(), kSaveReplyWaitMs);  // Save's reply is read 2 s after sending
}

TEST_F(CommandFrames, resetGetVersionAndCaptureModeLeaveNothingOfEarlierCommands) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    commands.ResetBuffers();
    EXPECT_EQ(commands.commandBuffer(), Frame{});
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    VersionArea area{};
    ASSERT_TRUE(commands.GetVersion(area));  // buffers of its own
    EXPECT_EQ(area, receiver.versionHeader());
    ASSERT_TRUE(commands.CaptureMode(1));  // zeroes the shared buffer, and is not logged
    const auto s = sent();
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[2], frame({0x01, 0x00, 0x00, 0x08, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(s[3], frame({0x01, 0x00, 0x00, 0x08, 0x22, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{kMacroLog, kMacroLog, "Send Get Version Command Success"}));
}

// The factor is formed in 64 bits and taken in single precision, the product truncated and
// kept within a word; a jitter outside 0..100 would invert a window, so it is applied as the
// nearer of the two.
TEST(Jitter, productsStayWithinAWordAndTheJitterWithinZeroToAHundred) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(widenByJitter(60000, 10), 0xFFFF);  // 66000 does not fit
    EXPECT_EQ(narrowByJitter(1000, 150), 0);      // a negative factor gives 0, not a wrapped word
    EXPECT_EQ(widenByJitter(1000, -5), 950);
    EXPECT_EQ(widenByJitter(1000, kMax), 0xFFFF);
    EXPECT_EQ(narrowByJitter(1000, std::numeric_limits<std::int32_t>::min()), 0xFFFF);
    RemoteHeader h;
    h.leaderHigh = {9000, 8000, 8500};
    EXPECT_EQ(timingWindows(h, -50).leaderHigh, (TimingWindow{9000, 8000}));
    EXPECT_EQ(timingWindows(h, kMax).leaderHigh, (TimingWindow{18000, 0}));
}

struct ShortReports : DeviceFixture {
    ShortReports() : DeviceFixture(sim::ReceiverOptions{.featureReportLength = 128}) {}
};

TEST_F(ShortReports, onlyTheReportLengthMovesAndTheRestOfTheReplyKeepsItsFill) {
    ASSERT_TRUE(commands.SetReturnCode(3, handCode()));
    EXPECT_EQ(sent().at(0).size(), 128u);
    EXPECT_TRUE(std::all_of(commands.replyBuffer().begin() + 128, commands.replyBuffer().end(),
                            [](std::uint8_t b) { return b == 0x01; }));
}

}  // namespace
}  // namespace tessik::test
