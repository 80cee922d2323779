#include "platform/console.hpp"

#include <unistd.h>

namespace tessik::platform {

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

void useUtf8Output() {}

void useParentConsole() {}

void adoptUserLanguage() {}

}  // namespace tessik::platform
