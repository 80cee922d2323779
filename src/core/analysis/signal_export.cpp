#include "core/analysis/signal_export.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/bytes/utf.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/ir_protocols.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint32_t kCarrierHz = 38000;
// The silence after a frame before it may be sent again (lircd.conf's gap, Pronto's last pause).
constexpr std::uint32_t kLeadOutUs = 40000;
// Pronto's carrier word for 38 kHz; one unit of its periods lasts the word x 0.241246 us.
constexpr std::uint16_t kProntoCarrierWord = 0x006D;
constexpr double kProntoClockUs = 0.241246;
// A lircd.conf code is one number; longer codes are written as raw codes.
constexpr std::uint16_t kLircMaxBits = 64;
constexpr std::string_view kIrHeader = "Filetype: IR signals file\nVersion: 1\n";

constexpr std::array<ExportFormatInfo, 4> kFormats{{
    {ExportFormat::IrSignals, "ir", "ir", {"IR signal file", "赤外線信号ファイル"}},
    {ExportFormat::LircConf, "lircd", "conf", {"LIRC configuration", "LIRC 設定ファイル"}},
    {ExportFormat::Pronto, "pronto", "txt", {"Pronto hex", "Pronto 16 進コード"}},
    {ExportFormat::Csv, "csv", "csv", {"CSV table", "CSV 表"}},
}};

struct Button {
    std::size_t slot;
    const ButtonRecord* record;
    std::string name;
    const CodeRecord& code() const { return record->code; }
};

// --- Names ------------------------------------------------------------------------------------

// lircd.conf splits lines at blanks and ends them at "#"; a Pronto line's name ends at its
// colon, and a blank could spell "begin remote", which would make the file read as lircd.conf.
char16_t safeUnit(char16_t c, ExportFormat format) {
    if (format == ExportFormat::LircConf && (c == u' ' || c == u'#')) return u'_';
    if (format == ExportFormat::Pronto && (c == u' ' || c == u':')) return u'_';
    return c;
}

std::u16string safeName(std::u16string_view comment, ExportFormat format) {
    std::u16string name;
    for (const char16_t c : comment)
        name += c < 0x20 || c == 0x7F ? u' ' : c;  // a line break would end the name's line
    // Readers drop the blanks around a name.
    const std::size_t first = name.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    name = name.substr(first, name.find_last_not_of(u' ') - first + 1);
    for (char16_t& c : name)
        c = safeUnit(c, format);
    // A ".ir" name "SOURCE.ir / BUTTON" would read back as BUTTON of remote SOURCE; a Pronto
    // file whose first line starts "Filetype:" reads as a ".ir" file.
    if (format == ExportFormat::IrSignals && splitCollectionName(utf16ToUtf8(name))) {
        name.replace(name.find(u" / "), 3, u" - ");
    }
    if (format == ExportFormat::Pronto && name == u"Filetype") name += u'_';
    return name;
}

