// Tables out as IR code files and back in. The sample table and tables made by importing one
// remote each of a public collection (tests/data/ir/collection.ir) are exported to every format
// that carries signals; importing an export into an empty table gives the same codes in the
// same order, named by the comments. Then the names each format makes of awkward comments, the
// CSV's cells, and export-signals on the command line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/json_model.hpp"
#include "core/analysis/signal_export.hpp"
#include "core/bytes/utf.hpp"
#include "core/datafile/data_file.hpp"
#include "core/ir/import_choice.hpp"
#include "platform/durable_file.hpp"
#include "support/cli_runner.hpp"
#include "support/temp_dir.hpp"

namespace tessik {
namespace {

using ::testing::HasSubstr;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

RemoteTables sampleTables() {
    RemoteModel model;
    std::string error;
    const cli::Json doc =
        cli::Json::parse(readText(TESSIK_SOURCE_DIR "/res/samples/living-room-tv.json"));
    EXPECT_TRUE(cli::modelFromJson(doc, model, error)) << error;
    return model.tables();
}

RemoteModel sampleTable() {
    return RemoteModel(sampleTables());
}

// The table File > Import makes of one remote of the collection.
RemoteModel collectionTable(std::size_t remote) {
    RemoteModel model;
    model.startNew(u"Collected");
    ImportChoice choice(model,
                        parseRawSignals(readText(TESSIK_TEST_DATA_DIR "/ir/collection.ir")).found);
    choice.chooseGroup(remote, true);
    addImported(model, choice.items(), choice.chosen());
    return model;
}

// What an import of `text` into an empty table holds.
RemoteModel imported(const std::string& text) {
    RawSignalsParse parsed = parseRawSignals(text);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    RemoteModel model;
    addImported(model, planImport(model, std::move(parsed.found)), {});
    return model;
}

struct Code {
    std::uint8_t format;
    std::uint16_t bitCount;
    std::array<std::uint8_t, kCodeBytesCount> bytes;
    std::uint64_t value;
    std::u16string comment;
    bool operator==(const Code&) const = default;
};

// The occupied slots in order: their code fields and comments.
std::vector<Code> codes(const RemoteModel& m) {
    std::vector<Code> out;
    for (const ButtonRecord& b : m.buttons()) {
        if (!b.code.occupied()) continue;
        out.push_back(
            {b.code.format, b.code.bitCount, b.code.codeBytes, b.code.codeValue, b.text.comment});
    }
    return out;
}

TEST(SignalExport, everyTableReadsBackAsTheSameCodesInOrderNamedByItsComments) {
    // Pulse distance and pulse width, parsed and raw, 32 and 48 bits, and a pulse-width code
    // whose leader was not the first entry, and one whose ones stand so close to the 1.5x split
    // that lircd.conf's mid values cannot carry them and Pronto's rounding needs them drawn apart.
    const struct {
        const char* name;
        RemoteModel table;
        std::size_t buttons;
        const char* lircForm;
    } tables[] = {
        {"sample", sampleTable(), 7, "SPACE_ENC"},
        {"Sony receiver, raw pulse width", collectionTable(1), 3, "SPACE_ENC"},
        {"Marantz, leader on entry 1", collectionTable(2), 1, "RAW_CODES"},
        {"Pioneer, raw pulse distance", collectionTable(3), 6, "SPACE_ENC"},
        {"Panasonic, 48-bit household", collectionTable(4), 6, "SPACE_ENC"},
        {"Sony Blu-ray, 20-bit SIRC", collectionTable(5), 7, "SPACE_ENC"},
        {"Polycom, ones close to the 1.5x split", collectionTable(6), 1, "RAW_CODES"},
    };
    for (const auto& t : tables) {
        SCOPED_TRACE(t.name);
        ASSERT_EQ(codes(t.table).size(), t.buttons);
        for (const ExportFormat format :
             {ExportFormat::IrSignals, ExportFormat::LircConf, ExportFormat::Pronto}) {
            SCOPED_TRACE(static_cast<int>(format));
            const SignalExport out = exportSignals(t.table, format, Language::English);
            EXPECT_TRUE(out.leftOut.empty());
            std::vector<Code> expected = codes(t.table);
            // lircd.conf and Pronto names carry no blanks.
            for (Code& c : expected) {
                if (format != ExportFormat::IrSignals)
                    std::replace(c.comment.begin(), c.comment.end(), u' ', u'_');
            }
            EXPECT_EQ(codes(imported(out.text)), expected);
            if (format == ExportFormat::LircConf) {
                EXPECT_THAT(out.text, HasSubstr(t.lircForm));
            }
        }
    }
}

// Every button gets a name of its own that reads back as its comment, in each format's terms.
TEST(SignalExport, namesAreMadeSafeAndUniqueForEachFormatAndComeBackAsComments) {
    RemoteTables tables = sampleTables();
    // Readers keep 256 bytes of a name: 85 of these three-byte characters.
    const std::u16string longName(kMaxTextChars, u'x');
    const std::u16string longJapanese(kMaxTextChars, u'音');
    const std::u16string japaneseKept = longJapanese.substr(0, 85);
    const std::u16string comments[] = {u"Power",     u"POWER", u"",     u" Vol:up #1\n",
                                       longJapanese, longName, longName};
    for (std::size_t i = 0; i < std::size(comments); ++i)
        tables.buttons[i].text.comment = comments[i];
    const RemoteModel table(tables);
    const std::u16string cut = longName.substr(0, kMaxTextChars - 2) + u"_2";
    const struct {
        ExportFormat format;
        std::vector<std::u16string> names;
    } cases[] = {
        {ExportFormat::IrSignals,
         {u"Power", u"POWER_2", u"No_3", u"Vol:up #1", japaneseKept, longName, cut}},
        {ExportFormat::LircConf,
         {u"Power", u"POWER_2", u"No_3", u"Vol:up__1", japaneseKept, longName, cut}},
        {ExportFormat::Pronto,
         {u"Power", u"POWER_2", u"No_3", u"Vol_up_#1", japaneseKept, longName, cut}},
    };
    for (const auto& c : cases) {
        const std::string text = exportSignals(table, c.format, Language::English).text;
        std::vector<std::u16string> names;
        for (const Code& code : codes(imported(text)))
            names.push_back(code.comment);
        EXPECT_EQ(names, c.names) << static_cast<int>(c.format);
        // Written as it reads back: the whole name between where the format starts and ends one.
        const auto [start, end] = c.format == ExportFormat::IrSignals  ? std::pair("name: ", "\n")
                                  : c.format == ExportFormat::LircConf ? std::pair("    ", "  0x")
                                                                       : std::pair("\n", ": 0000");
        EXPECT_THAT(text, HasSubstr(start + utf16ToUtf8(japaneseKept) + end));
    }
    // A collection's "SOURCE.ir / BUTTON" would come back as BUTTON of remote SOURCE.
    tables.buttons[0].text.comment = u"TV.ir / Power";
    const RemoteModel collected(tables);
    EXPECT_EQ(codes(imported(
                  exportSignals(collected, ExportFormat::IrSignals, Language::English).text))[0]
                  .comment,
              u"TV.ir - Power");
}

// Cells a spreadsheet reads as they stand: quoted where they hold a separator or a quote, and no
// comment taken for a formula.
TEST(SignalExport, csvHoldsOneRowPerButtonWithCellsASpreadsheetCannotMisread) {
    RemoteTables tables = sampleTables();
    tables.buttons[0].text.comment = u"say \"hi\", then";
    tables.buttons[1].text.sendText = u"=HYPERLINK(\"x\")";
    tables.buttons[2].text.comment = u"-";
    std::istringstream lines(
        exportSignals(RemoteModel(tables), ExportFormat::Csv, Language::English).text);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], "\xEF\xBB\xBFNo,code,protocol,keys,comment\r");
    EXPECT_EQ(rows[1],
              "1,0x404FBFB0808F7F7,\"NEC, address 0x20, command 0x10\",[ESC],\"say \"\"hi\"\", "
              "then\"\r");
    EXPECT_THAT(rows[2], HasSubstr(",\"'=HYPERLINK(\"\"x\"\")\",Volume +\r"));
    EXPECT_THAT(rows[3], HasSubstr(",[DOWN],-\r"));
}

class ExportSignalsCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoteModel table = sampleTable();
        platform::DurableFileReplacer files;
        ASSERT_TRUE(saveDataFile(ird, table, files).ok);
    }
    test::TempDir dir;
    std::string ird = (dir / "tv.ird").string();
};

// The command writes the file, or standard output, and says when it cannot; it never writes
// over the table it reads, and a button it could not carry makes the status 1.
TEST_F(ExportSignalsCommand, writesTheFormatToAFileOrStandardOutputAndRefusesWhatWouldLoseData) {
    const std::string conf = (dir / "tv.conf").string();
    test::CliRun r = test::runCli({"export-signals", ird, "lircd", conf});
    ASSERT_EQ(r.status, 0) << r.err;
    r = test::runCli({"import-signals", conf, (dir / "back.ird").string()});
    EXPECT_THAT(r.out, HasSubstr("7 of 7 signal(s) added"));
    EXPECT_EQ(test::runCli({"export-signals", ird, "pronto", "-"}).out,
              exportSignals(sampleTable(), ExportFormat::Pronto, Language::English).text);

    EXPECT_THAT(test::runCli({"export-signals", ird, "ir", ird}).err,
                HasSubstr("the table itself"));
    EXPECT_EQ(test::runCli({"show", ird}).status, 0) << "the table is as it was";
    EXPECT_EQ(test::runCli({"export-signals", ird, "xml", "-"}).status, cli::kExitUsage);

    // A code that no signal gives (not decoded) is left out and named.
    RemoteTables tables = sampleTables();
    tables.buttons[2].code.format = 0;
    RemoteModel table(tables);
    platform::DurableFileReplacer files;
    ASSERT_TRUE(saveDataFile(ird, table, files).ok);
    r = test::runCli({"export-signals", ird, "ir", (dir / "tv.ir").string()});
    EXPECT_EQ(r.status, cli::kExitFailure);
    EXPECT_THAT(r.err, HasSubstr("left out: No 3."));
    EXPECT_EQ(codes(imported(readText((dir / "tv.ir").string()))).size(), 6u);
}

}  // namespace
}  // namespace tessik
