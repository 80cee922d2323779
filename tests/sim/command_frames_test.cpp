// Every normal-mode command frame, byte for byte, against values worked out by hand.

#include <gtest/gtest.h>

#include "sim/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

RemoteHeader handHeader() {
    RemoteHeader h;
    h.format = 1;
    h.pairCount = 34;
    h.leaderHigh = {9000, 8000, 8500};
    h.leaderLow = {4500, 4000, 4250};
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

TEST_F(CommandFrames, setIrCodeWidensMaximaAndNarrowsMinimaByTheJitter) {
    ASSERT_TRUE(commands.SetIrCode(handHeader(), 10));
    // 9000→9900 (26AC) 8000→7200 (1C20) 4500→4950 (1356) 4000→3600 (0E10) 1690→1859 (0743)
    // 600→660 (0294) 700→770 (0302) 1500→1350 (0546) 500→450 (01C2) 400→360 (0168); mids unsent.
    const Bytes expected =
        frame({0x01, 0x00, 0x00, 0x08, 0x25, 0x00, 0x1A, 0x00, 0x01, 0x00, 0x22, 0x00,
               0xAC, 0x26, 0x20, 0x1C, 0x56, 0x13, 0x10, 0x0E, 0x43, 0x07, 0x94, 0x02,
               0x02, 0x03, 0x46, 0x05, 0xC2, 0x01, 0x68, 0x01, 0x20, 0x00});
    EXPECT_EQ(sent(), std::vector<Bytes>{expected});
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Ir Code Command Success"});
}

TEST_F(CommandFrames, setIrCodeOfAnEmptyHeaderSendsNarrowedMinimaAndZeroMaxima) {
    RemoteModel model;  // maxima 0, minima 0xFFFF
    ASSERT_TRUE(commands.SetIrCode(model.header, 10));
    // 0xFFFF × 0.9 = 58981.5, truncated 58981 = 0xE665.
    const Bytes expected =
        frame({0x01, 0x00, 0x00, 0x08, 0x25, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x65, 0xE6, 0x00, 0x00, 0x65, 0xE6, 0x00, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x65, 0xE6, 0x65, 0xE6, 0x65, 0xE6, 0x00, 0x00});
    EXPECT_EQ(sent(), std::vector<Bytes>{expected});
}

TEST_F(CommandFrames, setReturnCodeCarriesSlotCodeBytesAndKeys) {
    ASSERT_TRUE(commands.SetReturnCode(127, handCode()));
    EXPECT_EQ(sent(), std::vector<Bytes>{handReturnCodeFrame()});
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Return Code Command Success"});
}

TEST_F(CommandFrames, setMacroCarriesIntervalAndEightKeyLists) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    EXPECT_EQ(sent(), std::vector<Bytes>{handMacroFrame()});
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Macro Command Success"});
}

TEST_F(CommandFrames, unregisteredMacroSendsZeroKeysAndInterval) {
    ASSERT_TRUE(commands.SetMacro(0, MacroRecord{}));
    EXPECT_EQ(sent(), std::vector<Bytes>{frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62, 0x00})});
}

TEST_F(CommandFrames, slotsOutsideTheTablesSendNothing) {
    EXPECT_FALSE(commands.SetReturnCode(128, handCode()));
    EXPECT_FALSE(commands.SetMacro(10, handMacro()));
    EXPECT_TRUE(receiver.traffic().empty());
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(CommandFrames, sharedBufferKeepsWhatEarlierCommandsLeftBehindThePayload) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    ASSERT_TRUE(commands.SetReturnCode(127, handCode()));
    ASSERT_TRUE(commands.Save());
    // Set Return Code writes bytes 0..40; 41..106 still hold the macro's.
    Bytes returnCode = handMacroFrame();
    const Bytes own = handReturnCodeFrame();
    std::copy(own.begin(), own.begin() + 41, returnCode.begin());
    EXPECT_EQ(sent()[1], returnCode);
    // Save writes only its header: everything behind it is what the two commands left.
    Bytes save = returnCode;
    save[4] = 0x29;
    save[6] = 0x20;
    EXPECT_EQ(sent()[2], save);
}

TEST_F(CommandFrames, resetBuffersZeroesWhatSaveWouldCarry) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    commands.ResetBuffers();
    EXPECT_EQ(commands.commandBuffer(), Frame{});
    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(sent()[1], frame({0x01, 0x00, 0x00, 0x08, 0x29, 0x00, 0x20, 0x00}));
}

TEST_F(CommandFrames, captureModeZeroesTheSharedBufferAndIsNotLogged) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    ASSERT_TRUE(commands.CaptureMode(1));
    ASSERT_TRUE(commands.CaptureMode(0));
    EXPECT_EQ(sent()[1], frame({0x01, 0x00, 0x00, 0x08, 0x22, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(sent()[2], frame({0x01, 0x00, 0x00, 0x08, 0x22, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Macro Command Success"});
}

TEST_F(CommandFrames, getVersionUsesBuffersOfItsOwnAndCopiesTheHeader) {
    ASSERT_TRUE(commands.SetMacro(9, handMacro()));
    VersionArea area{};
    ASSERT_TRUE(commands.GetVersion(area));
    EXPECT_EQ(sent()[1], frame({0x01, 0x00, 0x00, 0x08, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(area, receiver.versionHeader());
    EXPECT_EQ(log.lines.back(), "Send Get Version Command Success");
}

TEST_F(CommandFrames, saveReadsItsReplyTwoSecondsAfterSending) {
    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(clock.totalSlept(), kSaveReplyWaitMs);
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Save Command Success"});
}

struct ShortReports : DeviceFixture {
    ShortReports() : DeviceFixture(sim::ReceiverOptions{.featureReportLength = 128}) {}
};

TEST_F(ShortReports, onlyTheReportLengthMovesAndTheRestOfTheReplyKeepsItsFill) {
    ASSERT_TRUE(commands.SetReturnCode(3, handCode()));
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0].size(), 128u);
    const Frame& reply = commands.replyBuffer();
    EXPECT_EQ(reply[3], kStatusAck);
    for (std::size_t i = 128; i < kFrameSize; ++i)
        ASSERT_EQ(reply[i], 0x01) << i;
}

}  // namespace
}  // namespace tessik::test