// LIRC compares button names without regard to case, so uniqueness does too.
std::string nameKey(const std::u16string& name) {
    std::string key = utf16ToUtf8(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

// `name` cut so that with `suffix` it still fits a comment (128 units) and what the readers
// keep of a name (kMaxSignalNameBytes of UTF-8), never between the halves of a surrogate pair.
std::u16string fitted(std::u16string name, const std::u16string& suffix) {
    const auto fits = [&suffix](const std::u16string& n) {
        return n.size() + suffix.size() <= kMaxTextChars &&
               utf16ToUtf8(n + suffix).size() <= kMaxSignalNameBytes;
    };
    while (!name.empty() && !fits(name)) {
        name.pop_back();
        if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    }
    return name + suffix;
}

// Each button's comment made safe for the format, "No_N" where that leaves nothing; a name met
// before gets "_2", "_3", ... so that no two buttons share one, nor a suffixed name another's.
void nameButtons(std::vector<Button>& buttons, ExportFormat format) {
    std::vector<std::u16string> names;
    std::unordered_set<std::string> taken;
    for (const Button& b : buttons) {
        std::u16string name = fitted(safeName(b.record->text.comment, format), {});
        if (name.empty()) name = utf8ToUtf16(formatText("No_%d", {b.slot + 1}));
        taken.insert(nameKey(name));
        names.push_back(std::move(name));
    }
    std::unordered_set<std::string> used;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        std::u16string name = names[i];
        int n = 2;
        while (used.contains(nameKey(name))) {
            do {
                name = fitted(names[i], utf8ToUtf16(formatText("_%d", {n++})));
            } while (taken.contains(nameKey(name)));
        }
        used.insert(nameKey(name));
        buttons[i].name = utf16ToUtf8(name);
    }
}

// --- Signals ----------------------------------------------------------------------------------

bool sameCode(const CodeRecord& a, const CodeRecord& b) {
    return a.format == b.format && a.bitCount == b.bitCount && a.codeBytes == b.codeBytes &&
           a.codeValue == b.codeValue;
}

// True when an import of `text` finds exactly the codes of `buttons`, in order.
bool readsBackAs(std::string_view text, std::span<const Button> buttons) {
    const RawSignalsParse parsed = parseRawSignals(text);
    if (!parsed.ok || parsed.found.size() != buttons.size()) return false;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const RawSignal& s = parsed.found[i];
        if (!s.unlearnable.empty()) return false;
        const CaptureEntries e = entriesFromDurations(s.durations);
        if (!sameCode(decodeCapture(e.low, e.high), buttons[i].code())) return false;
    }
    return true;
}

// How a drawn signal spends a group's periods. Exact gives the group's longest to the first bit
// that uses it and its shortest to every other, so that a decode finds the record's timings
// again. Apart draws the ones at their longest and everything else at its shortest: the periods
// stand as far from the 1.5x split of the decoders as the record allows, for a format that
// rounds every period.
enum class Drawing { Exact, Apart };
constexpr std::array<Drawing, 2> kDrawings{Drawing::Exact, Drawing::Apart};

class GroupPeriods {
  public:
    enum class Pick { Exact, Longest, Shortest };
    GroupPeriods(std::uint16_t max, std::uint16_t min, Pick pick)
        : max_(max), min_(min), pick_(pick) {}
    bool empty() const { return max_ < min_; }
    std::uint16_t next() {
        if (pick_ == Pick::Exact) return used_++ == 0 ? max_ : min_;
        return pick_ == Pick::Longest ? max_ : min_;
    }
    std::uint16_t shortest() const { return min_; }

  private:
    std::uint16_t max_;
    std::uint16_t min_;
    Pick pick_;
    std::size_t used_ = 0;
};

bool drawable(const CodeRecord& c) {
    return (c.format == 1 || c.format == 2) && c.bitCount != 0 && c.bitCount <= kMaxDecodedBits &&
           c.codeValue != kCodeTooLong;
}

// The record's code as `bits` data bits would pack it (type 2: the stream itself, left-aligned).
bool packsTo(const CodeRecord& c, std::size_t bits) {
    CodeRecord cut = c;
    cut.bitCount = static_cast<std::uint16_t>(bits);
    std::array<std::uint8_t, kCodeBytesCount> bytes{};
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bits; ++i) {
        const unsigned b = codeBit(cut, i);
        bytes[i / 8] = static_cast<std::uint8_t>((bytes[i / 8] << 1) | b);
        value = (value << 1) | b;
    }
    if (bits % 8 != 0) value <<= 8 - bits % 8;
    return bytes == c.codeBytes && value == c.codeValue;
}

