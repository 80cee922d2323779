// LIRC's "lircd.conf": remotes described by their timings, buttons by their codes.
//
//   begin remote
//     name   TV
//     bits   16
//     flags  SPACE_ENC|CONST_LENGTH
//     header 9000 4500
//     one    560 1690
//     zero   560 560
//     ptrail 560
//     pre_data_bits 16
//     pre_data 0x7AA1
//     begin codes
//       KEY_POWER 0xF708
//     end codes
//   end remote
//
// A code is sent as the header (burst, pause), the lead burst, the pre-data, the code's bits
// and the post-data, most significant bit first (least first with REVERSE), each bit as the
// burst and pause of "one" or "zero", then the trailing burst. Remotes with RAW_CODES list
// their buttons' durations instead. RC5, RC6 and SHIFT_ENC remotes are bi-phase codes, which
// the receiver cannot learn; other encodings LIRC knows are refused by name.

#include <string>

#include "core/ir/ir_protocols.hpp"
#include "core/ir/signal_text.hpp"
#include "core/text/format.hpp"

namespace tessik::signal_text {
namespace {

// More bits than this cannot be one code of the receiver's; the limit keeps absurd numbers
// from building huge signals.
constexpr std::uint64_t kMaxFieldBits = 64;
constexpr std::uint64_t kMaxDuration = 10'000'000;  // 10 s: longer is no IR timing

struct Remote {
    std::string name;
    std::uint64_t bits = 0;
    std::string flags;
    bool reverse = false;  // REVERSE among the flags, looked up once for all its codes
    std::uint64_t header[2]{};
    std::uint64_t one[2]{};
    std::uint64_t zero[2]{};
    std::uint64_t ptrail = 0;
    std::uint64_t plead = 0;
    std::uint64_t preBits = 0;
    std::uint64_t pre = 0;
    std::uint64_t postBits = 0;
    std::uint64_t post = 0;
};

bool hasFlag(const std::string& flags, std::string_view flag) {
    std::size_t start = 0;
    while (start <= flags.size()) {
        const std::size_t bar = flags.find('|', start);
        const std::string_view part = trim(std::string_view(flags).substr(
            start, bar == std::string::npos ? std::string::npos : bar - start));
        if (part == flag) return true;
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return false;
}

// Why the remote's codes cannot become signals, or empty.
std::string encodingProblem(const Remote& r) {
    if (hasFlag(r.flags, "RC5") || hasFlag(r.flags, "RC6") || hasFlag(r.flags, "SHIFT_ENC")) {
        return std::string(kBiphaseReason);
    }
    for (const char* other : {"SPACE_FIRST", "GRUNDIG", "BO", "SERIAL", "XMP", "GOLDSTAR"}) {
        if (hasFlag(r.flags, other)) {
            return "the LIRC encoding " + std::string(other) + " is not one this receiver decodes";
        }
    }
    return {};
}

std::vector<std::uint16_t> render(const Remote& r, std::uint64_t code) {
    const bool reverse = r.reverse;
    DurationBuilder d;
    d.burst(r.header[0]);
    d.pause(r.header[1]);
    d.burst(r.plead);
    auto send = [&](std::uint64_t value, std::uint64_t count) {
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t bit = reverse ? i : count - 1 - i;
            const bool one = ((value >> bit) & 1) != 0;
            d.burst(one ? r.one[0] : r.zero[0]);
            d.pause(one ? r.one[1] : r.zero[1]);
        }
    };
    send(r.pre, r.preBits);
    send(code, r.bits);
    send(r.post, r.postBits);
    d.burst(r.ptrail);
    return d.finish();
}

class LircReader {
  public:
    RawSignalsParse read(std::string_view text) {
        std::string_view line;
        while (nextLine(text, line)) {
            ++lineNo_;
            const std::size_t hash = line.find('#');
            if (hash != std::string_view::npos) line = line.substr(0, hash);
            const std::vector<std::string_view> w = words(line);
            if (w.empty()) continue;
            if (!take(w)) return std::move(result_);
        }
        if (state_ != State::Outside) {
            result_.error = lineError(lineNo_, "the file ends inside a \"begin\" block");
            return std::move(result_);
        }
        result_.ok = true;
        return std::move(result_);
    }

  private:
    enum class State { Outside, InRemote, InCodes, InRawCodes };

    bool error(std::string_view what) {
        result_.error = lineError(lineNo_, what);
        return false;
    }

    bool values(const std::vector<std::string_view>& w, std::uint64_t* into, std::size_t count,
                std::uint64_t max) {
        if (w.size() != count + 1) {
            return error(formatText("%s takes %d value(s)", {escapeControlBytes(w[0]), count}));
        }
        for (std::size_t i = 0; i < count; ++i) {
            const auto v = number(w[i + 1], max);
            if (!v) {
                return error(quoted(w[i + 1]) + " is not a number " + "(or is too large) for " +
                             escapeControlBytes(w[0]));
            }
            into[i] = *v;
        }
        return true;
    }

