// Hostile and mistaken input against the command line: each ends with its status and an error
// naming what was wrong, nothing on disk or on the receiver is lost, no byte a file or a path
// holds reaches the terminal raw, and a correct run afterwards succeeds. Linux only: the input
// comes through uhid devices, FIFOs, links and file-size limits.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "core/datafile/data_file.hpp"
#include "core/ir/raw_signals.hpp"
#include "hid/linux/uhid_device.hpp"
#include "platform/durable_file.hpp"
#include "support/cli_runner.hpp"
#include "support/firmware_images.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::CliRun;
using test::runCli;
using ::testing::HasSubstr;
using ::testing::Not;

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Standard output on a disk that is full.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return full(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return full(); }

  private:
    int_type full() {
        errno = ENOSPC;
        return traits_type::eof();
    }
};

test::ImageShape comingBackAs(std::uint16_t vid, std::uint16_t pid) {
    test::ImageShape shape;
    shape.vid = vid;
    shape.pid = pid;
    return shape;
}

CliRun runOnFullDisk(const Args& args) {
    FullDisk disk;
    std::ostream out(&disk);
    std::ostringstream err;
    std::istringstream in;
    Io io{out, err, in};
    const int status = runCli(args, io);
    return {status, "", err.str()};
}

// Files may grow to `bytes` while `run` runs (a disk that fills up); the write past it fails.
CliRun withFileSizeLimit(rlim_t bytes, const std::function<CliRun()>& run) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{bytes, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const CliRun r = run();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return r;
}

struct HostileInput : ::testing::Test {
    void SetUp() override {
        RemoteModel model = test::modelWithButtons(4);
        test::rewrite(
            model, [](RemoteTables& t) { t.buttons[1].text.comment = u"Power\x1B]0;owned\x07"; });
        save(table, model);
        save(other, test::modelWithButtons(2));
        test::rewrite(model, [](RemoteTables& t) { t.jitterPercent = 100; });
        save(wide, model);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::filesystem::create_symlink(dir / "gone" / "state", unwritable);
        // Written as it is: a hand-edited file.
        test::rewrite(model, [](RemoteTables& t) { t.jitterPercent = 101; });
        save(beyond, model);

        std::string many;
        for (std::size_t i = 0; i <= kMaxSignals; ++i)
            many += "1\n\n";
        std::ofstream(dir / "many.txt") << many;
    }
    void save(const std::string& path, RemoteModel model) {
        platform::DurableFileReplacer files;
        ASSERT_TRUE(saveDataFile(path, model, files).ok);
    }
    std::string image(const char* name, const test::ImageShape& shape, std::size_t cutTo = 0) {
        auto bytes = test::buildImage(shape);
        if (cutTo != 0) bytes.resize(cutTo);
        test::writeImageFile(dir / name, bytes);
        return (dir / name).string();
    }

    test::TempDir dir;
    std::string table = (dir / "table.ird").string();
    std::string other = (dir / "other.ird").string();
    std::string wide = (dir / "wide.ird").string();  // jitter 100: every window overlaps
    std::string beyond = (dir / "j101.ird").string();
    std::string fifo = (dir / "pipe").string();
    std::string unwritable = (dir / "lost-state").string();  // a link into a missing folder
};

