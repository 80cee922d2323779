// tessik-sim: serves the simulated receiver through /dev/uhid, so the kernel puts a real
// hidraw node on the bus for it and the tool (or any program) reaches it as it reaches the real
// receiver. Mode switches and the start of a new firmware re-enumerate as the device does: the
// node goes away and comes back with the new identity. Runs until interrupted.

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/device_options.hpp"
#include "connect/device_session.hpp"
#include "core/device/clock.hpp"
#include "core/text/format.hpp"
#include "hid/linux/uhid_device.hpp"
#include "sim/simulated_receiver.hpp"

namespace {

using namespace tessik;

std::atomic<bool> stopping{false};

constexpr std::uint32_t kLeaveAfterReplyMs = 100;

void onSignal(int) {
    stopping = true;
}

// One line on the error stream; paths and other texts from outside are shown escaped.
void say(const std::string& text) {
    std::fprintf(stderr, "tessik-sim: %s\n", escapeControlBytes(text).c_str());
}

struct Options {
    connect::SessionOptions device;
    std::optional<std::uint32_t> unplugAfter;
    std::uint32_t replugMs = 2000;
    bool decoys = false;
    std::string uhidNode = "/dev/uhid";
};

hid::UhidIdentity identityOf(const sim::Identity& id) {
    const bool bootLoader = id.productId == kProductIdUpdater;
    return {bootLoader ? "IR receiver boot loader (simulated)" : "IR receiver (simulated)",
            id.vendorId, id.productId,
            bootLoader ? hid::bootLoaderReportDescriptor(id.featureReportLength)
                       : hid::receiverReportDescriptor(id.featureReportLength)};
}

// Two other HID devices on the same bus, which the tool's device search must pass over: one of
// another vendor, and one with the receiver's vendor but the boot loader's product that never
// answers.
struct Decoys {
    hid::UhidDevice otherVendor;
    hid::UhidDevice silentBootLoader;

    bool create(const std::string& node, std::string& error) {
        return otherVendor.create({"Other vendor's HID device", 0x1234, 0x5678,
                                   hid::receiverReportDescriptor(512)},
                                  error, node) &&
               silentBootLoader.create({"Silent boot loader", kVendorId, kProductIdUpdater,
                                        hid::bootLoaderReportDescriptor(273)},
                                       error, node);
    }
    void serve() {
        const auto refuseGet = [](std::vector<std::uint8_t>&) { return false; };
        const auto refuseSet = [](std::span<const std::uint8_t>) { return false; };
        otherVendor.serve(0, refuseGet, refuseSet);
        silentBootLoader.serve(0, refuseGet, refuseSet);
    }
};

class Bridge {
  public:
    Bridge(sim::SimulatedReceiver& receiver, Clock& clock, const Options& options)
        : receiver_(receiver), clock_(clock), options_(options) {}

    int run() {
        std::string error;
        if (options_.decoys && !decoys_.create(options_.uhidNode, error)) {
            say(error);
            return 1;
        }
        while (!stopping) {
            if (!follow(error)) {
                say(error);
                return 1;
            }
            if (options_.decoys) decoys_.serve();
            if (!uhid_.created()) {
                clock_.sleepMs(10);
                continue;
            }
            const bool served = uhid_.serve(
                10, [this](std::vector<std::uint8_t>& report) { return get(report); },
                [this](std::span<const std::uint8_t> report) { return set(report); });
            if (!served) {
                std::fprintf(stderr, "tessik-sim: the uhid device failed; creating it again\n");
                uhid_.destroy();
            }
        }
        return 0;
    }

