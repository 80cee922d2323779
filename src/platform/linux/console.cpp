#include "platform/console.hpp"

namespace tessik::platform {

void useUtf8Output() {}

void useParentConsole() {}

void adoptUserLanguage() {}

}  // namespace tessik::platform
