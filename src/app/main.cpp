#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/CTessikApp.hpp"

int main(int argc, char** argv) {
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        help = help || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
               std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0;
    }
    if (const auto hint =
            tessik::app::missingDisplayHint(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                            std::getenv("QT_QPA_PLATFORM"))) {
        if (!help) {
            std::fprintf(stderr, "%s\n", hint->c_str());
            return 2;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);  // --help and --version need no window
    }
    tessik::app::CTessikApp app(argc, argv);
    return app.run();
}