  private:
    // Puts the uhid device where the simulated receiver is: on the bus with its identity, or
    // gone.
    bool follow(std::string& error) {
        if (replugAt_ && clock_.tickMs() - replugAt_->since >= options_.replugMs) {
            replugAt_.reset();
            receiver_.plug();
        }
        const sim::Identity id = receiver_.identity();
        const auto found = receiver_.transport().enumerate(id.vendorId, id.productId);
        if (found.empty()) {
            // A device leaves the bus once the host has its last reply: the kernel hands a reply
            // to the waiting ioctl only while the device is there, so it goes a moment later.
            if (uhid_.created() && clock_.tickMs() - lastReplyAt_ >= kLeaveAfterReplyMs) {
                uhid_.destroy();
                handle_.reset();
                std::fprintf(stderr, "tessik-sim: %04x:%04x left the bus\n", shown_.vendorId,
                             shown_.productId);
            }
            return true;
        }
        if (uhid_.created() && id == shown_) return true;
        uhid_.destroy();
        handle_ = receiver_.transport().open(found.front());
        if (!handle_) {
            error = "the simulated receiver cannot be opened";
            return false;
        }
        if (!uhid_.create(identityOf(id), error, options_.uhidNode)) return false;
        shown_ = id;
        std::fprintf(stderr, "tessik-sim: %04x:%04x on the bus, feature report %zu bytes\n",
                     id.vendorId, id.productId, id.featureReportLength);
        return true;
    }

    bool get(std::vector<std::uint8_t>& report) {
        if (!handle_) return false;
        const std::uint8_t id = report.empty() ? 0 : report[0];
        report.assign(handle_->featureReportLength(), 0);
        report[0] = id;
        lastReplyAt_ = clock_.tickMs();
        return handle_->getFeature(report);
    }

    bool set(std::span<const std::uint8_t> report) {
        if (!handle_) return false;
        // The host may send fewer bytes than the report holds; the rest are zero.
        std::vector<std::uint8_t> whole(handle_->featureReportLength(), 0);
        std::copy_n(report.begin(), std::min(report.size(), whole.size()), whole.begin());
        const bool ok = handle_->setFeature(whole);
        lastReplyAt_ = clock_.tickMs();
        // A Save the state file could not take: the host got a refusal, the user the reason.
        if (const std::string kept = receiver_.takeStateFileError(); !kept.empty()) say(kept);
        if (ok && options_.unplugAfter && ++exchanges_ == *options_.unplugAfter) {
            // Pulled out after this exchange, and plugged in again a little later.
            receiver_.unplug();
            replugAt_ = Replug{clock_.tickMs()};
        }
        return ok;
    }

    struct Replug {
        std::uint32_t since;
    };

    sim::SimulatedReceiver& receiver_;
    Clock& clock_;
    const Options& options_;
    hid::UhidDevice uhid_;
    Decoys decoys_;
    std::unique_ptr<HidDevice> handle_;
    sim::Identity shown_;
    std::uint32_t exchanges_ = 0;
    std::uint32_t lastReplyAt_ = 0;
    std::optional<Replug> replugAt_;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    options.device.simulate = true;
    CLI::App app{
        "Serves the simulated IR receiver through /dev/uhid, as a HID device of this "
        "machine, until interrupted.",
        "tessik-sim"};
    cli::addSimulatorOptions(app, options.device);
    app.add_option("--unplug-after", options.unplugAfter,
                   "pull the device off the bus after N exchanges (it comes back after "
                   "--replug-ms)")
        ->type_name("N")
        ->check(CLI::Range(std::uint32_t{1}, std::numeric_limits<std::uint32_t>::max()));
    app.add_option("--replug-ms", options.replugMs, "how long a pulled device stays away")
        ->type_name("MS");
    app.add_flag("--decoys", options.decoys,
                 "put two other HID devices on the bus as well: another vendor's, and a boot "
                 "loader that never answers");
    app.add_option("--uhid", options.uhidNode,
                   "the uhid control node: the kernel's uhid character device (10:239)")
        ->type_name("NODE")
        ->check(CLI::Validator(
            [](std::string& node) {
                const std::string why = hid::uhidNodeProblem(node);
                return why.empty() ? why : escapeControlBytes(node) + ": " + why;
            },
            "", "uhid node"));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "tessik-sim: %s; see tessik-sim --help\n",
                     escapeControlBytes(e.what()).c_str());
        return 2;
    }

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    SteadyClock clock;
    std::string error;
    const auto session = connect::DeviceSession::open(options.device, error, {.clock = &clock});
    if (!session) {
        say(error);
        return 2;
    }
    return Bridge(*session->receiver(), clock, options).run();
}
