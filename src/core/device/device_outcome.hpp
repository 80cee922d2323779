#pragma once
// What became of an exchange with the receiver. The link, the boot loader's link and the
// procedures above them report it; the window and the command line decide what to show, and
// both take the words from deviceOutcomeText.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/device/notifier.hpp"
#include "core/text/language.hpp"

namespace tessik {

enum class DeviceError : std::uint8_t {
    None,            // acknowledged
    NotConnected,    // no device with the link's identity when the transfer started
    NoPermission,    // one is there, but this user may not open it
    Nak,             // the device refused the command (status 21)
    NoReply,         // the device stayed busy, or never set its ready flag: nothing is told
    TransferFailed,  // the platform failed the transfer, every retry (its text attached)
    DeviceGone,      // ... because the device has left the bus (its text attached)
};

struct DeviceOutcome {
    DeviceError error = DeviceError::None;
    std::string osText;  // the platform's text for the last failed call, when it gave one

    bool ok() const { return error == DeviceError::None; }
    // The device is not there (any more): a user is better told that than the step that failed.
    bool absent() const {
        return error == DeviceError::NotConnected || error == DeviceError::DeviceGone;
    }
    bool operator==(const DeviceOutcome&) const = default;
};

// The words for an outcome in `language`: "The device is not connected.", the permission text
// (string 149), "The infrared data has not been obtained.", the platform's own text for a failed
// transfer; empty for None and NoReply, which are not told.
std::string_view deviceOutcomeText(const DeviceOutcome& outcome, Language language);

// The window's box for an outcome: caption "Error", the information icon. The link's own two
// texts (not connected, NAK) are Japanese in every interface language, as the receiver's users
// have always seen them; the permission text follows the interface language. Nothing for an
// outcome that is not told.
std::optional<Message> deviceOutcomeBox(const DeviceOutcome& outcome, Language uiLanguage);

// Shows deviceOutcomeBox through `notifier`, when there is one.
void showDeviceOutcome(Notifier& notifier, const DeviceOutcome& outcome, Language uiLanguage);

}  // namespace tessik
