#include "cli/json_model.hpp"

#include <array>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "core/bytes/utf.hpp"
#include "core/text/format.hpp"

namespace tessik::cli {
namespace {

// Reading goes through these helpers, which throw std::runtime_error with the field's path on
// a mismatch; modelFromJson turns that into its error text.
struct Reader {
    std::string path;

    const Json& at(const Json& obj, const char* key) const {
        if (!obj.is_object() || !obj.contains(key)) {
            throw std::runtime_error(path + ": missing \"" + key + "\"");
        }
        return obj.at(key);
    }

    std::uint64_t number(const Json& obj, const char* key, std::uint64_t max) const {
        const Json& v = at(obj, key);
        if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<std::int64_t>() >= 0)) {
            throw std::runtime_error(path + "." + key + ": not a non-negative integer");
        }
        const auto n = v.get<std::uint64_t>();
        if (n > max) throw std::runtime_error(path + "." + key + ": out of range");
        return n;
    }

    std::uint64_t optionalNumber(const Json& obj, const char* key, std::uint64_t max) const {
        return obj.contains(key) ? number(obj, key, max) : 0;
    }

    std::u16string text(const Json& obj, const char* key, std::size_t maxChars) const {
        const Json& v = at(obj, key);
        if (!v.is_string()) throw std::runtime_error(path + "." + key + ": not a string");
        std::u16string s = utf8ToUtf16(v.get<std::string>());
        if (s.size() > maxChars) throw std::runtime_error(path + "." + key + ": too long");
        // The record's text ends at its first NUL: what followed it would be lost unseen.
        if (s.find(u'\0') != std::u16string::npos) {
            throw std::runtime_error(path + "." + key + ": contains a NUL character");
        }
        return s;
    }

    std::uint64_t hex(const Json& obj, const char* key) const {
        const Json& v = at(obj, key);
        const std::string s = v.is_string() ? v.get<std::string>() : std::string();
        if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
            throw std::runtime_error(path + "." + key + ": expected \"0x...\" hex");
        }
        std::uint64_t out = 0;
        for (std::size_t i = 2; i < s.size(); ++i) {
            const int d = hexDigit(s[i]);
            if (d < 0) throw std::runtime_error(path + "." + key + ": bad hex digit");
            out = (out << 4) | static_cast<std::uint64_t>(d);
        }
        return out;
    }

    KeyCodeList keys(const Json& obj) const {
        const Json& v = at(obj, "keys");
        if (!v.is_array() || v.size() != kKeyWords) {
            throw std::runtime_error(path + ".keys: expected 6 integers");
        }
        KeyCodeList k{};
        for (std::size_t i = 0; i < kKeyWords; ++i) {
            if (!v[i].is_number_unsigned() || v[i].get<std::uint64_t>() > 0xFFFF) {
                throw std::runtime_error(path + ".keys: each must be 0..65535");
            }
            k[i] = static_cast<std::uint16_t>(v[i].get<std::uint64_t>());
        }
        return k;
    }

    static int hexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }
};

constexpr std::uint64_t kU8 = 0xFF;
constexpr std::uint64_t kU16 = 0xFFFF;

std::string codeBytesHex(const std::array<std::uint8_t, kCodeBytesCount>& bytes) {
    std::string s;
    for (std::uint8_t b : bytes)
        s += formatText("%02X", {b});
    return s;
}

Json keysJson(const KeyCodeList& k) {
    return Json::array({k[0], k[1], k[2], k[3], k[4], k[5]});
}

void putGroup(Json& h, const char* maxKey, const char* minKey, const char* midKey,
              const TimingGroup& g) {
    h[maxKey] = g.max;
    h[minKey] = g.min;
    h[midKey] = g.mid;
}

TimingGroup readGroup(const Reader& r, const Json& h, const char* maxKey, const char* minKey,
                      const char* midKey) {
    return TimingGroup{static_cast<std::uint16_t>(r.number(h, maxKey, kU16)),
                       static_cast<std::uint16_t>(r.number(h, minKey, kU16)),
                       static_cast<std::uint16_t>(r.number(h, midKey, kU16))};
}

