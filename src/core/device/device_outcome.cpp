#include "core/device/device_outcome.hpp"

#include "core/text/bilingual.hpp"
#include "core/text/strings.hpp"

namespace tessik {
namespace {

// The link's refusal text. "Not connected" is string 142, in both languages the same words.
constexpr Bilingual kNakText{"The infrared data has not been obtained.",
                             "赤外線データが取得されていません"};

}  // namespace

std::string_view deviceOutcomeText(const DeviceOutcome& outcome, Language language) {
    switch (outcome.error) {
        case DeviceError::None:
        case DeviceError::NoReply:
            return {};
        case DeviceError::NotConnected:
            return text(StringId::DeviceNotConnected, language);
        case DeviceError::NoPermission:
            return text(StringId::DeviceAccessDenied, language);
        case DeviceError::Nak:
            return pick(kNakText, language);
        case DeviceError::TransferFailed:
        case DeviceError::DeviceGone:
            return outcome.osText;
    }
    return {};
}

std::optional<Message> deviceOutcomeBox(const DeviceOutcome& outcome, Language uiLanguage) {
    const bool linksOwn =
        outcome.error == DeviceError::NotConnected || outcome.error == DeviceError::Nak;
    const std::string_view words =
        deviceOutcomeText(outcome, linksOwn ? Language::Japanese : uiLanguage);
    if (words.empty()) return std::nullopt;
    // A failure, so the warning icon, under the link's own caption: a screen reader announces
    // it as the alert it is.
    return Message{std::string(kErrorCaption), std::string(words), MessageKind::Warning};
}

void showDeviceOutcome(Notifier& notifier, const DeviceOutcome& outcome, Language uiLanguage) {
    if (const auto box = deviceOutcomeBox(outcome, uiLanguage)) notifier.show(*box);
}

}  // namespace tessik
