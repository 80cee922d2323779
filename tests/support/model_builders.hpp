#pragma once
// Small builders for test models.

#include <string>

#include "core/model/remote_model.hpp"

namespace tessik::test {

// A type 1 code with plausible NEC-like timings; `value` distinguishes buttons.
inline CodeRecord necLikeCode(std::uint64_t value, std::uint16_t bitCount = 32) {
    CodeRecord c;
    c.format = 1;
    c.pairCount = 34;
    c.leaderHigh = 4500;
    c.leaderLow = 9000;
    c.oneMax = 1690;
    c.oneMin = 1680;
    c.lowMax = 565;
    c.lowMin = 555;
    c.highMax = 570;
    c.highMin = 550;
    for (std::size_t i = 0; i < 4; ++i)
        c.codeBytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    c.bitCount = bitCount;
    c.codeValue = value;
    return c;
}

// Changes the model's tables in ways no dialog would (a file written elsewhere, a test's
// set-up), then takes them as File > Open does: not modified, the history cleared.
template <typename Change>
void rewrite(RemoteModel& m, Change change) {
    RemoteTables t = m.tables();
    change(t);
    m.open(std::move(t));
}

// A table of `n` buttons with distinct codes, send texts and comments.
inline RemoteModel modelWithButtons(std::size_t n) {
    RemoteModel m;
    m.startNew(u"Test remote");
    for (std::size_t i = 0; i < n; ++i) {
        const std::u16string comment = u"comment " + std::u16string(1, u'A' + i % 26);
        m.AddCode(necLikeCode(0x1000 + i), comment);
        ButtonKeys keys{{},
                        static_cast<std::uint16_t>(i % 7),
                        u"text" + std::u16string(1, u'a' + i % 26),
                        comment};
        keys.keys[0] = static_cast<std::uint16_t>(0x04 + i % 26);
        m.storeButtonKeys(i, keys);
    }
    return m;
}

inline MacroRecord macroNamed(std::u16string name, std::size_t commands = 1) {
    MacroRecord m;
    m.used = 1;
    m.interval = 500;
    m.name = std::move(name);
    for (std::size_t c = 0; c < commands; ++c) {
        m.commands[c].sendText = u"cmd" + std::u16string(1, u'0' + c);
        m.commands[c].keyCount = 1;
        m.commands[c].keys[0] = static_cast<std::uint16_t>(0x1E + c);
    }
    return m;
}

inline void referToMacro(RemoteTables& t, std::size_t slot, std::size_t macro) {
    t.buttons[slot].code.keys = {kMacroMarker, static_cast<std::uint16_t>(macro), 0, 0, 0, 0};
    t.buttons[slot].text.keyCount = 0;
    t.buttons[slot].text.sendText = u"[M " + t.macros[macro].name + u"]";
}

}  // namespace tessik::test
