// The largest IR code files the command line takes, end to end (read, parse, decode, plan,
// print, save): import-signals of a 16 MB file repeating one parsed signal 280,000 times,
// decode of a 16 MB file of 5.6 million one-duration signals (refused at its 300,001st), and
// decode of the 300,000 such signals the limit lets through. Each must stay under 3 s and
// 300 MB; peak_rss_mb is the process's high-water mark so far.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli.hpp"

namespace {

namespace fs = std::filesystem;

// Everything printed is thrown away, as on a terminal nobody reads.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

struct Files {
    Files() {
        std::string name = (fs::temp_directory_path() / "tessik-bench-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) std::abort();
        dir = name;
        std::string repeated = "Filetype: IR signals file\nVersion: 1\n";
        for (int i = 0; i < 280'000; ++i)
            repeated += "name:a\ntype:parsed\nprotocol:NEC\naddress:04\ncommand:08\n";
        std::ofstream(dir / "repeated.ir") << repeated;
        std::string tiny;
        for (int i = 0; i < 16 * 1024 * 1024 / 3; ++i)
            tiny += "1\n\n";
        std::ofstream(dir / "tiny.txt") << tiny;
        tiny.resize(3 * 300'000);
        std::ofstream(dir / "most.txt") << tiny;
    }
    ~Files() { fs::remove_all(dir); }
    fs::path dir;
};

const Files& files() {
    static const Files f;
    return f;
}

double peakRssMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void runCli(benchmark::State& state, const tessik::cli::Args& args, int expected) {
    Discard discard;
    std::ostream out(&discard);
    std::ostringstream err;
    std::istringstream in;
    tessik::cli::Io io{out, err, in};
    for (auto _ : state) {
        if (tessik::cli::runCli(args, io) != expected) state.SkipWithError(err.str().c_str());
    }
    state.counters["peak_rss_mb"] = peakRssMb();
}

void BM_ImportSignals280kRepeated(benchmark::State& state) {
    const fs::path& dir = files().dir;
    runCli(state, {"import-signals", (dir / "repeated.ir").string(), (dir / "out.ird").string()},
           0);
}
BENCHMARK(BM_ImportSignals280kRepeated)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Decode5600kTinySignals(benchmark::State& state) {
    runCli(state, {"decode", (files().dir / "tiny.txt").string()}, 1);
}
BENCHMARK(BM_Decode5600kTinySignals)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Decode300kTinySignals(benchmark::State& state) {
    runCli(state, {"decode", (files().dir / "most.txt").string()}, 0);
}
BENCHMARK(BM_Decode300kTinySignals)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
