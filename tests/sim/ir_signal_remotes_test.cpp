// The virtual remotes: named buttons whose signals a receiver can tell apart.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/ir/decoders.hpp"
#include "sim/remotes.hpp"
#include "support/printers.hpp"

namespace tessik::sim {
namespace {

CodeRecord decode(const IrSignal& s) {
    return decodeCapture(s.low, s.high);
}

TEST(VirtualRemotes, everyButtonDecodesToItsOwnCodeOfOneLengthPerRemote) {
    std::set<std::uint64_t> allValues;
    std::size_t allButtons = 0;
    for (const VirtualRemote* remote : {&necTvRemote(), &sircTvRemote(), &aehaAudioRemote()}) {
        std::set<std::string_view> names;
        std::set<std::uint16_t> bitCounts;
        for (const RemoteButton& b : remote->buttons) {
            EXPECT_TRUE(names.insert(b.name).second) << remote->name << " " << b.name;
            const CodeRecord r = decode(remote->signal(b));
            EXPECT_NE(r.codeValue, 0u) << remote->name << " " << b.name;
            EXPECT_NE(r.codeValue, kCodeTooLong) << remote->name << " " << b.name;
            bitCounts.insert(r.bitCount);
            allValues.insert(r.codeValue);
            ++allButtons;
        }
        EXPECT_EQ(bitCounts.size(), 1u) << remote->name;
    }
    EXPECT_EQ(allValues.size(), allButtons);
}

TEST(VirtualRemotes, necTelevisionHasTwentyFourButtonsSentToItsAddress) {
    const VirtualRemote& tv = necTvRemote();
    EXPECT_EQ(tv.protocol, IrProtocol::Nec);
    EXPECT_EQ(tv.buttons.size(), 24u);
    const RemoteButton* volUp = tv.find("Vol+");
    ASSERT_NE(volUp, nullptr);
    EXPECT_EQ(tv.signal("Vol+"), necSignal(0x5E, volUp->command));
    EXPECT_EQ(decode(*tv.signal("Power")).bitCount, 32);
    EXPECT_EQ(tv.find("Eject"), nullptr);
    EXPECT_FALSE(tv.signal("Eject").has_value());
}

TEST(VirtualRemotes, sircAndHouseholdRemotesSpeakTheirFormats) {
    const VirtualRemote& sirc = sircTvRemote();
    EXPECT_EQ(sirc.signal("Power"), sircSignal(SircBits::Twelve, 21, 1));
    EXPECT_EQ(decode(*sirc.signal("Power")).format, 2);

    const VirtualRemote& audio = aehaAudioRemote();
    const auto bytes = aehaBytes(0x1A5C, 0x3, 0x48, 0x0A);
    // Parity nibble 1^A^5^C = 2 under system 3; check byte 32^48^0A = 70.
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 6>{0x5C, 0x1A, 0x32, 0x48, 0x0A, 0x70}));
    EXPECT_EQ(audio.signal("Play"), aehaSignal(bytes));
    EXPECT_EQ(decode(*audio.signal("Play")).bitCount, 48);
}

}  // namespace
}  // namespace tessik::sim
