#include "sim/simulated_receiver.hpp"

#include <algorithm>
#include <system_error>

#include "core/bytes/byte_io.hpp"
#include "sim/normal_firmware.hpp"

namespace tessik::sim {
namespace {

constexpr std::string_view kDevicePath = "sim:receiver";
constexpr std::uint8_t kReportId = 1;
constexpr std::uint8_t kStatusNotReady = 1;
constexpr std::uint8_t kUpdaterFrameMark = 0x01;

// uf_header offsets.
constexpr std::size_t kHeaderMark = 2;
constexpr std::size_t kHeaderName = 18;
constexpr std::size_t kHeaderNameSize = 32;
constexpr std::size_t kHeaderVersion = 50;
constexpr std::size_t kHeaderDate = 53;
constexpr std::size_t kHeaderTime = 56;
constexpr std::size_t kHeaderFlashSize = 60;
constexpr std::size_t kHeaderPageSize = 64;
constexpr std::size_t kHeaderVid = 76;
constexpr std::size_t kHeaderPid = 78;
constexpr std::string_view kHeaderMarkText = "DER32UVE2_UF";  // with its 0: 13 bytes

}  // namespace

VersionArea makeVersionHeader(const ReceiverOptions& o) {
    VersionArea h{};
    ByteWriter w(h);
    w.u16(0, o.headerCrc16);
    for (std::size_t i = 0; i < kHeaderMarkText.size(); ++i) {
        w.u8(kHeaderMark + i, static_cast<std::uint8_t>(kHeaderMarkText[i]));
    }
    const std::size_t nameLength = std::min(o.firmwareName.size(), kHeaderNameSize - 1);
    for (std::size_t i = 0; i < nameLength; ++i) {
        w.u8(kHeaderName + i, static_cast<std::uint8_t>(o.firmwareName[i]));
    }
    w.u8(kHeaderVersion, o.versionMajor);
    w.u8(kHeaderVersion + 1, o.versionMinor);
    w.u8(kHeaderVersion + 2, o.versionThird);
    for (std::size_t i = 0; i < o.date.size(); ++i)
        w.u8(kHeaderDate + i, o.date[i]);
    for (std::size_t i = 0; i < o.time.size(); ++i)
        w.u8(kHeaderTime + i, o.time[i]);
    w.u32(kHeaderFlashSize, o.flashSize);
    w.u32(kHeaderPageSize, 1024);
    w.u16(kHeaderVid, o.headerVid);
    w.u16(kHeaderPid, o.headerPid.value_or(o.productId));
    return h;
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
        return {HidDeviceInfo{std::string(kDevicePath), vendorId, productId}};
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
    if (!r_.present() || r_.faults_.unopenable || info.path != kDevicePath ||
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
      versionHeader_(makeVersionHeader(options_)),
      normal_(std::make_unique<NormalFirmware>(*this)) {
    if (!options_.stateFile.empty()) {
        if (auto kept = readStateFile(options_.stateFile)) saved_ = *kept;
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
    capture_.clear();
    replyValid_ = false;
    afterDelivered_ = nullptr;
    for (std::size_t i = 0; i < firmware_.size(); ++i)
        firmware_[i]->onPowerUp();
    normal_->onPowerUp();
}

void SimulatedReceiver::saveTable() {
    saved_ = table_;
    if (options_.stateFile.empty()) return;
    stateFileError_.clear();
    writeStateFile(options_.stateFile, saved_, stateFileError_);
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
        unplug();
        e = Error::NoDevice;
    }
    if (e == Error::None && report[0] != kReportId) e = Error::BadReport;
    record(Direction::Set, report, e == Error::None);
    if (e != Error::None) return e;
    ++exchanges_;
    if (faults_.unplugAfter) --*faults_.unplugAfter;
    answer(report);
    return Error::None;
}

void SimulatedReceiver::answer(std::span<const std::uint8_t> request) {
    reply_.assign(identity_.featureReportLength, 0);
    reply_[0] = kReportId;
    Reply reply{reply_, 0, {}};
    Handling handling = Handling::NotMine;
    const std::uint16_t code = ByteReader(request).u16(4);
    const bool nthRefused = faults_.nakExchange != 0 && --faults_.nakExchange == 0;
    if ((faults_.nakCode && *faults_.nakCode == code) || nthRefused) {
        // Refused: the firmware does not act on the request at all.
        ByteWriter(reply.frame).u16(4, code);
        reply_[3] = kStatusNak;
        // The updater's frames (byte 3 = 1) are answered with a ready flag in byte 1.
        if (ByteReader(request).u8(3) == kUpdaterFrameMark) ByteWriter(reply.frame).u8(1, 1);
        handling = Handling::Answered;
    }
    // By index: a firmware may add or remove personalities while it answers.
    for (std::size_t i = 0; i < firmware_.size() && handling == Handling::NotMine; ++i) {
        handling = firmware_[i]->onRequest(request, reply);
    }
    if (handling == Handling::NotMine) handling = normal_->onRequest(request, reply);

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
    if (e == Error::None && report[0] != kReportId) e = Error::BadReport;
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
        // Not answered yet: the updater's ready flag (byte 1) is clear, the status is 1.
        std::fill(report.begin(), report.end(), 0);
        report[0] = kReportId;
        report[3] = kStatusNotReady;
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
    FaultParse result = applyBuiltInFault(faults_, setting, error);
    for (std::size_t i = 0; i < firmware_.size() && result == FaultParse::UnknownName; ++i) {
        result = firmware_[i]->applyFault(setting, error);
    }
    if (result == FaultParse::UnknownName) result = normal_->applyFault(setting, error);
    if (result == FaultParse::UnknownName) {
        error = "unknown fault \"" + std::string(setting.name) + "\"";
    }
    return result == FaultParse::Applied;
}

std::vector<FaultInfo> SimulatedReceiver::faultCatalogue() const {
    std::vector<FaultInfo> all(builtInFaults().begin(), builtInFaults().end());
    for (const auto& f : firmware_) {
        const auto more = f->faultCatalogue();
        all.insert(all.end(), more.begin(), more.end());
    }
    const auto normal = normal_->faultCatalogue();
    all.insert(all.end(), normal.begin(), normal.end());
    return all;
}

}  // namespace tessik::sim
