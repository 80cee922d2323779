// tessik-cli check: the windows a table is sent with, whether they overlap, and each button's
// protocol.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/json_model.hpp"
#include "core/datafile/data_file.hpp"
#include "core/ir/decoders.hpp"
#include "platform/durable_file.hpp"
#include "sim/remotes.hpp"
#include "support/cli_runner.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::runCli;
using ::testing::HasSubstr;

std::string saved(const test::TempDir& dir, const char* name, RemoteModel& m) {
    const std::string path = (dir / name).string();
    platform::DurableFileReplacer files;
    EXPECT_TRUE(saveDataFile(path, m, files).ok);
    return path;
}

TEST(CheckCommand, printsWindowsLimitMarginsAndProtocolsAndFailsWhereTheWindowsOverlap) {
    test::TempDir dir;
    RemoteModel tv;
    tv.startNew(u"TV");
    for (const char* button : {"Power", "Vol+"}) {
        const sim::IrSignal s = *sim::necTvRemote().signal(button);
        tv.AddCode(decodeCapture(s.low, s.high), u"");
    }
    const std::string nec = saved(dir, "nec.ird", tv);
    RemoteModel cramped = test::modelWithButtons(1);
    test::rewrite(cramped, [](RemoteTables& t) {
        t.buttons[0].code.oneMin = 1000;  // within 20 % of the zero's 850
        t.buttons[0].code.highMax = 850;
        t.header.one = {1000, 1000, 1000};
        t.header.high = {850, 850, 850};
    });
    const std::string close = saved(dir, "cramped.ird", cramped);

    const test::CliRun text = runCli({"check", nec});
    EXPECT_EQ(text.status, kExitOk) << text.err;
    for (const char* s :
         {"data one      1521 ..  1859", "Overlap limit: 50 %", "data one and data zero     905 µs",
          "1    0x7A7A85851010EFEF  NEC, address 0x5E, command 0x08"})
        EXPECT_THAT(text.out, HasSubstr(s));

    const test::CliRun json = runCli({"check", nec, "--json", "--jitter", "20"});
    ASSERT_EQ(json.status, kExitOk) << json.err;
    const Json j = Json::parse(json.out);
    EXPECT_EQ(j["jitter"], 20);
    EXPECT_EQ(j["windows"]["leaderLow"], Json({{"min", 7200}, {"max", 10800}}));
    EXPECT_EQ(j["buttons"][1], Json({{"slot", 1},
                                     {"code", "0x7A7A85853838C7C7"},
                                     {"protocol", "NEC, address 0x5E, command 0x1C"}}));

    const test::CliRun overlap = runCli({"check", close, "--json"});
    EXPECT_EQ(overlap.status, kExitFailure);
    EXPECT_EQ(Json::parse(overlap.out)["overlaps"],
              Json::parse(R"([{"pair": "oneZero", "marginUs": -35}])"));
    EXPECT_THAT(overlap.err, HasSubstr("at 10 % the windows of data one and data zero overlap"));
    EXPECT_EQ(runCli({"check", close, "--jitter", "5"}).status, kExitOk);
}

}  // namespace
}  // namespace tessik::cli
