// version, setup: the receiver from the terminal.

#include <algorithm>
#include <iostream>
#include <ostream>

#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "connect/device_session.hpp"
#include "core/datafile/data_file.hpp"
#include "core/device/commands.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/procedures/set_up_data.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
#include "hid/console.hpp"

namespace tessik::cli {
namespace {

constexpr Language kLanguage = Language::English;

// The device session of a command, and the search the main window makes when it opens: 0x0021,
// then 0x0019. A device waiting for a firmware update cannot be configured; neither can one
// that is not there.
struct DeviceCommand {
    std::unique_ptr<connect::DeviceSession> session;
    TerminalNotifier notifier;

    explicit DeviceCommand(Io& io) : notifier(io) {}

    bool open(const DeviceOptions& options, std::string& error) {
        session = connect::DeviceSession::open(options, error);
        return session != nullptr;
    }
    CUsbhidioc& link() { return session->link(); }
    DeviceCommands& commands() { return session->commands(); }

    bool findReceiver(VersionArea& versionArea) {
        const StartupFinding found = searchDevice(link(), versionArea);
        if (const auto notice = startupNotice(found, kLanguage)) notifier.show(*notice);
        if (found == StartupFinding::UpdateWaiting) link().Disconnect();
        if (found != StartupFinding::Normal && found != StartupFinding::Alternate) return false;
        link().productId = kProductIdNormal;  // a later reconnect looks for the normal identity
        return true;
    }
};

class ProgressBar {
  public:
    explicit ProgressBar(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
    void show(int position) {
        if (!enabled_) return;
        constexpr int kWidth = 40;
        const int filled = std::min(position, kSetUpProgressMax) * kWidth / kSetUpProgressMax;
        out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] "
             << std::min(position, kSetUpProgressMax) << '/' << kSetUpProgressMax << std::flush;
        shown_ = true;
    }
    ~ProgressBar() {
        if (shown_) out_ << '\n';
    }

  private:
    std::ostream& out_;
    bool enabled_;
    bool shown_ = false;
};

int printVersion(DeviceCommand& device, Io& io) {
    VersionArea area{};
    if (!device.findReceiver(area)) return kExitFailure;
    if (!device.commands().GetVersion(area)) {
        reportDevice(io, device.commands().outcome());
        return fail(io, "the receiver did not answer Get Version");
    }

    // The name's bytes as the header holds them, up to its terminator; a device's bytes are
    // shown escaped like a file's.
    const UfHeader h = decodeUfHeader(area);
    const std::string name(h.name.begin(), std::find(h.name.begin(), h.name.end(), 0));
    io.out << "Firmware: " << escapeControlBytes(name) << '\n'
           << formatText("Firmware Ver %d.%d.%d", {h.versionMajor, h.versionMinor, h.versionThird})
           << '\n'
           << formatText("Date: %02d/%02d/%02d %02d:%02d",
                         {h.date[0], h.date[1], h.date[2], h.hour, h.minute})
           << '\n';
    return kExitOk;
}

int setUp(DeviceCommand& device, const RemoteModel& model, Io& io) {
    VersionArea area{};
    if (!device.findReceiver(area)) return kExitFailure;
    SetUpResult result;
    {
        ProgressBar bar(io.out, &io.out == &std::cout && hid::standardOutputIsTerminal());
        result =
            runSetUpData(device.commands(), model, [&bar](int position) { bar.show(position); });
    }
    reportDevice(io, result.device);
    if (const auto verdict = setUpVerdict(result, model, kLanguage)) device.notifier.show(*verdict);
    switch (result.outcome) {
        case SetUpOutcome::Succeeded:
            return kExitOk;
        case SetUpOutcome::IrCodeFailed:
            return fail(io, "the receiver did not acknowledge Set Ir Code; nothing was written");
        case SetUpOutcome::WindowsOverlap:
        case SetUpOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

int cmdVersion(const DeviceOptions& options, Io& io) {
    DeviceCommand device(io);
    std::string error;
    if (!device.open(options, error)) return fail(io, error);
    return conclude(*device.session, printVersion(device, io), io);
}

int cmdSetup(const std::string& file, const DeviceOptions& options, Io& io) {
    RemoteModel model;
    int status = kExitOk;
    if (!loadTable(file, model, io, status)) return status;
    DeviceCommand device(io);
    std::string error;
    if (!device.open(options, error)) return fail(io, error);
    return conclude(*device.session, setUp(device, model, io), io);
}

}  // namespace tessik::cli