TEST_F(HostileInput, isRefusedOrToldWithItsStatusLosingNothingAndACorrectRunSucceedsAfterwards) {
    const std::string tableBefore = slurp(table), otherBefore = slurp(other);
    const std::string good = image("good.bin", {});
    const std::string bad = image("bad.bin", {});
    {  // one byte of the image changed after its CRC was taken
        std::fstream f(bad, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0x1000);
        f.put('\x5A');
    }
    const std::string cut = image("cut.bin", {}, 0x3000);
    const struct {
        const char* what;
        std::function<CliRun()> run;
        int status;
        std::string names;  // what the error names, not its wording
    } cases[] = {
        {"a device as state file",
         [] {
             return runCli({"version", "--simulate", "--sim-state", "/dev/zero"});
         },
         kExitUsage, "/dev/zero"},
        {"a FIFO as state file",
         [&] {
             return runCli({"version", "--simulate", "--sim-state", fifo});
         },
         kExitUsage, fifo},
        {"a table as state file",
         [&] {
             return runCli({"setup", table, "--simulate", "--sim-state", other});
         },
         kExitUsage, other},
        {"a FIFO as trace",
         [&] {
             return runCli({"version", "--simulate", "--trace", fifo});
         },
         kExitUsage, fifo},
        {"a state file that cannot be written",
         [&] {
             return runCli({"setup", table, "--simulate", "--sim-state", unwritable});
         },
         kExitFailure, unwritable},
        {"a trace that fills the disk",
         [&] {
             return withFileSizeLimit(2000, [&] {
                 return runCli({"version", "--simulate", "--trace", (dir / "t").string()});
             });
         },
         kExitFailure, "trace"},
        {"standard output on a full disk",
         [&] {
             return runOnFullDisk({"export", table});
         },
         kExitFailure, "standard output"},
        {"an image whose CRC is not its data's",
         [&] {
             return runCli({"firmware", bad, "--simulate"});
         },
         kExitFailure, bad},
        {"an image cut short",
         [&] {
             return runCli({"firmware", cut, "--simulate"});
         },
         kExitFailure, cut},
        {"an image of a foreign identity",
         [&] {
             return runCli(
                 {"firmware", image("foreign.bin", comingBackAs(0x1234, 0x5678)), "--simulate"});
         },
         kExitFailure, "1234:5678"},
        {"an image that comes back as the boot loader",
         [&] {
             return runCli(
                 {"firmware", image("loader.bin", comingBackAs(0x07F7, 0x0018)), "--simulate"});
         },
         kExitFailure, "07F7:0018"},
        {"windows that overlap at the table's jitter",
         [&] {
             return runCli({"setup", wide, "--simulate", "--sim-state", unwritable});
         },
         kExitFailure, "100%"},
        {"a file's jitter beyond 100 %",
         [&] {
             return runCli({"show", beyond});
         },
         kExitOk, "101%"},
        {"more signals than a file holds",
         [&] {
             return runCli({"decode", (dir / "many.txt").string()});
         },
         kExitFailure, std::to_string(kMaxSignals)},
        {"a comment with escape sequences",
         [&] {
             return runCli({"show", table});
         },
         kExitOk, ""},
        {"a path with escape sequences",
         [&] {
             return runCli({"show", (dir / "x\x1B[2J.ird").string()});
         },
         kExitFailure, "x\\x1B[2J.ird"},
        {"a file as uhid node",
         [&] {
             hid::UhidDevice device;
             std::string error;
             const bool created = device.create({}, error, "/dev/null");
             return CliRun{created ? kExitOk : kExitFailure, "", error};
         },
         kExitFailure, "/dev/null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = c.run();
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_THAT(r.err, HasSubstr(c.names));
        // Nothing reaches the terminal that could move the cursor or change colours.
        for (const std::string& shown : {r.out, r.err}) {
            EXPECT_TRUE(std::none_of(shown.begin(), shown.end(), [](char ch) {
                return (static_cast<unsigned char>(ch) < 0x20 && ch != '\n') || ch == 0x7F;
            })) << shown;
        }
        // Nothing was unlocked, erased or written on the receiver, nor replaced on disk, and
        // nothing claims it was.
        EXPECT_THAT(r.out, Not(HasSubstr("Flash Unlock")));
        EXPECT_THAT(r.out, Not(HasSubstr("Success")));
        EXPECT_EQ(std::tuple(slurp(table), slurp(other)), std::tuple(tableBefore, otherBefore));
        EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
    }

    const std::string state = (dir / "receiver.state").string();
    EXPECT_EQ(runCli({"setup", table, "--simulate", "--sim-state", state}).status, kExitOk);
    EXPECT_EQ(runCli({"firmware", good, "--simulate"}).status, kExitOk);
}

}  // namespace
}  // namespace tessik::cli
