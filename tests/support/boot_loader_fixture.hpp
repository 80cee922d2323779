#pragma once
// A simulated receiver with its boot loader on a fake clock, the main window's side (its link,
// its copy of the running firmware's header), an updater link and the update procedure, with
// the log, the progress and every message box kept for the test to compare.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/firmware/image_file.hpp"
#include "core/firmware/update_procedure.hpp"
#include "core/firmware/updater_link.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/strings.hpp"
#include "sim/boot_loader.hpp"
#include "support/device_fixture.hpp"
#include "support/firmware_images.hpp"

namespace tessik::test {

class RecordingSink : public UpdateSink {
  public:
    void appendLog(std::string_view text) override { log += text; }
    void setProgressRange(int lowest, int highest) override {
        rangeLow = lowest;
        rangeHigh = highest;
    }
    void setProgress(int position) override { positions.push_back(position); }
    void repaintProgress() override { ++repaints; }

    std::string log;
    int rangeLow = -1;
    int rangeHigh = -1;
    std::vector<int> positions;
    int repaints = 0;
};

inline constexpr std::string_view kSucceededLog =
    "Flash Unlock...OK\r\n"
    "Flash Erase .OK\r\n"
    "Writing...\r\n"
    "OK\r\n"
    "CRC16 check...OK\r\n"
    "Run UF...OK. Firmware update succeeded.\r\n";

inline Message updateBox(StringId id) {
    return Message{
        "", std::string(text(id, Language::English)),
        id == StringId::FirmwareUpdateSucceeded ? MessageKind::Notice : MessageKind::Warning};
}

// The image an update writes: 200 KB in a 256 KB flash_size, with an erased stretch in the
// middle, version 2.0.0 coming back as 0x07F7/0x0021.
inline ImageShape newFirmwareShape() {
    ImageShape shape;
    shape.fileSize = 200 * 1024;
    shape.flashSize = 0x40000;
    shape.name = "IR receiver 2";
    shape.version = {2, 0, 0};
    shape.date = {24, 6, 1};
    shape.erased = {{0x10000, 0x3000}};
    shape.seed = 7;
    return shape;
}

struct UpdateFixture : ::testing::Test {
    explicit UpdateFixture(sim::BootLoaderOptions bootOptions = {})
        : receiver(clock, {.recordTraffic = false}),
          bootLoader(sim::BootLoader::attach(receiver, bootOptions)),
          mainLink(receiver.transport(), clock),
          commands(mainLink, clock, deviceLog),
          updater(receiver.transport(), clock),
          host(mainLink, commands, running),
          update(updater, clock, sink, host) {
        load(newFirmwareShape());
    }

    // FileOpen: the image into the dialog's buffer, its CRC completed.
    void load(const ImageShape& shape) {
        file = buildImage(shape);
        loaded = loadUpdateImage(file, "new.bin", *image);
        ASSERT_TRUE(loaded.updateEnabled) << loaded.log;
    }

    // What the main window knows when the dialog opens: start-up's search and Get Version.
    void openMainWindow() {
        running.fill(0);
        const bool waiting = searchDevice(mainLink, running) == StartupFinding::UpdateWaiting;
        mainLink.productId = kProductIdNormal;
        if (waiting)
            mainLink.Disconnect();
        else
            commands.GetVersion(running);
    }

    // An update, and the box the dialog ends it with.
    UpdateOutcome runUpdate() {
        sink = RecordingSink{};
        notifier.messages.clear();
        result = update.Update(*image, loaded.imageType);
        notifier.show(updateVerdict(result, Language::English));
        return result.outcome;
    }

    // A successful update: its six log lines, its box, and in the flash exactly what the update
    // writes: the file from 0x4000, erased behind it, for flash_size bytes (as far as the flash
    // reaches).
    void expectSucceeded(std::string_view log = kSucceededLog) {
        EXPECT_EQ(sink.log, log);
        EXPECT_EQ(notifier.messages,
                  std::vector<Message>{updateBox(StringId::FirmwareUpdateSucceeded)});
        const std::size_t end =
            std::min<std::size_t>(kImageBufferSize, kImageOffset + loaded.header.flash_size);
        EXPECT_TRUE(std::equal(image->begin() + kImageOffset, image->begin() + end,
                               bootLoader->flash().begin() + kImageOffset));
    }

    // The procedure's own pauses (re-enumeration, skipped blocks), apart from the short ones
    // between the polls of a reply.
    std::uint64_t pausedMs = 0;
    FakeClock clock = [this] {
        FakeClock c{0, 1};
        c.onSleep = [this](std::uint32_t ms) {
            if (ms > kReplyPollStepMs) pausedMs += ms;
        };
        return c;
    }();
    sim::SimulatedReceiver receiver;
    std::shared_ptr<sim::BootLoader> bootLoader;
    RecordingNotifier notifier;
    VectorLogSink deviceLog;
    CUsbhidioc mainLink;
    DeviceCommands commands;
    VersionArea running{};
    CUpdaterLink updater;
    LinkUpdateHost host;
    RecordingSink sink;
    FirmwareUpdate update;
    UpdateResult result;

    std::vector<std::uint8_t> file;
    std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
    ImageLoad loaded;
};

// A receiver that waits in its boot loader from the start.
struct WaitingUpdateFixture : UpdateFixture {
    WaitingUpdateFixture() : UpdateFixture({.startInUpdateMode = true}) {}
};

}  // namespace tessik::test
