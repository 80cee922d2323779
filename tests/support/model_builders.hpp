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

// A table of `n` buttons with distinct codes, send texts and comments.
inline RemoteModel modelWithButtons(std::size_t n) {
    RemoteModel m;
    m.startNew(u"Test remote");
    for (std::size_t i = 0; i < n; ++i) {
        m.AddCode(necLikeCode(0x1000 + i), u"comment " + std::u16string(1, u'A' + i % 26));
        m.buttons[i].text.sendText = u"text" + std::u16string(1, u'a' + i % 26);
        m.buttons[i].text.keyCount = static_cast<std::uint16_t>(i % 7);
        m.buttons[i].code.keys[0] = static_cast<std::uint16_t>(0x04 + i % 26);
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

inline void referToMacro(RemoteModel& m, std::size_t slot, std::size_t macro) {
    m.buttons[slot].code.keys = {kMacroMarker, static_cast<std::uint16_t>(macro), 0, 0, 0, 0};
    m.buttons[slot].text.keyCount = 0;
    m.buttons[slot].text.sendText = u"[M " + m.macros[macro].name + u"]";
}

}  // namespace tessik::test
