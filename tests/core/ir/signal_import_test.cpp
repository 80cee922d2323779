// Adding the signals of IR code files to a table: the simulator's NEC TV remote written as
// parsed ".ir" signals, as a lircd.conf and as Pronto hex gives the codes a capture of the
// remote gives; every refusal of the capture rules, and the files' own refusals, are verdicts.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/bytes/utf.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/signal_import.hpp"
#include "sim/remotes.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

RawSignalsParse readSignals(const std::string& file) {
    std::ifstream in(std::string(TESSIK_TEST_DATA_DIR "/ir/") + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return parseRawSignals(text.str());
}

std::uint64_t capturedCode(std::string_view button) {
    const sim::IrSignal s = *sim::necTvRemote().signal(button);
    return decodeCapture(s.low, s.high).codeValue;
}

TEST(SignalImport, oneRemoteInEveryFormatGivesTheCodesOfItsCapture) {
    const char* buttons[] = {"Power", "Vol+", "Vol-", "1", "Mute", "OK"};
    for (const char* file : {"nec-tv-parsed.ir", "nec-tv.lircd.conf", "nec-tv.pronto"}) {
        SCOPED_TRACE(file);
        RawSignalsParse parsed = readSignals(file);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        RemoteModel model;
        const std::vector<ImportItem> items = planImport(model, std::move(parsed.found));
        ASSERT_EQ(items.size(), 6u);
        EXPECT_EQ(addImported(model, items, {}), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(model.buttons()[i].code.codeValue, capturedCode(buttons[i])) << buttons[i];
            EXPECT_NE(model.buttons()[i].text.comment.find(utf8ToUtf16(buttons[i])),
                      std::u16string::npos)
                << "the name becomes the comment";
        }
        EXPECT_EQ(model.header().bitCount, 32);
        EXPECT_TRUE(model.modified());
    }
}

TEST(SignalImport, theCaptureRulesAndTheFilesOwnRefusalsAreVerdictsAndNothingElseChanges) {
    const sim::VirtualRemote& tv = sim::necTvRemote();
    RemoteModel model;
    const sim::IrSignal power = *tv.signal("Power");
    model.AddCode(decodeCapture(power.low, power.high), u"power");
    auto durations = [](const sim::IrSignal& s) {
        std::vector<std::uint16_t> d;
        for (std::size_t i = 0; i < s.entries(); ++i) {
            d.push_back(s.low[i]);
            if (i + 1 < s.entries()) d.push_back(s.high[i]);
        }
        return d;
    };
    std::vector<std::uint16_t> tooLong{9000, 4500};
    for (int i = 0; i < 170; ++i)
        tooLong.insert(tooLong.end(), {560, static_cast<std::uint16_t>(i % 2 ? 1690 : 560)});
    std::vector<RawSignal> signals = {
        {"Power again", "NEC", durations(power), {}},
        {"Vol+", "NEC", durations(*tv.signal("Vol+")), {}},
        {"Vol+ again", "NEC", durations(*tv.signal("Vol+")), {}},
        {"SIRC power", "SIRC", durations(*sim::sircTvRemote().signal("Power")), {}},
        {"Teletext", "RC5", {}, "a Manchester (bi-phase) code, which this receiver cannot learn"},
        {"Noise", "", {300, 200, 300}, {}},
        {"Long", "", tooLong, {}},
    };
    const RemoteModel before = model;
    const std::vector<ImportItem> items = planImport(model, signals);
    EXPECT_EQ(model.buttons(), before.buttons()) << "planning changes nothing";
    const std::pair<ImportVerdict, std::string> expected[] = {
        {ImportVerdict::AlreadyInTable, "already in the table as No 1"},
        {ImportVerdict::Added, "added as No 2"},
        {ImportVerdict::DuplicateInFile, "the same code as signal 2 of the file"},
        {ImportVerdict::LengthDiffers, "a different bit length from No 1 (11 bits, not 32)"},
        {ImportVerdict::Unlearnable,
         "not learnable: a Manchester (bi-phase) code, which this receiver cannot learn"},
        {ImportVerdict::NothingDecoded, "no code found in it"},
        {ImportVerdict::LengthDiffers, "a different bit length from No 1 (0 bits, not 32)"},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].verdict, expected[i].first) << i;
        EXPECT_EQ(verdictText(items[i], Language::English), expected[i].second);
    }
    EXPECT_EQ(verdictText(items[0], Language::Japanese), "登録済み (No 1)");

    // Unchosen signals stay out; a full table takes nothing more and keeps every slot.
    EXPECT_TRUE(addImported(model, items, {true, false}).empty());
    RemoteModel full = test::modelWithButtons(128);
    const auto fullItems = planImport(full, {signals[1]});
    EXPECT_EQ(fullItems[0].verdict, ImportVerdict::TableFull);
    RemoteModel empty;
    EXPECT_EQ(planImport(empty, {signals[6]})[0].verdict, ImportVerdict::TooLong);
}

}  // namespace
}  // namespace tessik
