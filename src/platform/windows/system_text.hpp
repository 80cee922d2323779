#pragma once
// Windows speaks UTF-16; the tool's texts are UTF-8. And the system's own words for an error,
// in the user's language, as a user of Windows knows them.

#include <string>
#include <string_view>

namespace tessik::platform {

std::string utf8FromWide(std::wstring_view wide);
std::wstring wideFromUtf8(std::string_view utf8);

// FormatMessageW's text for a Win32 error code, without the trailing line break; the code in
// hex when the system has no text for it.
std::string systemErrorText(unsigned long code);

}  // namespace tessik::platform
