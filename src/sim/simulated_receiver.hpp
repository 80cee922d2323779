#pragma once
// The simulated receiver: a device on a bus of its own that answers the tool exactly as the
// receiver does, reached through a HidTransport like the real one. Tests, the demo and the
// command line use it when no receiver is attached.
//
// The receiver owns what the device holds (the table it was sent, the saved copy, capture mode,
// the capture memory, its firmware header), moves reports, records its traffic and shows the
// faults it is told to. Requests are answered by firmware personalities: the normal-mode
// firmware always, and whatever has been added in front of it.
//
// Everything that takes time is measured on the Clock it was given, never on a real clock.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/device/clock.hpp"
#include "core/device/commands.hpp"
#include "core/device/hid_transport.hpp"
#include "sim/capture_buffer.hpp"
#include "sim/device_table.hpp"
#include "sim/faults.hpp"
#include "sim/firmware.hpp"

namespace tessik::sim {

struct ReceiverOptions {
    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductIdNormal;  // 0x0019 for the older identity
    std::size_t featureReportLength = 512;       // report ID byte included

    // The running firmware's uf_header, as Get Version returns it.
    std::string firmwareName = "IR receiver";  // at most 31 bytes are kept
    std::uint8_t versionMajor = 1;
    std::uint8_t versionMinor = 2;
    std::uint8_t versionThird = 3;
    std::array<std::uint8_t, 3> date{24, 5, 17};  // printed in stored order, "24/05/17"
    std::array<std::uint8_t, 2> time{10, 30};     // hour, minute
    std::uint16_t headerVid = kVendorId;
    std::optional<std::uint16_t> headerPid{};  // empty: productId
    std::uint16_t headerCrc16 = 0x6B1D;        // nonzero: a complete firmware
    std::uint32_t flashSize = 0x20000;

    // How long Save keeps the device busy writing its flash (the tool waits 2000 ms).
    std::uint32_t saveDurationMs = 0;

    // Where Save keeps the table between runs; empty: nowhere. Read when the receiver is made.
    std::filesystem::path stateFile{};

    bool recordTraffic = true;
};

// How the device shows itself on the bus.
struct Identity {
    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductIdNormal;
    std::size_t featureReportLength = 512;
    bool operator==(const Identity&) const = default;
};

enum class Direction { Set, Get };

// One feature-report transfer as the device saw it; `delivered` false when it failed (for a
// failed read, `report` is what the host passed down).
struct Transfer {
    Direction direction = Direction::Set;
    std::vector<std::uint8_t> report;
    bool delivered = true;
};

// The 80-byte uf_header that ReceiverOptions describe.
VersionArea makeVersionHeader(const ReceiverOptions& options);

class SimulatedReceiver {
  public:
    // Plugged in from the start, holding the state file's table when there is one.
    explicit SimulatedReceiver(Clock& clock, ReceiverOptions options = {});
    ~SimulatedReceiver();
    SimulatedReceiver(const SimulatedReceiver&) = delete;
    SimulatedReceiver& operator=(const SimulatedReceiver&) = delete;

    // The bus this device sits on. Any number of handles may be open at once; handles opened
    // before an unplug or a re-enumeration stay dead.
    HidTransport& transport();
    Clock& clock() { return clock_; }
    const ReceiverOptions& options() const { return options_; }

    // --- On the bus ---------------------------------------------------------------------------
    // Plugging in powers the device up: it holds its saved table again, capture mode is off and
    // the capture memory is empty. Unplugging kills every open handle.
    void plug();
    void unplug();
    bool plugged() const { return plugged_; }
    Identity identity() const { return identity_; }
    void setIdentity(const Identity& identity);
    // Leaves the bus now and comes back as `next` after `backAfterMs` on the clock (never when
    // empty, until plug()).
    void reenumerate(const Identity& next, std::optional<std::uint32_t> backAfterMs);

