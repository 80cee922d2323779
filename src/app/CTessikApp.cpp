#include "app/CTessikApp.hpp"

#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "app/AppIcon.hpp"
#include "app/CTessikDlg.hpp"
#include "app/ProgramInfo.hpp"
#include "app/QtText.hpp"

namespace tessik::app {

CTessikApp::CTessikApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tessik"));
    setApplicationVersion(qs(programVersion()));
    setDesktopFileName(QStringLiteral("tessik"));
    setWindowIcon(applicationIcon());
}

CTessikApp::~CTessikApp() = default;

QTranslator* CTessikApp::installQtTranslations(Language language) {
    if (language != Language::Japanese) return nullptr;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator.release();
}

DeviceOptions CTessikApp::deviceOptions(bool simulate) {
    DeviceOptions options;
    options.simulate = simulate;
    if (simulate) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        options.simulatorStateFile = toPath(folder + QStringLiteral("/simulated-receiver.state"));
    }
    return options;
}

bool CTessikApp::InitInstance() {
    QCommandLineParser parser;
    parser.setApplicationDescription(qs(programDescription(Language::English)));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Use the built-in simulated receiver instead of a USB receiver."));
    parser.addOption(simulate);
    parser.process(*this);  // prints and exits for --help, --version and unknown options

    const Language language = uiLanguage();
    installQtTranslations(language);
    window_ =
        std::make_unique<CTessikDlg>(dialogs_, deviceOptions(parser.isSet(simulate)), language);
    dialogs_.setParent(window_.get());
    connect(window_.get(), &QDialog::finished, this, &QCoreApplication::quit);
    return true;
}

int CTessikApp::run() {
    if (!InitInstance()) return 1;
    // The window first, then the device search from the running event loop: the window is
    // there at once, and the boxes the search may show stand over it.
    window_->show();
    QTimer::singleShot(0, window_.get(), [this] { window_->startUp(); });
    return exec();
}

std::optional<std::string> missingDisplayHint(const char* display, const char* waylandDisplay,
                                              const char* qtPlatform) {
    auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
    if (set(display) || set(waylandDisplay) || set(qtPlatform)) return std::nullopt;
    return "tessik: no display to open its window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
           "Start it from a desktop session, or under a virtual display:\n"
           "    xvfb-run -a tessik --simulate";
}

}  // namespace tessik::app
