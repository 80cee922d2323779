#pragma once
// printf-style formatting of the tool's own message templates ("Is No.%d deleted?",
// "Firmware Ver %d.%d.%d", "0x%I64X"), type-checked at run time instead of trusting varargs.
// Supported: %%, flags '0' and '-', a width, the length prefixes l, ll, h, hh and I64 (ignored),
// and the conversions d, i, u, x, X, c and s. A conversion without an argument, or of the wrong
// kind, is copied out literally.

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace tessik {

// One argument: any integer (kept signed or unsigned as given) or a UTF-8 text.
class FormatArg {
  public:
    template <std::integral T>
    FormatArg(T v) {  // NOLINT(google-explicit-constructor): used in braced argument lists
        if constexpr (std::is_signed_v<T>) {
            value_ = static_cast<std::int64_t>(v);
        } else {
            value_ = static_cast<std::uint64_t>(v);
        }
    }
    FormatArg(std::string_view s) : value_(s) {}  // NOLINT(google-explicit-constructor)
    FormatArg(const char* s) : value_(std::string_view(s)) {}         // NOLINT
    FormatArg(const std::string& s) : value_(std::string_view(s)) {}  // NOLINT

    const std::variant<std::int64_t, std::uint64_t, std::string_view>& value() const {
        return value_;
    }

  private:
    std::variant<std::int64_t, std::uint64_t, std::string_view> value_;
};

std::string formatText(std::string_view fmt, std::initializer_list<FormatArg> args);

// Text taken from the user's input, safe to echo on a terminal: bytes below 0x20 (other than
// tab) and 0x7F are shown as \xNN, so a bad file cannot move the cursor or change colours.
std::string escapeControlBytes(std::string_view input);

// A code value as the lists show it: "0x" and upper-case hex without leading zeros.
std::string codeValueText(std::uint64_t value);

}  // namespace tessik
