#include "platform/console.hpp"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "core/text/language.hpp"

namespace tessik::platform {

void useUtf8Output() {
    ::SetConsoleOutputCP(CP_UTF8);
    // Binary mode: "\n" stays "\n", so what the program writes (a JSON export piped to a file,
    // say) is the same bytes as on Linux.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

void useParentConsole() {
    // Output that is already going somewhere (a pipe, a file) stays there; otherwise it goes to
    // the console the program was started from, if any.
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const bool redirected =
        out != nullptr && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN;
    if (redirected || !::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    FILE* reopened = nullptr;
    ::freopen_s(&reopened, "CONOUT$", "w", stdout);
    ::freopen_s(&reopened, "CONOUT$", "w", stderr);
}

void adoptUserLanguage() {
    // The display language the user chose; a system that reports none falls back to the user's
    // default language, as the help file choice always did.
    LANGID id = ::GetUserDefaultUILanguage();
    if (id == 0) id = ::GetUserDefaultLangID();
    adoptSystemLanguage(PRIMARYLANGID(id) == LANG_JAPANESE ? Language::Japanese
                                                           : Language::English);
}

}  // namespace tessik::platform
