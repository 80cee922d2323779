#pragma once
// What the capture dialog and the button test say beyond the numbered messages, in English and
// Japanese.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/language.hpp"

namespace tessik {

enum class CaptureText {
    Arriving,         // the prompt while a press is coming in and being read
    Unplugged,        // the one message when the receiver leaves
    CapturePlugIn,    // the capture's prompt afterwards
    TestUnplugged,    // the button test's message when the receiver leaves
    TestPlugIn,       // the button test's prompt afterwards
    TestPrompt,       // the button test's prompt while it listens
    TestCutShort,     // a press the test could not read whole
    TestNothingRead,  // a press that decoded to nothing
};
std::string_view captureText(CaptureText id, Language language);

// "1–3, 5": rows (slots, shown from 1), runs of neighbours joined.
std::string rowsText(const std::vector<std::size_t>& slots);

// The capture's prompt while the code of an existing row is captured again, and once it is
// stored.
std::string recapturePromptText(std::size_t slot, Language language);
std::string recapturedText(std::size_t slot, Language language);
// The button of the length refusal that captures `slot` again: "Re-capture No 1".
std::string recaptureButtonText(std::size_t slot, Language language);

// The line under the length refusal: "This code is 32 bits long; No 1 is 11 bits long.", and
// with `offer` why capturing that row again is offered.
std::string otherLengthText(std::uint16_t bits, const std::vector<std::size_t>& slots,
                            std::uint16_t theirBits, std::optional<std::size_t> offer,
                            Language language);
// The line under "This button is already taken in.": "Stored as No 3 (Up)."
std::string storedAsText(std::size_t slot, std::u16string_view comment, Language language);

}  // namespace tessik
