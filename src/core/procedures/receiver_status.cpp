#include "core/procedures/receiver_status.hpp"

#include "core/firmware/uf_header.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr Bilingual kConnected{"Receiver connected", "受信機を接続中"};
constexpr Bilingual kSimulated{"Simulated receiver", "シミュレーション受信機"};
constexpr Bilingual kFirmware{" – firmware %d.%d.%d", " – ファームウェア %d.%d.%d"};
constexpr Bilingual kNotConnected{"No receiver connected", "受信機が接続されていません"};
constexpr Bilingual kNoPermission{"Receiver found, but you may not open it (see Help)",
                                  "受信機がありますが、開く権限がありません（ヘルプを参照）"};
constexpr Bilingual kUpdateWaiting{"Receiver waiting for a firmware update",
                                   "受信機はファームウェアアップデートを待っています"};

}  // namespace

ReceiverState receiverState(StartupFinding finding) {
    switch (finding) {
        case StartupFinding::Normal:
        case StartupFinding::Alternate:
            return ReceiverState::Connected;
        case StartupFinding::UpdateWaiting:
            return ReceiverState::UpdateWaiting;
        case StartupFinding::AccessDenied:
            return ReceiverState::NoPermission;
        case StartupFinding::NotFound:
            break;
    }
    return ReceiverState::NotConnected;
}

std::string receiverStatusText(ReceiverState state, bool simulated, const VersionArea& versionArea,
                               Language language) {
    switch (state) {
        case ReceiverState::NotConnected:
            return std::string(pick(kNotConnected, language));
        case ReceiverState::NoPermission:
            return std::string(pick(kNoPermission, language));
        case ReceiverState::UpdateWaiting:
            return std::string(pick(kUpdateWaiting, language));
        case ReceiverState::Connected:
            break;
    }
    std::string line(pick(simulated ? kSimulated : kConnected, language));
    // A running firmware's header always carries a CRC; an all-zero area was never answered.
    const UfHeader h = decodeUfHeader(versionArea);
    if (h.crc16 != 0) {
        line +=
            formatText(pick(kFirmware, language), {h.versionMajor, h.versionMinor, h.versionThird});
    }
    return line;
}

}  // namespace tessik