CodeRecord codeRecordFromJson(const Reader& r, const Json& b) {
    CodeRecord c;
    c.format = static_cast<std::uint8_t>(r.number(b, "format", kU8));
    c.reserved1 = static_cast<std::uint8_t>(r.optionalNumber(b, "reserved1", kU8));
    c.pairCount = static_cast<std::uint16_t>(r.number(b, "pairCount", kU16));
    c.leaderHigh = static_cast<std::uint16_t>(r.number(b, "leaderHigh", kU16));
    c.leaderLow = static_cast<std::uint16_t>(r.number(b, "leaderLow", kU16));
    c.oneMax = static_cast<std::uint16_t>(r.number(b, "oneMax", kU16));
    c.lowMax = static_cast<std::uint16_t>(r.number(b, "lowMax", kU16));
    c.oneMin = static_cast<std::uint16_t>(r.number(b, "oneMin", kU16));
    c.lowMin = static_cast<std::uint16_t>(r.number(b, "lowMin", kU16));
    c.highMax = static_cast<std::uint16_t>(r.number(b, "highMax", kU16));
    c.highMin = static_cast<std::uint16_t>(r.number(b, "highMin", kU16));
    const Json& cb = r.at(b, "codeBytes");
    const std::string hexText = cb.is_string() ? cb.get<std::string>() : std::string();
    if (hexText.size() != 2 * kCodeBytesCount) {
        throw std::runtime_error(r.path + ".codeBytes: expected 40 hex digits");
    }
    for (std::size_t i = 0; i < kCodeBytesCount; ++i) {
        const int hi = Reader::hexDigit(hexText[2 * i]);
        const int lo = Reader::hexDigit(hexText[2 * i + 1]);
        if (hi < 0 || lo < 0) throw std::runtime_error(r.path + ".codeBytes: bad hex digit");
        c.codeBytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    c.bitCount = static_cast<std::uint16_t>(r.number(b, "bitCount", kU16));
    c.keys = r.keys(b);
    c.reserved54 = static_cast<std::uint16_t>(r.optionalNumber(b, "reserved54", kU16));
    c.codeValue = r.hex(b, "codeValue");
    return c;
}

void readHeader(const Reader& r, const Json& h, RemoteHeader& header) {
    header.format = static_cast<std::uint8_t>(r.number(h, "format", kU8));
    header.reserved1 = static_cast<std::uint8_t>(r.optionalNumber(h, "reserved1", kU8));
    header.pairCount = static_cast<std::uint16_t>(r.number(h, "pairCount", kU16));
    header.leaderHigh = readGroup(r, h, "leaderHighMax", "leaderHighMin", "leaderHighMid");
    header.leaderLow = readGroup(r, h, "leaderLowMax", "leaderLowMin", "leaderLowMid");
    header.one = readGroup(r, h, "oneMaxAll", "oneMinAll", "oneMid");
    header.low = readGroup(r, h, "lowMaxAll", "lowMinAll", "lowMid");
    header.high = readGroup(r, h, "highMaxAll", "highMinAll", "highMid");
    header.bitCount = static_cast<std::uint8_t>(r.number(h, "bitCount", kU8));
    header.reserved549 = static_cast<std::uint8_t>(r.optionalNumber(h, "reserved549", kU8));
}

void readMacro(const Reader& r, const Json& m, MacroRecord& macro) {
    macro.used = static_cast<std::uint8_t>(r.number(m, "used", kU8));
    macro.interval = static_cast<std::uint16_t>(r.number(m, "interval", kU16));
    macro.name = r.text(m, "name", kMaxTextChars);
    const Json& cmds = r.at(m, "commands");
    if (!cmds.is_array() || cmds.size() != kMacroCommands) {
        throw std::runtime_error(r.path + ".commands: expected 8 commands");
    }
    for (std::size_t c = 0; c < kMacroCommands; ++c) {
        const Reader cr{r.path + ".commands[" + std::to_string(c) + "]"};
        MacroCommand& cmd = macro.commands[c];
        cmd.keyCount = static_cast<std::uint16_t>(cr.number(cmds[c], "keyCount", kKeyWords));
        cmd.keys = cr.keys(cmds[c]);
        cmd.sendText = cr.text(cmds[c], "sendText", kMaxTextChars);
        cmd.comment = cr.text(cmds[c], "comment", kMaxTextChars);
    }
}

bool macroIsBlank(const MacroRecord& m) {
    return m == MacroRecord{};
}

}  // namespace

namespace {
// Appends the record's fields to `j` in their documented order.
void putCodeRecord(Json& j, const CodeRecord& c) {
    j["format"] = c.format;
    if (c.reserved1 != 0) j["reserved1"] = c.reserved1;
    j["pairCount"] = c.pairCount;
    j["leaderHigh"] = c.leaderHigh;
    j["leaderLow"] = c.leaderLow;
    j["oneMax"] = c.oneMax;
    j["lowMax"] = c.lowMax;
    j["oneMin"] = c.oneMin;
    j["lowMin"] = c.lowMin;
    j["highMax"] = c.highMax;
    j["highMin"] = c.highMin;
    j["codeBytes"] = codeBytesHex(c.codeBytes);
    j["bitCount"] = c.bitCount;
    j["keys"] = keysJson(c.keys);
    if (c.reserved54 != 0) j["reserved54"] = c.reserved54;
    j["codeValue"] = codeValueText(c.codeValue);
}
}  // namespace

Json codeRecordToJson(const CodeRecord& c) {
    Json j;
    putCodeRecord(j, c);
    return j;
}