// How many entries stood before the leader. A pulse-width record counts its bits from the
// capture's first entry (its bitCount is the index of its last data pair), so where the leader
// was not the first entry, fewer bits than bitCount carry the code: every count of leading
// entries whose bits pack to the record's code is a candidate, fewest first.
std::vector<std::size_t> leaderPositions(const CodeRecord& c) {
    if (c.format != 2) return {0};
    std::vector<std::size_t> positions;
    for (std::size_t lead = 0; lead < c.bitCount; ++lead) {
        if (packsTo(c, c.bitCount - lead)) positions.push_back(lead);
    }
    return positions;
}

// The durations of a button drawn from its record, `lead` entries before the leader; empty when
// a group its bits need has no periods.
std::vector<std::uint16_t> drawnSignal(const CodeRecord& c, std::size_t lead, Drawing drawing) {
    using Pick = GroupPeriods::Pick;
    const bool exact = drawing == Drawing::Exact;
    const bool width = c.format == 2;
    const Pick shortest = exact ? Pick::Exact : Pick::Shortest;
    GroupPeriods plain = width ? GroupPeriods(c.highMax, c.highMin, shortest)
                               : GroupPeriods(c.lowMax, c.lowMin, shortest);
    GroupPeriods one(c.oneMax, c.oneMin, exact ? Pick::Exact : Pick::Longest);
    GroupPeriods zero = width ? GroupPeriods(c.lowMax, c.lowMin, shortest)
                              : GroupPeriods(c.highMax, c.highMin, shortest);
    // Bursts before the leader are shorter than it (and than a burst that is a leader by its
    // length alone), or the decoder would take one for the leader. No group counts them.
    const auto shortBurst =
        static_cast<std::uint16_t>(std::min<std::uint16_t>(c.leaderLow / 2, kLeaderThreshold));
    if (lead > 0 && (plain.empty() || shortBurst == 0)) return {};
    CodeRecord bits = c;
    bits.bitCount = static_cast<std::uint16_t>(c.bitCount - lead);
    std::vector<std::uint16_t> d;
    d.reserve(2 * c.bitCount + 3);
    for (std::size_t i = 0; i < lead; ++i)
        d.insert(d.end(), {shortBurst, plain.shortest()});
    d.insert(d.end(), {c.leaderLow, c.leaderHigh});
    for (std::size_t i = 0; i < bits.bitCount; ++i) {
        GroupPeriods& bit = codeBit(bits, i) != 0 ? one : zero;
        if (bit.empty() || plain.empty()) return {};
        const std::uint16_t bitPeriod = bit.next();
        const std::uint16_t plainPeriod = plain.next();
        d.push_back(width ? bitPeriod : plainPeriod);
        d.push_back(width ? plainPeriod : bitPeriod);
    }
    // The last entry of a capture is never analysed: one more burst ends the frame.
    d.push_back(width ? (zero.empty() ? one.shortest() : zero.shortest()) : plain.shortest());
    return d;
}

// The first drawing of the button's signal that `accepted` takes; empty when none is.
template <typename Accept>
std::vector<std::uint16_t> acceptedDrawing(const CodeRecord& c, Accept accepted) {
    if (!drawable(c)) return {};
    for (const Drawing drawing : kDrawings) {
        for (const std::size_t lead : leaderPositions(c)) {
            std::vector<std::uint16_t> d = drawnSignal(c, lead, drawing);
            if (!d.empty() && accepted(d)) return d;
        }
    }
    return {};
}

std::string durationsText(std::span<const std::uint16_t> d, std::size_t from, std::size_t count) {
    std::string out;
    for (std::size_t i = from; i < from + count && i < d.size(); ++i) {
        if (i > from) out += ' ';
        out += std::to_string(d[i]);
    }
    return out;
}

// --- ".ir" signal files -----------------------------------------------------------------------

struct ParsedForm {
    std::string_view protocol;
    std::uint32_t address;
    std::uint32_t command;
};