    bool take(const std::vector<std::string_view>& w) {
        switch (state_) {
            case State::Outside:
                if (w.size() == 2 && w[0] == "begin" && w[1] == "remote") {
                    remote_ = Remote{};
                    state_ = State::InRemote;
                    return true;
                }
                return error("expected \"begin remote\"");
            case State::InRemote:
                return remoteLine(w);
            case State::InCodes:
                return codeLine(w);
            case State::InRawCodes:
                return rawCodeLine(w);
        }
        return false;
    }

    bool remoteLine(const std::vector<std::string_view>& w) {
        const std::string_view key = w[0];
        if (w.size() == 2 && key == "end" && w[1] == "remote") {
            state_ = State::Outside;
            return true;
        }
        if (w.size() == 2 && key == "begin" && (w[1] == "codes" || w[1] == "raw_codes")) {
            if (w[1] == "codes" && remote_.bits == 0) return error("codes without \"bits\"");
            state_ = w[1] == "codes" ? State::InCodes : State::InRawCodes;
            problem_ = encodingProblem(remote_);
            remote_.reverse = hasFlag(remote_.flags, "REVERSE");
            return true;
        }
        if (key == "name") {
            // Cut here, as every button's name repeats it.
            remote_.name = w.size() > 1 ? clippedName(w[1]) : std::string();
            return true;
        }
        if (key == "flags") {
            remote_.flags.clear();
            for (std::size_t i = 1; i < w.size(); ++i)
                remote_.flags += std::string(w[i]);
            return true;
        }
        if (key == "bits") return values(w, &remote_.bits, 1, kMaxFieldBits);
        if (key == "header") return values(w, remote_.header, 2, kMaxDuration);
        if (key == "one") return values(w, remote_.one, 2, kMaxDuration);
        if (key == "zero") return values(w, remote_.zero, 2, kMaxDuration);
        if (key == "ptrail") return values(w, &remote_.ptrail, 1, kMaxDuration);
        if (key == "plead") return values(w, &remote_.plead, 1, kMaxDuration);
        if (key == "pre_data_bits") return values(w, &remote_.preBits, 1, kMaxFieldBits);
        if (key == "pre_data") return values(w, &remote_.pre, 1, UINT64_MAX);
        if (key == "post_data_bits") return values(w, &remote_.postBits, 1, kMaxFieldBits);
        if (key == "post_data") return values(w, &remote_.post, 1, UINT64_MAX);
        return true;  // gap, eps, aeps, toggle masks, frequency...: nothing the frame needs
    }

    // A button's signal, named by the button; the remote's name says which remote it is.
    RawSignal signal(std::string_view button) const {
        RawSignal s;
        s.name = std::string(button);
        s.protocol = "lircd.conf";
        s.remote = remote_.name;
        return s;
    }

    bool codeLine(const std::vector<std::string_view>& w) {
        if (w.size() == 2 && w[0] == "end" && w[1] == "codes") {
            state_ = State::InRemote;
            return true;
        }
        if (w.size() < 2) return error("expected a button name and its code");
        // A button may list more codes after the first (sent in turn); its first is its code.
        const auto code = number(w[1]);
        if (!code) return error(quoted(w[1]) + " is not a code");
        RawSignal s = signal(w[0]);
        s.unlearnable = problem_;
        if (problem_.empty()) s.durations = render(remote_, *code);
        return keepSignal(result_, std::move(s), lineNo_);
    }

    bool rawCodeLine(const std::vector<std::string_view>& w) {
        if (w.size() == 2 && w[0] == "end" && w[1] == "raw_codes") {
            state_ = State::InRemote;
            return true;
        }
        if (w[0] == "name") {
            if (w.size() != 2) return error("expected \"name BUTTON\"");
            return keepSignal(result_, signal(w[1]), lineNo_);
        }
        if (result_.found.empty() || result_.found.back().protocol != "lircd.conf") {
            return error("durations before the first \"name\"");
        }
        std::vector<std::uint16_t>& d = result_.found.back().durations;
        for (const std::string_view word : w) {
            const auto us = number(word, kMaxDuration);
            if (!us) return error(quoted(word) + " is not a duration");
            d.push_back(period(*us));
        }
        return true;
    }

    RawSignalsParse result_;
    std::size_t lineNo_ = 0;
    State state_ = State::Outside;
    Remote remote_;
    std::string problem_;
};

}  // namespace

RawSignalsParse parseLircConf(std::string_view text) {
    return LircReader().read(text);
}

}  // namespace tessik::signal_text
