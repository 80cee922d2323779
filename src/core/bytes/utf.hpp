#pragma once
// UTF-8 <-> UTF-16 for the command line and the user interface. The records hold UTF-16;
// terminals, JSON and Qt's byte strings speak UTF-8.

#include <string>
#include <string_view>

namespace tessik {

// Invalid UTF-8 (overlong forms, surrogates, cut sequences) becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view in);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view in);

}  // namespace tessik
