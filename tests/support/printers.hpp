#pragma once
// Readable failure messages for the records (gtest would dump their raw bytes).

#include <ostream>

#include "core/bytes/utf.hpp"
#include "core/model/records.hpp"
#include "core/text/format.hpp"

namespace tessik {

inline void PrintTo(const CodeRecord& c, std::ostream* os) {
    *os << "CodeRecord{format " << int(c.format) << ", pairs " << c.pairCount << ", leader "
        << c.leaderLow << "/" << c.leaderHigh << ", one " << c.oneMin << ".." << c.oneMax
        << ", low " << c.lowMin << ".." << c.lowMax << ", high " << c.highMin << ".." << c.highMax
        << ", bits " << c.bitCount << ", keys "
        << formatText("%04X %04X %04X %04X %04X %04X",
                      {c.keys[0], c.keys[1], c.keys[2], c.keys[3], c.keys[4], c.keys[5]})
        << ", value " << codeValueText(c.codeValue) << "}";
}

inline void PrintTo(const ButtonText& t, std::ostream* os) {
    *os << "ButtonText{" << t.keyCount << ", \"" << utf16ToUtf8(t.sendText) << "\", \""
        << utf16ToUtf8(t.comment) << "\"}";
}

inline void PrintTo(const ButtonRecord& b, std::ostream* os) {
    PrintTo(b.code, os);
    *os << " + ";
    PrintTo(b.text, os);
}

inline void PrintTo(const MacroCommand& c, std::ostream* os) {
    *os << "MacroCommand{" << c.keyCount << ", \"" << utf16ToUtf8(c.sendText) << "\"}";
}

inline void PrintTo(const MacroRecord& m, std::ostream* os) {
    *os << "MacroRecord{used " << int(m.used) << ", interval " << m.interval << ", \""
        << utf16ToUtf8(m.name) << "\", first \"" << utf16ToUtf8(m.commands[0].sendText) << "\"}";
}

}  // namespace tessik
