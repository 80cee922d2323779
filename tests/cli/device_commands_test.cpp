// tessik-cli version and setup against the in-process simulated receiver.

#include <gtest/gtest.h>

#include <fstream>

#include "core/datafile/data_file.hpp"
#include "support/cli_runner.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {
namespace {

struct DeviceCli : ::testing::Test {
    void SetUp() override {
        RemoteModel model = modelWithButtons(4);
        model.macros[1] = macroNamed(u"Lights", 2);
        ASSERT_TRUE(saveDataFile(ird, model).ok);
    }
    std::vector<std::string> traceLines() const {
        std::ifstream in(trace);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    TempDir dir;
    std::string ird = (dir / "remote.ird").string();
    std::string trace = (dir / "trace.txt").string();
};

TEST_F(DeviceCli, versionPrintsTheFirmwaresNameVersionAndDate) {
    const CliRun r = runCli({"version", "--simulate"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Firmware: IR receiver\nFirmware Ver 1.2.3\nDate: 24/05/17 10:30\n");
}

TEST_F(DeviceCli, setupWritesTheTableAndTracesEveryTransfer) {
    const CliRun r = runCli({"setup", ird, "--simulate", "--trace", trace});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Success\n");
    const auto lines = traceLines();
    ASSERT_EQ(lines.size(), 280u);  // 140 exchanges, a set and a get each
    // Set Ir Code first: the whole 512-byte report in lower-case hex.
    EXPECT_EQ(lines[0].substr(0, 4 + 16), "set 0100000825001a00");
    EXPECT_EQ(lines[0].size(), 4u + 1024u);
    EXPECT_EQ(lines[1].substr(0, 4 + 10), "get 0100000625");
    EXPECT_EQ(lines[278].substr(0, 4 + 16), "set 0100000829002000");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].substr(0, 4), i % 2 == 0 ? "set " : "get ") << i;
    }
}

TEST_F(DeviceCli, aRefusedCommandFailsTheRunWithOneFailedLine) {
    const CliRun r = runCli({"setup", ird, "--simulate", "--sim-fault", "nak=0x26"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Error: 赤外線データが取得されていません\nFailed\n");
}

TEST_F(DeviceCli, aVanishingDeviceFailsWithThePlatformText) {
    const CliRun r =
        runCli({"setup", ird, "--simulate", "--sim-fault", "unplug-after=30", "--trace", trace});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Error: " + std::make_error_code(std::errc::no_such_device).message() + "\nFailed\n");
    const auto lines = traceLines();
    EXPECT_EQ(lines.back().substr(lines.back().size() - 7), " failed");
}

TEST_F(DeviceCli, busyRepliesAreWaitedForOrGiveUpAsDescribed) {
    EXPECT_EQ(runCli({"setup", ird, "--simulate", "--sim-fault", "busy=9"}).status, 0);
    const CliRun r = runCli({"setup", ird, "--simulate", "--sim-fault", "busy=10"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "tessik-cli: the receiver did not acknowledge Set Ir Code; nothing was written\n");
}

TEST_F(DeviceCli, noReceiverMeansNotConnected) {
    for (const char* command : {"version", "setup"}) {
        tessik::cli::Args args{command};
        if (std::string(command) == "setup") args.push_back(ird);
        args.insert(args.end(), {"--simulate", "--sim-fault", "absent"});
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "Error: The device is not connected.\n") << command;
    }
}

TEST_F(DeviceCli, theSimulatedTableIsKeptInTheStateFile) {
    const std::string state = (dir / "receiver.state").string();
    ASSERT_EQ(runCli({"setup", ird, "--simulate", "--sim-state", state}).status, 0);
    EXPECT_EQ(std::filesystem::file_size(state), 5110u);
}

TEST_F(DeviceCli, badDeviceOptionsAreRefused) {
    EXPECT_EQ(runCli({"version", "--simulate", "--sim-fault", "melt"}).err,
              "tessik-cli: unknown fault \"melt\"\n");
    EXPECT_EQ(runCli({"version", "--simulate", "--sim-fault", "busy=x"}).err,
              "tessik-cli: fault \"busy\": bad value \"x\"\n");
    EXPECT_EQ(runCli({"version", "--trace"}).err, "tessik-cli: --trace needs a value\n");
    EXPECT_EQ(runCli({"version", "--sim-fault", "absent"}).err,
              "tessik-cli: --sim-fault and --sim-state need --simulate\n");
    EXPECT_EQ(runCli({"version", "--simulate", "--trace", (dir / "no/such/dir/t").string()}).status,
              1);
    EXPECT_EQ(runCli({"setup", "--simulate"}).status, 2);
    EXPECT_EQ(runCli({"version", "extra", "--simulate"}).status, 2);
    EXPECT_EQ(runCli({"setup", (dir / "missing.ird").string(), "--simulate"}).status, 1);
}

TEST_F(DeviceCli, helpListsTheDeviceOptionsAndTheFaults) {
    const CliRun r = runCli({"--help"});
    for (const char* s : {"--simulate", "--trace FILE", "--sim-fault NAME[=N]", "absent",
                          "nak=CODE", "busy=N", "unplug-after=N", "set-fail=N", "wrong-echo[=N]"}) {
        EXPECT_NE(r.out.find(s), std::string::npos) << s;
    }
}

}  // namespace
}  // namespace tessik::test
