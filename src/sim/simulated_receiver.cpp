#include "sim/simulated_receiver.hpp"

#include <algorithm>
#include <system_error>

#include "core/bytes/byte_io.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/firmware/updater_link.hpp"
#include "sim/normal_firmware.hpp"

namespace tessik::sim {
namespace {

static_assert(kVersionAreaSize == kUfHeaderSize);

// Each time the device comes onto the bus it is a new device instance, with a path of its own,
// as a real one gets a new node: a handle or a watcher that knew the old one sees it gone.
std::string devicePath(std::uint64_t generation) {
    return "sim:receiver/" + std::to_string(generation);
}

}  // namespace

VersionArea makeVersionHeader(const ReceiverOptions& o) {
    UfHeader h;
    h.crc16 = o.headerCrc16;
    setUfMark(h, kUfMarkType2);
    setUfName(h, o.firmwareName);
    h.versionMajor = o.versionMajor;
    h.versionMinor = o.versionMinor;
    h.versionThird = o.versionThird;
    h.date = o.date;
    h.hour = o.time[0];
    h.minute = o.time[1];
    h.flash_size = o.flashSize;
    h.page_size = 1024;
    h.vid = o.headerVid;
    h.pid = o.headerPid.value_or(o.productId);
    return encodeUfHeader(h);
}

// ---------------------------------------------------------------------------------------------
// The bus and the handles opened on it.

class SimulatedReceiver::Bus : public HidTransport {
  public:
    explicit Bus(SimulatedReceiver& receiver) : r_(receiver) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        r_.settle();
        if (!r_.present() || r_.identity_.vendorId != vendorId ||
            r_.identity_.productId != productId) {
            return {};
        }
        return {HidDeviceInfo{devicePath(r_.generation_), vendorId, productId}};
    }

    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override;

  private:
    SimulatedReceiver& r_;
};

class SimulatedReceiver::Handle : public HidDevice {
  public:
    Handle(SimulatedReceiver& receiver, std::uint64_t generation, std::size_t length)
        : r_(receiver), alive_(receiver.alive_), generation_(generation), length_(length) {}

    std::size_t featureReportLength() const override { return length_; }

    bool setFeature(std::span<const std::uint8_t> report) override {
        return done(alive_.expired() ? Error::NoDevice : r_.onSetFeature(generation_, report));
    }

    bool getFeature(std::span<std::uint8_t> report) override {
        return done(alive_.expired() ? Error::NoDevice : r_.onGetFeature(generation_, report));
    }

    std::string lastError() const override { return lastError_; }

  private:
    // The texts a Linux host shows for these failures.
    bool done(Error e) {
        switch (e) {
            case Error::None:
                return true;
            case Error::NoDevice:
                lastError_ = std::make_error_code(std::errc::no_such_device).message();
                break;
            case Error::Io:
                lastError_ = std::make_error_code(std::errc::broken_pipe).message();
                break;
            case Error::BadReport:
                lastError_ = std::make_error_code(std::errc::invalid_argument).message();
                break;
        }
        return false;
    }

    SimulatedReceiver& r_;
    std::weak_ptr<bool> alive_;
    std::uint64_t generation_;
    std::size_t length_;
    std::string lastError_;
};

std::unique_ptr<HidDevice> SimulatedReceiver::Bus::open(const HidDeviceInfo& info) {
    r_.settle();
    if (!r_.present() || r_.faults_.unopenable || info.path != devicePath(r_.generation_) ||
        info.vendorId != r_.identity_.vendorId || info.productId != r_.identity_.productId) {
        return nullptr;
    }
    ++r_.opens_;
    return std::make_unique<Handle>(r_, r_.generation_, r_.identity_.featureReportLength);
}

// ---------------------------------------------------------------------------------------------

