// Adding the signals of IR code files to a table: the simulator's NEC TV remote written as
// parsed ".ir" signals, as a lircd.conf and as Pronto hex gives the codes a capture of the
// remote gives; every refusal of the capture rules, and the files' own refusals, are verdicts;
// a collection of several remotes is chosen from remote by remote.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/bytes/utf.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/import_choice.hpp"
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
        // A file of one remote starts with every signal chosen.
        const ImportChoice choice(model, parsed.found);
        EXPECT_EQ(choice.chosenCount(), 6u);
        const std::vector<ImportItem> items = planImport(model, std::move(parsed.found));
        ASSERT_EQ(items.size(), 6u);
        EXPECT_EQ(addImported(model, items, {}), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(model.buttons()[i].code.codeValue, capturedCode(buttons[i])) << buttons[i];
            EXPECT_EQ(model.buttons()[i].text.comment, utf8ToUtf16(buttons[i]))
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
        {"Power again", "NEC", durations(power), {}, {}},
        {"Vol+", "NEC", durations(*tv.signal("Vol+")), {}, {}},
        {"Vol+ again", "NEC", durations(*tv.signal("Vol+")), {}, {}},
        {"SIRC power", "SIRC", durations(*sim::sircTvRemote().signal("Power")), {}, {}},
        {"Teletext",
         "RC5",
         {},
         "a Manchester (bi-phase) code, which this receiver cannot learn",
         {}},
        {"Noise", "", {300, 200, 300}, {}, {}},
        {"Long", "", tooLong, {}, {}},
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

// tests/data/ir/collection.ir: seven remotes of a public collection, each signal named after its
// source file. Nothing is chosen at first; every choice judges the file again, so verdicts and
// slots follow it, and a signal that the chosen ones rule out cannot be chosen beside them.
TEST(ImportChoice, aCollectionIsChosenRemoteByRemoteAndEveryVerdictFollowsTheChoice) {
    RemoteModel model;
    model.startNew(u"Receiver");
    ImportChoice choice(model, readSignals("collection.ir").found);
    std::vector<std::string> remotes;
    for (const ImportGroup& g : choice.groups())
        remotes.push_back(g.remote);
    EXPECT_EQ(remotes,
              (std::vector<std::string>{
                  "_Converted_/IR_Plus/W/WEILI/Air Conditioner.ir",
                  "_Converted_/Pronto/S/Sony/STR-DA5ES_4.ir",
                  "_Converted_/Pronto/M/Marantz/CC4001.ir", "_Converted_/IR_Plus/P/PIONEER/SC27.ir",
                  "Audio_and_Video_Receivers/Panasonic/Panasonic_SA_PT660.ir",
                  "Blu-Ray/Sony/Sony_BD_RMT_B110A.ir", "_Converted_/Pronto/P/Polycom/128.ir"}));
    EXPECT_EQ(choice.chosenCount(), 0u);
    EXPECT_EQ(choice.groupMark(0), GroupMark::Unavailable) << "its one code is too long";
    EXPECT_EQ(choice.groupMark(1), GroupMark::None);
    const auto verdicts = [&choice](std::size_t group) {
        std::vector<std::string> out;
        for (const std::size_t i : choice.groups()[group].members)
            out.push_back(verdictText(choice.items()[i], Language::English));
        return out;
    };
    EXPECT_EQ(verdicts(3), std::vector<std::string>(6, "can be added"));

    // The filter (either case) narrows to the Sony receiver; Select all takes its signals in file
    // order as far as the rules let it, and the other remotes' codes now differ in length.
    choice.setFilter(" str-DA5es ");
    EXPECT_EQ(std::tuple(choice.groupShown(1), choice.groupShown(3)), std::tuple(true, false));
    choice.chooseShown(true);
    EXPECT_EQ(verdicts(1),
              (std::vector<std::string>{
                  "added as No 1", "added as No 2", "the same code as signal 3 of the file",
                  "a different bit length from No 1 (11 bits, not 14)",
                  "a different bit length from No 1 (11 bits, not 14)", "no code found in it",
                  "added as No 3", "a different bit length from No 1 (11 bits, not 14)"}));
    EXPECT_EQ(verdicts(3)[0], "a different bit length from No 1 (32 bits, not 14)");
    EXPECT_EQ(choice.groupMark(1), GroupMark::All);
    choice.choose({1}, false);
    EXPECT_EQ(std::tuple(choice.groupMark(1), verdicts(1)[1]),
              std::tuple(GroupMark::Some, "added as No 1"));
    choice.choose({1, 3}, true);
    EXPECT_EQ(std::tuple(choice.chosen()[1], choice.chosen()[3]), std::tuple(true, false))
        << "signal 4 has the code of signal 3, which stays chosen";

    // Select none acts on the shown signals only.
    choice.setFilter("");
    choice.chooseGroup(1, false);
    choice.chooseGroup(3, true);
    choice.setFilter("ZONE");
    choice.chooseShown(false);
    EXPECT_EQ(std::tuple(choice.chosenCount(), choice.groupMark(3)),
              std::tuple(4u, GroupMark::None))
        << "a remote's mark counts its shown signals";

    // Two slots left: a signal chosen before keeps its place when its whole remote is chosen.
    RemoteModel nearlyFull = test::modelWithButtons(126);
    ImportChoice few(nearlyFull, readSignals("collection.ir").found);
    few.choose({14}, true);
    few.chooseGroup(3, true);
    EXPECT_EQ(std::tuple(few.chosen()[12], few.chosen()[13], few.chosen()[14], few.items()[14].slot,
                         verdictText(few.items()[13], Language::English)),
              std::tuple(true, false, true, 127u, "the table is full"));
}

}  // namespace
}  // namespace tessik
