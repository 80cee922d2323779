// firmware: replaces the receiver's firmware with an image, printing what the update dialog
// shows: the running firmware, the image, the running log, a progress bar on a terminal and
// the outcome.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "connect/device_session.hpp"
#include "core/device/commands.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/image_file.hpp"
#include "core/firmware/update_procedure.hpp"
#include "core/firmware/updater_link.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "core/text/strings.hpp"
#include "hid/console.hpp"

namespace tessik::cli {
namespace {

constexpr Language kLanguage = Language::English;

// The update's log as lines on the output stream, its progress as a bar below them (on a
// terminal only).
class TerminalUpdate : public UpdateSink {
  public:
    TerminalUpdate(Io& io, bool drawBar) : io_(io), drawBar_(drawBar) {}
    ~TerminalUpdate() override { finish(); }

    // A line is printed once it is complete; the dialog's "\r\n" ends it.
    void appendLog(std::string_view text) override {
        pending_ += text;
        for (auto end = pending_.find("\r\n"); end != std::string::npos;
             end = pending_.find("\r\n")) {
            clearBar();
            io_.out << std::string_view(pending_).substr(0, end) << '\n';
            pending_.erase(0, end + 2);
        }
    }
    void setProgressRange(int lowest, int highest) override {
        lowest_ = lowest;
        highest_ = highest;
    }
    void setProgress(int position) override { position_ = position; }
    void repaintProgress() override {
        if (!drawBar_ || highest_ <= lowest_) return;
        constexpr int kWidth = 40;
        const int done = std::clamp(position_, lowest_, highest_) - lowest_;
        const int filled = done * kWidth / (highest_ - lowest_);
        io_.out << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << done
                << '/' << highest_ - lowest_ << std::flush;
        barShown_ = true;
    }

    // The line the end interrupts is printed as it stands.
    void finish() {
        clearBar();
        if (pending_.empty()) return;
        io_.out << pending_ << '\n';
        pending_.clear();
    }

  private:
    void clearBar() {
        if (!barShown_) return;
        io_.out << '\r' << std::string(60, ' ') << '\r';
        barShown_ = false;
    }

    Io& io_;
    bool drawBar_;
    bool barShown_ = false;
    std::string pending_;
    int lowest_ = 0;
    int highest_ = 0;
    int position_ = 0;
};

// What the main window knows when the update dialog opens: the running firmware's header, read
// with Get Version from a device in its application mode, or just the boot loader's identity
// when only a device waiting for an update is there. Quiet when nothing is found: the update
// says so itself.
// `getVersionFailed` tells a receiver in its application mode that did not answer Get Version:
// its header stays empty, which must not read as a boot loader waiting for an update.
StartupFinding readRunningFirmware(CUsbhidioc& link, DeviceCommands& commands, VersionArea& area,
                                   bool& getVersionFailed) {
    getVersionFailed = false;
    area.fill(0);
    const StartupFinding found = searchDevice(link, area);
    switch (found) {
        case StartupFinding::Normal:
        case StartupFinding::Alternate:
            link.productId = kProductIdNormal;
            getVersionFailed = !commands.GetVersion(area);
            break;
        case StartupFinding::UpdateWaiting:
            link.Disconnect();  // the boot loader does not speak the normal protocol
            link.productId = kProductIdNormal;
            break;
        case StartupFinding::AccessDenied:
        case StartupFinding::NotFound:
            link.productId = kProductIdNormal;
            break;
    }
    return found;
}

// The last line of a log whose lines end in "\r\n": why an image was not taken.
std::string lastLogLine(std::string_view log) {
    if (log.ends_with("\r\n")) log.remove_suffix(2);
    const std::size_t start = log.rfind("\r\n");
    return std::string(start == std::string_view::npos ? log : log.substr(start + 2));
}

int runUpdate(const std::string& path, connect::DeviceSession* session, Io& io) {
    TerminalUpdate terminal(io, &io.out == &std::cout && hid::standardOutputIsTerminal());
    CUsbhidioc& link = session->link();
    DeviceCommands& commands = session->commands();
    VersionArea running{};
    bool getVersionFailed = false;
    const StartupFinding found = readRunningFirmware(link, commands, running, getVersionFailed);
    if (found == StartupFinding::AccessDenied) {
        // The update would only find that it may not open the device either.
        reportDevice(io, DeviceOutcome{DeviceError::NoPermission, {}});
        return kExitFailure;
    }
    if (getVersionFailed) {
        // The update can still go ahead: it reaches the boot loader on its own.
        reportDevice(io, commands.outcome());
        io.err << "tessik-cli: the receiver did not answer Get Version; its firmware is unknown\n";
    } else {
        io.out << escapeControlBytes(runningFirmwareText(decodeUfHeader(running), kLanguage))
               << '\n';
    }

    auto image = std::make_unique<ImageBuffer>();
    const ImageLoad load = loadUpdateImage(pathFromUtf8(path), *image);
    // Names from an image or a device: shown escaped, like a file's.
    if (!load.firmwareText.empty()) io.out << escapeControlBytes(load.firmwareText) << '\n';
    terminal.appendLog(load.log);
    if (!load.updateEnabled) {
        terminal.finish();
        return fail(io, escapeControlBytes(path) + ": " + lastLogLine(load.log));
    }
    io.out << load.sizeText << '\n';

    CUpdaterLink updater(session->transport(), session->clock());
    LinkUpdateHost host(link, commands, running);
    FirmwareUpdate update(updater, session->clock(), terminal, host);
    const UpdateResult result = update.Update(*image, load.imageType);
    terminal.finish();
    // Only the success stays with the log; every other end is a failure.
    const Message verdict = updateVerdict(result, kLanguage);
    if (result.outcome != UpdateOutcome::Succeeded) return fail(io, verdict.text);
    io.out << verdict.text << '\n';
    return kExitOk;
}

}  // namespace

int cmdFirmware(const std::string& path, const DeviceOptions& options, Io& io) {
    std::string error;
    const std::unique_ptr<connect::DeviceSession> session =
        connect::DeviceSession::open(options, error);
    if (!session) return fail(io, error);
    return conclude(*session, runUpdate(path, session.get(), io), io);
}

}  // namespace tessik::cli