SimulatedReceiver::SimulatedReceiver(Clock& clock, ReceiverOptions options)
    : clock_(clock),
      options_(std::move(options)),
      bus_(std::make_unique<Bus>(*this)),
      alive_(std::make_shared<bool>(true)),
      identity_{options_.vendorId, options_.productId, options_.featureReportLength},
      recordTraffic_(options_.recordTraffic),
      versionHeader_(makeVersionHeader(options_)) {
    addFirmware(std::make_shared<NormalFirmware>(*this));
    if (!options_.stateFile.empty()) {
        if (auto kept = readStateFile(options_.stateFile).table) saved_ = *kept;
    }
    reply_.reserve(identity_.featureReportLength);
    powerUp();
}

SimulatedReceiver::~SimulatedReceiver() = default;

HidTransport& SimulatedReceiver::transport() {
    return *bus_;
}

void SimulatedReceiver::plug() {
    reappearance_.reset();
    if (plugged_) return;
    plugged_ = true;
    powerUp();
}

void SimulatedReceiver::unplug() {
    plugged_ = false;
    ++generation_;
    replyValid_ = false;
    afterDelivered_ = nullptr;
}

void SimulatedReceiver::setIdentity(const Identity& identity) {
    // A device that changes how it shows itself has re-enumerated: old handles are gone.
    identity_ = identity;
    ++generation_;
    replyValid_ = false;
}

void SimulatedReceiver::reenumerate(const Identity& next,
                                    std::optional<std::uint32_t> backAfterMs) {
    unplug();
    identity_ = next;
    reappearance_.reset();
    if (backAfterMs) reappearance_ = Reappearance{clock_.tickMs(), *backAfterMs};
}

// Time-driven events are looked at whenever the host touches the bus; the clock is only read
// while one is pending, so a zero-latency receiver costs no clock reads.
void SimulatedReceiver::settle() {
    if (!reappearance_) return;
    if (clock_.tickMs() - reappearance_->since < reappearance_->afterMs) return;
    plug();
}

void SimulatedReceiver::powerUp() {
    table_ = saved_;
    captureMode_ = false;
    capture_ = CaptureBuffer{};  // what was arriving is lost with the power
    replyValid_ = false;
    afterDelivered_ = nullptr;
    for (std::size_t i = 0; i < firmware_.size(); ++i)
        firmware_[i]->onPowerUp();
}

