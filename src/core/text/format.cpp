#include "core/text/format.hpp"

#include <cstddef>

namespace tessik {
namespace {

std::string digits(std::uint64_t v, unsigned base, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), set[v % base]);
        v /= base;
    } while (v != 0);
    return s;
}

std::string pad(std::string body, std::size_t width, bool zero, bool left, bool negative) {
    std::string sign = negative ? "-" : "";
    const std::size_t len = body.size() + sign.size();
    if (len >= width) return sign + body;
    const std::size_t fill = width - len;
    if (left) return sign + body + std::string(fill, ' ');
    if (zero) return sign + std::string(fill, '0') + body;
    return std::string(fill, ' ') + sign + body;
}

}  // namespace

std::string formatText(std::string_view fmt, std::initializer_list<FormatArg> args) {
    std::string out;
    auto next = args.begin();
    std::size_t i = 0;
    while (i < fmt.size()) {
        if (fmt[i] != '%') {
            out.push_back(fmt[i++]);
            continue;
        }
        const std::size_t start = i++;
        if (i < fmt.size() && fmt[i] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        bool zero = false, left = false;
        while (i < fmt.size() && (fmt[i] == '0' || fmt[i] == '-')) {
            (fmt[i] == '0' ? zero : left) = true;
            ++i;
        }
        std::size_t width = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9')
            width = width * 10 + (fmt[i++] - '0');
        if (fmt.substr(i, 3) == "I64") i += 3;
        while (i < fmt.size() && (fmt[i] == 'l' || fmt[i] == 'h'))
            ++i;
        if (i >= fmt.size()) {
            out.append(fmt.substr(start));
            break;
        }
        const char conv = fmt[i++];
        const bool known = conv == 'd' || conv == 'i' || conv == 'u' || conv == 'x' ||
                           conv == 'X' || conv == 'c' || conv == 's';
        if (!known || next == args.end()) {
            out.append(fmt.substr(start, i - start));
            continue;
        }
        const auto& arg = (next++)->value();
        if (conv == 's') {
            const auto* s = std::get_if<std::string_view>(&arg);
            out += s ? pad(std::string(*s), width, false, left, false) : std::string();
            continue;
        }
        if (std::holds_alternative<std::string_view>(arg)) {
            out.append(fmt.substr(start, i - start));
            continue;
        }
        const bool isSigned = std::holds_alternative<std::int64_t>(arg);
        const std::int64_t sv = isSigned ? std::get<std::int64_t>(arg) : 0;
        const std::uint64_t uv =
            isSigned ? static_cast<std::uint64_t>(sv) : std::get<std::uint64_t>(arg);
        if (conv == 'c') {
            out.push_back(static_cast<char>(uv));
        } else if (conv == 'x' || conv == 'X') {
            out += pad(digits(uv, 16, conv == 'X'), width, zero, left, false);
        } else if ((conv == 'd' || conv == 'i') && isSigned && sv < 0) {
            out +=
                pad(digits(0 - static_cast<std::uint64_t>(sv), 10, false), width, zero, left, true);
        } else {
            out += pad(digits(uv, 10, false), width, zero, left, false);
        }
    }
    return out;
}

std::string codeValueText(std::uint64_t value) {
    return formatText("0x%I64X", {value});
}

std::string escapeControlBytes(std::string_view input) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(input.size());
    for (const char ch : input) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace tessik
