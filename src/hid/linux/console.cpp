#include "hid/linux/console.hpp"

#include <unistd.h>

namespace tessik::hid {

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

}  // namespace tessik::hid