bool SimulatedReceiver::saveTable() {
    stateFileError_.clear();
    if (!options_.stateFile.empty() &&
        !writeStateFile(options_.stateFile, table_, stateFileError_)) {
        return false;
    }
    saved_ = table_;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Transfers.

SimulatedReceiver::Error SimulatedReceiver::check(std::uint64_t generation, std::size_t reportSize,
                                                  std::uint32_t& failures) {
    if (!present() || generation != generation_) return Error::NoDevice;
    if (failures > 0) {
        if (failures != kEveryTime) --failures;
        return Error::Io;
    }
    if (reportSize != identity_.featureReportLength) return Error::BadReport;
    return Error::None;
}

SimulatedReceiver::Error SimulatedReceiver::onSetFeature(std::uint64_t generation,
                                                         std::span<const std::uint8_t> report) {
    settle();
    Error e = check(generation, report.size(), faults_.setFailures);
    if (e == Error::None && faults_.unplugAfter && *faults_.unplugAfter == 0) {
        faults_.unplugAfter.reset();
        reenumerate(identity_, faults_.replugMs);  // pulled out, and perhaps plugged in again
        e = Error::NoDevice;
    }
    if (e == Error::None && report[kReportIdOffset] != kReportId) e = Error::BadReport;
    record(Direction::Set, report, e == Error::None);
    if (e != Error::None) return e;
    ++exchanges_;
    if (faults_.unplugAfter) --*faults_.unplugAfter;
    answer(report);
    return Error::None;
}

void SimulatedReceiver::answer(std::span<const std::uint8_t> request) {
    reply_.assign(identity_.featureReportLength, 0);
    reply_[kReportIdOffset] = kReportId;
    Reply reply{reply_, 0, {}};
    Handling handling = Handling::NotMine;
    const ByteReader r(request);
    const std::uint16_t code = r.u16(kCommandCodeOffset);
    const bool nthRefused = faults_.nakExchange != 0 && --faults_.nakExchange == 0;
    if ((faults_.nakCode && *faults_.nakCode == code) || nthRefused) {
        // Refused: the firmware does not act on the request at all.
        ByteWriter w(reply.frame);
        w.u16(kCommandCodeOffset, code);
        w.u8(kStatusOffset, kStatusNak);
        // The updater's frames are answered with their ready flag set.
        if (r.u8(kFrameMarkOffset) == kUpdaterFrameMark) w.u8(kUpdaterReadyFlagOffset, 1);
        handling = Handling::Answered;
    }
    // By index: a firmware may add or remove personalities while it answers.
    for (std::size_t i = 0; i < firmware_.size() && handling == Handling::NotMine; ++i) {
        handling = firmware_[i]->onRequest(request, reply);
    }

    replyValid_ = handling == Handling::Answered;
    busyReadsLeft_ = faults_.busyReads;
    replyNotReadyMs_ = reply.notReadyForMs;
    if (replyNotReadyMs_ > 0) replyTick_ = clock_.tickMs();
    afterDelivered_ = std::move(reply.afterDelivered);
}

SimulatedReceiver::Error SimulatedReceiver::onGetFeature(std::uint64_t generation,
                                                         std::span<std::uint8_t> report) {
    settle();
    Error e = check(generation, report.size(), faults_.getFailures);
    if (e == Error::None && report[kReportIdOffset] != kReportId) e = Error::BadReport;
    if (e != Error::None) {
        record(Direction::Get, report, false);
        return e;
    }
    bool ready = replyValid_ && reply_.size() == report.size();
    if (ready && busyReadsLeft_ > 0) {
        --busyReadsLeft_;
        ready = false;
    }
    if (ready && replyNotReadyMs_ > 0 && clock_.tickMs() - replyTick_ < replyNotReadyMs_) {
        ready = false;
    }
    if (ready) {
        std::copy(reply_.begin(), reply_.end(), report.begin());
    } else {
        // Not answered yet: the updater's ready flag is clear, the status "not ready".
        std::fill(report.begin(), report.end(), 0);
        report[kReportIdOffset] = kReportId;
        report[kStatusOffset] = kStatusNotReady;
    }
    record(Direction::Get, report, true);
    if (ready && afterDelivered_) {
        auto then = std::move(afterDelivered_);
        afterDelivered_ = nullptr;
        then();
    }
    return Error::None;
}

void SimulatedReceiver::record(Direction direction, std::span<const std::uint8_t> report,
                               bool delivered) {
    if (!recordTraffic_) return;
    traffic_.push_back(
        Transfer{direction, std::vector<std::uint8_t>(report.begin(), report.end()), delivered});
}

// ---------------------------------------------------------------------------------------------
// Personalities and faults.

void SimulatedReceiver::addFirmware(std::shared_ptr<Firmware> firmware) {
    if (firmware) firmware_.insert(firmware_.begin(), std::move(firmware));
}

void SimulatedReceiver::removeFirmware(const Firmware* firmware) {
    std::erase_if(firmware_, [firmware](const auto& f) { return f.get() == firmware; });
}

bool SimulatedReceiver::applyFault(std::string_view text, std::string& error) {
    const FaultSetting setting = splitFaultSetting(text);
    FaultParse result = applyFaultOption(builtInFaultOptions(), faults_, setting, error);
    for (std::size_t i = 0; i < firmware_.size() && result == FaultParse::UnknownName; ++i) {
        result = firmware_[i]->applyFault(setting, error);
    }
    if (result == FaultParse::UnknownName) {
        error = "unknown fault \"" + std::string(setting.name) + "\"";
    }
    return result == FaultParse::Applied;
}

std::vector<FaultInfo> SimulatedReceiver::faultCatalogue() const {
    std::vector<FaultInfo> all = faultInfos(builtInFaultOptions());
    for (const auto& f : firmware_) {
        const auto more = f->faultCatalogue();
        all.insert(all.end(), more.begin(), more.end());
    }
    return all;
}

}  // namespace tessik::sim
