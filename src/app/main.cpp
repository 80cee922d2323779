#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "app/CTessikApp.hpp"
#include "platform/console.hpp"

int main(int argc, char** argv) {
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        help = help || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
               std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0;
    }
#ifdef _WIN32
    if (help) tessik::platform::useParentConsole();
#else
    if (const auto hint =
            tessik::app::missingDisplayHint(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                            std::getenv("QT_QPA_PLATFORM"))) {
        if (!help) {
            std::fprintf(stderr, "%s\n", hint->c_str());
            return 2;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);  // --help and --version need no window
    }
#endif
    tessik::platform::adoptUserLanguage();
    // Nothing the program calls is meant to throw; should the standard library or Qt still do
    // so (out of memory, say), the user reads what happened instead of a bare abort.
    try {
        tessik::app::CTessikApp app(argc, argv);
        return app.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessik: stopped by an unexpected error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "tessik: stopped by an unexpected error\n");
    }
    return 1;
}
