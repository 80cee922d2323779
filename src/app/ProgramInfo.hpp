#pragma once
// The program's own version strings, as the version dialog shows them. The version number is
// the one the data files carry.

#include <string>
#include <string_view>

#include "core/text/language.hpp"

namespace tessik::app {

std::string_view programDescription(Language language);
std::string programVersion();  // "1.0.1.6"
std::string_view legalNotice(Language language);

}  // namespace tessik::app
