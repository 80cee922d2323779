// What the window and the command line tell of each outcome of an exchange, in both languages.

#include <gtest/gtest.h>

#include "core/device/device_outcome.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

// The command line takes the English words, the window the box: the link's own two texts in
// Japanese whatever the interface language, the permission text in the interface language, the
// platform's text as it stands.
TEST(DeviceOutcomeText, eachOutcomeHasItsWordsAndTheWindowsBoxKeepsTheLinksJapaneseTexts) {
    const std::string denied = std::string(text(StringId::DeviceAccessDenied, Language::English));
    const std::string deniedJa =
        std::string(text(StringId::DeviceAccessDenied, Language::Japanese));
    const std::string notConnectedJa =
        std::string(text(StringId::DeviceNotConnected, Language::Japanese));
    // The refusal's Japanese words stand only in the table itself.
    const std::string nakJa(deviceOutcomeText({DeviceError::Nak, ""}, Language::Japanese));
    ASSERT_NE(nakJa, "");
    using E = DeviceError;
    const struct {
        DeviceOutcome outcome;
        std::string english, japanese;
        std::optional<std::string> boxEnglishUi, boxJapaneseUi;
    } cases[] = {
        {{E::None, ""}, "", "", {}, {}},
        {{E::NoReply, ""}, "", "", {}, {}},
        {{E::NotConnected, ""},
         "The device is not connected.",
         notConnectedJa,
         notConnectedJa,
         notConnectedJa},
        {{E::Nak, ""}, "The infrared data has not been obtained.", nakJa, nakJa, nakJa},
        {{E::NoPermission, ""}, denied, deniedJa, denied, deniedJa},
        {{E::TransferFailed, "Broken pipe"},
         "Broken pipe",
         "Broken pipe",
         "Broken pipe",
         "Broken pipe"},
        {{E::DeviceGone, "No such device"},
         "No such device",
         "No such device",
         "No such device",
         "No such device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome.error));
        EXPECT_EQ(deviceOutcomeText(c.outcome, Language::English), c.english);
        EXPECT_EQ(deviceOutcomeText(c.outcome, Language::Japanese), c.japanese);
        const auto box = [&](Language ui) -> std::optional<Message> {
            return deviceOutcomeBox(c.outcome, ui);
        };
        EXPECT_EQ(box(Language::English),
                  c.boxEnglishUi ? std::optional(errorBox(*c.boxEnglishUi)) : std::nullopt);
        EXPECT_EQ(box(Language::Japanese),
                  c.boxJapaneseUi ? std::optional(errorBox(*c.boxJapaneseUi)) : std::nullopt);
    }
}

}  // namespace
}  // namespace tessik::test