// The 48-bit household frame in the fields the format keeps (see ir_protocols.cpp): genre 2
// and genre 1 in the address's low byte, the vendor above them, the id in bits 24-25.
std::optional<ParsedForm> kaseikyoForm(const CodeRecord& c) {
    std::array<std::uint32_t, 6> d{};
    for (std::size_t k = 0; k < d.size(); ++k)
        d[k] = codeField(c, 8 * k, 8);
    if (d[5] != (d[2] ^ d[3] ^ d[4])) return std::nullopt;
    const std::uint32_t address =
        (d[3] & 0xF) | (d[2] & 0xF0) | (d[0] << 8) | (d[1] << 16) | ((d[4] >> 6) << 24);
    const std::uint32_t command = (d[3] >> 4) | ((d[4] & 0x3F) << 4);
    return ParsedForm{"Kaseikyo", address, command};
}

std::optional<ParsedForm> parsedForm(const CodeRecord& c) {
    const ProtocolName p = identifyProtocol(c);
    switch (p.kind) {
        case ProtocolKind::Nec:
            return ParsedForm{"NEC", p.address, p.command};
        case ProtocolKind::NecExtended:  // the command's second byte is its inverse
            return ParsedForm{"NECext", p.address, p.command | (~p.command & 0xFFu) << 8};
        case ProtocolKind::Samsung:
            return ParsedForm{"Samsung32", p.address, p.command};
        case ProtocolKind::Sirc12:
            return ParsedForm{"SIRC", p.address, p.command};
        case ProtocolKind::Sirc15:
            return ParsedForm{"SIRC15", p.address, p.command};
        case ProtocolKind::Sirc20:
            return ParsedForm{"SIRC20", p.address, p.command};
        case ProtocolKind::Aeha:
            if (c.bitCount == 48) return kaseikyoForm(c);
            return std::nullopt;
        case ProtocolKind::Undecoded:
        case ProtocolKind::PulseDistance:
        case ProtocolKind::PulseWidth:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string fieldBytesText(std::uint32_t value) {
    return formatText("%02X %02X %02X %02X",
                      {value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF, value >> 24});
}

// The button's block: parsed where its protocol's frame gives its code, raw otherwise; empty
// when neither reads back as its code.
std::string irBlock(const Button& b) {
    const std::string head = "#\nname: " + b.name + "\n";
    const std::span<const Button> one(&b, 1);
    if (const auto form = parsedForm(b.code())) {
        std::string block = head + "type: parsed\nprotocol: " + std::string(form->protocol) +
                            "\naddress: " + fieldBytesText(form->address) +
                            "\ncommand: " + fieldBytesText(form->command) + "\n";
        if (readsBackAs(std::string(kIrHeader) + block, one)) return block;
    }
    const auto rawBlock = [&head](std::span<const std::uint16_t> d) {
        return head + formatText("type: raw\nfrequency: %d\nduty_cycle: 0.330000\n", {kCarrierHz}) +
               "data: " + durationsText(d, 0, d.size()) + "\n";
    };
    const std::vector<std::uint16_t> d = acceptedDrawing(b.code(), [&](const auto& drawn) {
        return readsBackAs(std::string(kIrHeader) + rawBlock(drawn), one);
    });
    return d.empty() ? std::string() : rawBlock(d);
}

// --- lircd.conf -------------------------------------------------------------------------------

std::string lircRemoteHead(const std::string& remote, std::string_view flags) {
    return "begin remote\n  name  " + remote + "\n  flags " + std::string(flags) +
           "\n  eps   30\n  aeps  100\n" +
           formatText("  frequency %d\n  gap   %d\n", {kCarrierHz, kLeadOutUs});
}

std::string hexCode(std::uint64_t value, std::size_t bits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t n = (bits + 3) / 4; n > 0; --n)
        out += kDigits[(value >> (4 * (n - 1))) & 0xF];
    return "0x" + out;
}

// Every button as the bits of one remote, sent with the table's mid values; nothing when the
// codes differ in coding or length, or are longer than one lircd.conf code.
std::optional<std::string> lircCodes(const RemoteHeader& h, const std::string& remote,
                                     std::span<const Button> buttons) {
    if (buttons.empty()) return std::nullopt;
    const CodeRecord& first = buttons.front().code();
    for (const Button& b : buttons) {
        if (b.code().format != first.format || b.code().bitCount != first.bitCount) return {};
    }
    if (first.bitCount == 0 || first.bitCount > kLircMaxBits) return std::nullopt;
    // The burst that carries no bit, and the bit's own period, of a one and of a zero.
    const bool width = first.format == 2;
    const std::uint16_t plain = width ? h.high.mid : h.low.mid;
    const std::uint16_t zero = width ? h.low.mid : h.high.mid;
    std::string text = lircRemoteHead(remote, "SPACE_ENC");
    text += formatText("  bits  %d\n  header %d %d\n",
                       {first.bitCount, h.leaderLow.mid, h.leaderHigh.mid});
    text += width ? formatText("  one   %d %d\n  zero  %d %d\n", {h.one.mid, plain, zero, plain})
                  : formatText("  one   %d %d\n  zero  %d %d\n", {plain, h.one.mid, plain, zero});
    text += formatText("  ptrail %d\n  begin codes\n", {width ? zero : plain});
    for (const Button& b : buttons) {
        std::uint64_t code = 0;
        for (std::size_t i = 0; i < first.bitCount; ++i)
            code = (code << 1) | codeBit(b.code(), i);
        text += "    " + b.name + "  " + hexCode(code, first.bitCount) + "\n";
    }
    return text + "  end codes\nend remote\n";
}

std::string lircRawCodes(const std::string& remote, std::span<const Button> buttons,
                         const std::vector<std::vector<std::uint16_t>>& signals) {
    constexpr std::size_t kPerLine = 8;
    std::string text = lircRemoteHead(remote, "RAW_CODES") + "  begin raw_codes\n";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        text += "    name " + buttons[i].name + "\n";
        for (std::size_t at = 0; at < signals[i].size(); at += kPerLine)
            text += "      " + durationsText(signals[i], at, kPerLine) + "\n";
    }
    return text + "  end raw_codes\nend remote\n";
}