Json modelToJson(const RemoteModel& model) {
    Json doc;
    doc["jitterPercent"] = model.jitterPercent();
    doc["remoteName"] = utf16ToUtf8(model.header().remoteName);
    const RemoteHeader& h = model.header();
    Json header;
    header["format"] = h.format;
    if (h.reserved1 != 0) header["reserved1"] = h.reserved1;
    header["pairCount"] = h.pairCount;
    putGroup(header, "leaderHighMax", "leaderHighMin", "leaderHighMid", h.leaderHigh);
    putGroup(header, "leaderLowMax", "leaderLowMin", "leaderLowMid", h.leaderLow);
    putGroup(header, "oneMaxAll", "oneMinAll", "oneMid", h.one);
    putGroup(header, "lowMaxAll", "lowMinAll", "lowMid", h.low);
    putGroup(header, "highMaxAll", "highMinAll", "highMid", h.high);
    header["bitCount"] = h.bitCount;
    if (h.reserved549 != 0) header["reserved549"] = h.reserved549;
    doc["header"] = header;

    Json buttons = Json::array();
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const ButtonRecord& b = model.buttons()[s];
        if (!b.code.occupied()) continue;
        Json j;
        j["slot"] = s;
        putCodeRecord(j, b.code);
        j["keyCount"] = b.text.keyCount;
        j["sendText"] = utf16ToUtf8(b.text.sendText);
        j["comment"] = utf16ToUtf8(b.text.comment);
        buttons.push_back(j);
    }
    doc["buttons"] = buttons;

    Json macros = Json::array();
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        const MacroRecord& rec = model.macros()[m];
        if (macroIsBlank(rec)) continue;
        Json j;
        j["slot"] = m;
        j["used"] = rec.used;
        j["interval"] = rec.interval;
        j["name"] = utf16ToUtf8(rec.name);
        Json cmds = Json::array();
        for (const MacroCommand& c : rec.commands) {
            cmds.push_back(Json{{"keyCount", c.keyCount},
                                {"keys", keysJson(c.keys)},
                                {"sendText", utf16ToUtf8(c.sendText)},
                                {"comment", utf16ToUtf8(c.comment)}});
        }
        j["commands"] = cmds;
        macros.push_back(j);
    }
    doc["macros"] = macros;
    return doc;
}

bool modelFromJson(const Json& doc, RemoteModel& model, std::string& error) {
    RemoteTables tables;
    try {
        const Reader top{"$"};
        const Json& jitter = top.at(doc, "jitterPercent");
        if (!jitter.is_number_integer())
            throw std::runtime_error("$.jitterPercent: not an integer");
        const auto j = jitter.get<std::int64_t>();
        // The window's jitter setting runs 0..100; beyond it the receiver's timing windows
        // would turn inside out.
        if (j < 0 || j > 100) throw std::runtime_error("$.jitterPercent: must be 0..100");
        tables.jitterPercent = static_cast<std::int32_t>(j);
        readHeader(Reader{"$.header"}, top.at(doc, "header"), tables.header);
        tables.header.remoteName = top.text(doc, "remoteName", kMaxRemoteNameChars);

        const Json& buttons = top.at(doc, "buttons");
        if (!buttons.is_array()) throw std::runtime_error("$.buttons: not an array");
        // A slot given twice would silently keep only the later entry.
        std::array<bool, kButtonSlots> buttonSeen{};
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const Reader r{"$.buttons[" + std::to_string(i) + "]"};
            const auto slot = r.number(buttons[i], "slot", kButtonSlots - 1);
            if (buttonSeen[slot]) throw std::runtime_error(r.path + ".slot: given twice");
            buttonSeen[slot] = true;
            ButtonRecord& b = tables.buttons[slot];
            b.code = codeRecordFromJson(r, buttons[i]);
            b.text.keyCount =
                static_cast<std::uint16_t>(r.number(buttons[i], "keyCount", kKeyWords));
            b.text.sendText = r.text(buttons[i], "sendText", kMaxTextChars);
            b.text.comment = r.text(buttons[i], "comment", kMaxTextChars);
            // A code value of 0 marks a free slot: its keys and texts would be dropped.
            const bool carries =
                !b.text.sendText.empty() || !b.text.comment.empty() || b.code.keys != KeyCodeList{};
            if (!b.code.occupied() && carries) {
                throw std::runtime_error(r.path +
                                         ".codeValue: 0 marks a free slot, but the entry has keys "
                                         "or texts");
            }
        }
        const Json& macros = top.at(doc, "macros");
        if (!macros.is_array()) throw std::runtime_error("$.macros: not an array");
        std::array<bool, kMacroSlots> macroSeen{};
        for (std::size_t i = 0; i < macros.size(); ++i) {
            const Reader r{"$.macros[" + std::to_string(i) + "]"};
            const auto slot = r.number(macros[i], "slot", kMacroSlots - 1);
            if (macroSeen[slot]) throw std::runtime_error(r.path + ".slot: given twice");
            macroSeen[slot] = true;
            readMacro(r, macros[i], tables.macros[slot]);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    model.open(std::move(tables));
    return true;
}

}  // namespace tessik::cli