    // --- Faults -------------------------------------------------------------------------------
    Faults& faults() { return faults_; }
    // "NAME" or "NAME=VALUE", built-in or of an added firmware; false with the reason in `error`.
    bool applyFault(std::string_view setting, std::string& error);
    std::vector<FaultInfo> faultCatalogue() const;

    // --- Traffic ------------------------------------------------------------------------------
    const std::vector<Transfer>& traffic() const { return traffic_; }
    void clearTraffic() { traffic_.clear(); }
    void recordTraffic(bool on) { recordTraffic_ = on; }
    // Requests accepted since the receiver was made (a set-feature that reached the firmware).
    std::uint32_t exchangeCount() const { return exchanges_; }
    // Handles opened since the receiver was made (a link that reconnects opens a new one).
    std::uint32_t openCount() const { return opens_; }

    // --- What the device holds ----------------------------------------------------------------
    const DeviceTable& table() const { return table_; }  // as received since power-up
    DeviceTable& table() { return table_; }
    const DeviceTable& savedTable() const { return saved_; }  // kept through power-down
    // Save: the received table becomes the kept one and goes to the state file. False, keeping
    // the old table, when the state file cannot be written: the device's flash write failed.
    bool saveTable();
    // Why the last Save could not write the state file (empty when it could); cleared by reading.
    std::string takeStateFileError() { return std::exchange(stateFileError_, {}); }
    bool captureMode() const { return captureMode_; }
    void setCaptureMode(bool on) { captureMode_ = on; }
    // The capture memory; a press of a remote button fills it with load().
    CaptureBuffer& capture() { return capture_; }
    const CaptureBuffer& capture() const { return capture_; }
    const VersionArea& versionHeader() const { return versionHeader_; }
    void setVersionHeader(const VersionArea& header) { versionHeader_ = header; }

    // --- Firmware personalities ---------------------------------------------------------------
    // `firmware` sees every request before those added earlier (the normal firmware, added when
    // the receiver is made, is asked last).
    void addFirmware(std::shared_ptr<Firmware> firmware);
    void removeFirmware(const Firmware* firmware);

  private:
    class Bus;
    class Handle;
    friend class Handle;

    enum class Error { None, NoDevice, Io, BadReport };
    Error onSetFeature(std::uint64_t generation, std::span<const std::uint8_t> report);
    Error onGetFeature(std::uint64_t generation, std::span<std::uint8_t> report);
    Error check(std::uint64_t generation, std::size_t reportSize, std::uint32_t& failures);
    void settle();
    bool present() const { return plugged_ && !faults_.absent; }
    void answer(std::span<const std::uint8_t> request);
    void record(Direction direction, std::span<const std::uint8_t> report, bool delivered);
    void powerUp();

    Clock& clock_;
    ReceiverOptions options_;
    std::unique_ptr<Bus> bus_;
    std::shared_ptr<bool> alive_;  // handles hold it weakly, so a handle never outlives us badly

    bool plugged_ = true;
    Identity identity_;
    std::uint64_t generation_ = 0;
    struct Reappearance {
        std::uint32_t since = 0;
        std::uint32_t afterMs = 0;
    };
    std::optional<Reappearance> reappearance_;

    Faults faults_;
    std::vector<Transfer> traffic_;
    bool recordTraffic_ = true;
    std::uint32_t exchanges_ = 0;
    std::uint32_t opens_ = 0;

    // The reply to the last request.
    std::vector<std::uint8_t> reply_;
    bool replyValid_ = false;
    std::uint32_t busyReadsLeft_ = 0;
    std::uint32_t replyTick_ = 0;
    std::uint32_t replyNotReadyMs_ = 0;
    std::function<void()> afterDelivered_;

    DeviceTable table_;
    DeviceTable saved_;
    std::string stateFileError_;
    bool captureMode_ = false;
    CaptureBuffer capture_;
    VersionArea versionHeader_{};

    std::vector<std::shared_ptr<Firmware>> firmware_;  // front first
};

}  // namespace tessik::sim