std::string lircRemoteName(const RemoteModel& model) {
    const std::u16string safe = safeName(model.shownName(), ExportFormat::LircConf);
    return safe.empty() ? "remote" : utf16ToUtf8(safe);
}

// --- Pronto hex -------------------------------------------------------------------------------

std::string prontoLine(const Button& b, std::span<const std::uint16_t> d) {
    constexpr double unit = kProntoCarrierWord * kProntoClockUs;
    std::vector<std::uint32_t> words;
    for (const std::uint16_t us : d)
        words.push_back(std::clamp<std::uint32_t>(
            static_cast<std::uint32_t>(std::lround(us / unit)), 1, 0xFFFF));
    words.push_back(static_cast<std::uint32_t>(std::lround(kLeadOutUs / unit)));
    std::string line =
        b.name + formatText(": 0000 %04X %04X 0000", {kProntoCarrierWord, words.size() / 2});
    for (const std::uint32_t w : words)
        line += formatText(" %04X", {w});
    return line + "\n";
}

// --- CSV --------------------------------------------------------------------------------------

// A field as spreadsheets read it: quoted where it holds a separator, a quote or a line break;
// and a text that a spreadsheet would take for a formula ("=...", "+...", "-...", "@...") gets a
// leading apostrophe, so a comment read from somebody's file cannot run anything.
std::string csvField(std::string text) {
    const bool formula =
        text.size() > 1 && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@');
    if (formula || (!text.empty() && (text[0] == '\t' || text[0] == '\r'))) text = "'" + text;
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string csvTable(std::span<const Button> buttons, Language language) {
    // The byte-order mark lets spreadsheet programs read the comments as UTF-8.
    std::string text = "\xEF\xBB\xBFNo,code,protocol,keys,comment\r\n";
    for (const Button& b : buttons) {
        text += formatText("%d,", {b.slot + 1}) + codeValueText(b.code().codeValue) + "," +
                csvField(protocolText(identifyProtocol(b.code()), language)) + "," +
                csvField(utf16ToUtf8(b.record->text.sendText)) + "," +
                csvField(utf16ToUtf8(b.record->text.comment)) + "\r\n";
    }
    return text;
}

// --- The formats ------------------------------------------------------------------------------

SignalExport exportIr(std::span<const Button> buttons) {
    SignalExport out{std::string(kIrHeader), {}};
    for (const Button& b : buttons) {
        const std::string block = irBlock(b);
        if (block.empty()) {
            out.leftOut.push_back(b.slot);
        } else {
            out.text += block;
        }
    }
    return out;
}

// The buttons whose drawn signal reads back as their code, with those signals; the others are
// left out.
std::vector<Button> drawnButtons(std::span<const Button> buttons,
                                 std::vector<std::vector<std::uint16_t>>& signals,
                                 SignalExport& out) {
    std::vector<Button> kept;
    for (const Button& b : buttons) {
        // lircd.conf reads raw durations as the ".ir" format does: each number as it stands.
        std::vector<std::uint16_t> d = acceptedDrawing(b.code(), [&b](const auto& drawn) {
            return readsBackAs(std::string(kIrHeader) + "name: x\ntype: raw\ndata: " +
                                   durationsText(drawn, 0, drawn.size()) + "\n",
                               std::span<const Button>(&b, 1));
        });
        if (d.empty()) {
            out.leftOut.push_back(b.slot);
            continue;
        }
        kept.push_back(b);
        signals.push_back(std::move(d));
    }
    return kept;
}

SignalExport exportLirc(const RemoteModel& model, std::span<const Button> buttons) {
    const std::string remote = lircRemoteName(model);
    SignalExport out;
    if (const auto codes = lircCodes(model.header(), remote, buttons);
        codes && readsBackAs(*codes, buttons)) {
        out.text = *codes;
        return out;
    }
    std::vector<std::vector<std::uint16_t>> signals;
    const std::vector<Button> kept = drawnButtons(buttons, signals, out);
    out.text = lircRawCodes(remote, kept, signals);
    return out;
}

SignalExport exportPronto(std::span<const Button> buttons) {
    SignalExport out;
    for (const Button& b : buttons) {
        // Pronto's units round every period: the rounded signal must still read as the code.
        const std::vector<std::uint16_t> d = acceptedDrawing(b.code(), [&b](const auto& drawn) {
            return readsBackAs(prontoLine(b, drawn), std::span<const Button>(&b, 1));
        });
        if (d.empty()) {
            out.leftOut.push_back(b.slot);
            continue;
        }
        out.text += prontoLine(b, d);
    }
    return out;
}

}  // namespace

std::span<const ExportFormatInfo> exportFormats() {
    return kFormats;
}

std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
    for (const ExportFormatInfo& f : kFormats) {
        if (f.name == name) return f.format;
    }
    return std::nullopt;
}

std::string exportFileFilter(Language language) {
    std::string filter;
    for (const ExportFormatInfo& f : kFormats) {
        if (!filter.empty()) filter += ";;";
        filter += std::string(pick(f.description, language)) + " (*." + std::string(f.suffix) + ")";
    }
    return filter;
}

SignalExport exportSignals(const RemoteModel& model, ExportFormat format, Language language) {
    std::vector<Button> buttons;
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (model.button(s).code.occupied()) buttons.push_back({s, &model.button(s), {}});
    }
    nameButtons(buttons, format);
    switch (format) {
        case ExportFormat::IrSignals:
            return exportIr(buttons);
        case ExportFormat::LircConf:
            return exportLirc(model, buttons);
        case ExportFormat::Pronto:
            return exportPronto(buttons);
        case ExportFormat::Csv:
            return SignalExport{csvTable(buttons, language), {}};
    }
    return {};
}

}  // namespace tessik
