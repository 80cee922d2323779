// version, setup: the receiver from the terminal.

#include <algorithm>
#include <iostream>
#include <ostream>

#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "core/datafile/data_file.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/startup.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/programming/set_up_data.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "core/text/strings.hpp"
#include "platform/console.hpp"

namespace tessik::cli {
namespace {

constexpr Language kLanguage = Language::English;

// The parts of a command that talks to the receiver: the options, the transport, the link with
// its command senders and the boxes on the terminal. Built in this order and torn down in the
// reverse, so the link lets go of its device before the transport goes.
struct DeviceCommand {
    std::unique_ptr<DeviceAccess> access;
    TerminalNotifier notifier;
    NullLogSink log;
    std::unique_ptr<CUsbhidioc> link;
    std::unique_ptr<DeviceCommands> commands;

    explicit DeviceCommand(Io& io) : notifier(io) {}

    bool open(const DeviceOptions& options, std::string& error) {
        access = DeviceAccess::open(options, error);
        if (!access) return false;
        link = std::make_unique<CUsbhidioc>(access->transport(), access->clock(), notifier);
        commands = std::make_unique<DeviceCommands>(*link, access->clock(), log);
        return true;
    }

    ~DeviceCommand() {
        commands.reset();
        link.reset();
    }

    // The search the main window makes when it opens: 0x0021, then 0x0019. A device waiting
    // for a firmware update cannot be configured; neither can one that is not there.
    bool findReceiver(VersionArea& versionArea) {
        const StartupFinding found = searchDevice(*link, versionArea);
        if (found == StartupFinding::NotFound || found == StartupFinding::AccessDenied) {
            const StringId why = found == StartupFinding::AccessDenied
                                     ? StringId::DeviceAccessDenied
                                     : StringId::DeviceNotConnected;
            notifier.show(Message{std::string(kErrorCaption), std::string(text(why, kLanguage)),
                                  MessageKind::Notice});
            return false;
        }
        if (found == StartupFinding::UpdateWaiting) {
            link->Disconnect();
            notifier.show(Message{std::string(kInformationCaption),
                                  std::string(text(StringId::UpdateWaiting, kLanguage)),
                                  MessageKind::Notice});
            return false;
        }
        link->productId = kProductIdNormal;  // a later reconnect looks for the normal identity
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

}  // namespace

int cmdVersion(const DeviceOptions& options, Io& io) {
    DeviceCommand device(io);
    std::string error;
    if (!device.open(options, error)) return fail(io, error);
    VersionArea area{};
    if (!device.findReceiver(area)) return kExitFailure;
    if (!device.commands->GetVersion(area))
        return fail(io, "the receiver did not answer Get Version");

    // The name's bytes as the header holds them, up to its terminator.
    const UfHeader h = decodeUfHeader(area);
    const std::string name(h.name.begin(), std::find(h.name.begin(), h.name.end(), 0));
    io.out << "Firmware: " << name << '\n'
           << formatText("Firmware Ver %d.%d.%d", {h.versionMajor, h.versionMinor, h.versionThird})
           << '\n'
           << formatText("Date: %02d/%02d/%02d %02d:%02d",
                         {h.date[0], h.date[1], h.date[2], h.hour, h.minute})
           << '\n';
    return kExitOk;
}

int cmdSetup(const std::string& file, const DeviceOptions& options, Io& io) {
    RemoteModel model;
    const OpenResult opened = openDataFile(pathFromUtf8(file), model);
    if (opened.outcome == OpenOutcome::Refused) {
        return fail(io, file + ": " + std::string(text(StringId::BadDataFile, kLanguage)));
    }
    if (opened.outcome != OpenOutcome::Loaded) return fail(io, file + ": " + opened.error);

    DeviceCommand device(io);
    std::string error;
    if (!device.open(options, error)) return fail(io, error);
    VersionArea area{};
    if (!device.findReceiver(area)) return kExitFailure;

    SetUpResult result;
    {
        ProgressBar bar(io.out, &io.out == &std::cout && platform::standardOutputIsTerminal());
        result = runSetUpData(*device.commands, model, device.notifier, kLanguage,
                              [&bar](int position) { bar.show(position); });
    }
    switch (result.outcome) {
        case SetUpOutcome::Succeeded:
            return kExitOk;
        case SetUpOutcome::IrCodeFailed:
            return fail(io, "the receiver did not acknowledge Set Ir Code; nothing was written");
        case SetUpOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace tessik::cli
