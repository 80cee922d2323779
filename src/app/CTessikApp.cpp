#include "app/CTessikApp.hpp"

#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/AppIcon.hpp"
#include "app/CTessikDlg.hpp"
#include "app/ProgramInfo.hpp"
#include "app/QtText.hpp"
#include "connect/device_transport.hpp"

namespace tessik::app {
namespace {

const QString kSimulate = QStringLiteral("simulate");
const QString kSimFault = QStringLiteral("sim-fault");
const QString kSimUpdateMode = QStringLiteral("sim-update-mode");
const QString kSimState = QStringLiteral("sim-state");

// "absent, nak=CODE, wrong-echo[=N], ..." for the help text.
QString faultNames() {
    QStringList names;
    for (const sim::FaultInfo& f : connect::simulatedFaults()) {
        QString name = qs(f.name);
        if (f.value.size() > 2 && f.value.front() == '[') {
            name += QStringLiteral("[=%1]").arg(qs(f.value.substr(1, f.value.size() - 2)));
        } else if (!f.value.empty()) {
            name += QStringLiteral("=") + qs(f.value);
        }
        names << name;
    }
    return names.join(QStringLiteral(", "));
}

}  // namespace

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
    // Where Qt is installed, or beside the program (Windows, where Qt is built in).
    const bool loaded =
        translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->load(QStringLiteral("qtbase_ja"),
                         QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    if (!loaded || !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator.release();
}

void CTessikApp::addDeviceOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(
        kSimulate,
        QStringLiteral("Use the built-in simulated receiver instead of a USB receiver.")));
    parser.addOption(QCommandLineOption(
        kSimFault,
        QStringLiteral("Make the simulated receiver fail on purpose (repeatable). NAME is one "
                       "of: %1.")
            .arg(faultNames()),
        QStringLiteral("NAME[=N]")));
    parser.addOption(QCommandLineOption(
        kSimUpdateMode, QStringLiteral("The simulated receiver starts in its boot loader, waiting "
                                       "for a firmware update.")));
    parser.addOption(QCommandLineOption(
        kSimState,
        QStringLiteral("Keep the simulated receiver's saved table in FILE between runs (default: "
                       "in the user's data folder)."),
        QStringLiteral("FILE")));
}

std::optional<DeviceOptions> CTessikApp::deviceOptions(const QCommandLineParser& parser,
                                                       std::string& error) {
    DeviceOptions options;
    options.simulate = parser.isSet(kSimulate);
    for (const QString& fault : parser.values(kSimFault))
        options.simFaults.push_back(utf8(fault));
    options.simUpdateMode = parser.isSet(kSimUpdateMode);
    if (!options.simulate &&
        (!options.simFaults.empty() || options.simUpdateMode || parser.isSet(kSimState))) {
        error = "--sim-fault, --sim-update-mode and --sim-state need --simulate";
        return std::nullopt;
    }
    if (!options.simulate) return options;
    if (parser.isSet(kSimState)) {
        options.simulatorStateFile = toPath(parser.value(kSimState));
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        options.simulatorStateFile = toPath(folder + QStringLiteral("/simulated-receiver.state"));
    }
    // The faults and the state file are checked on a receiver of their own, made as the
    // window's will be, so a mistake is told before any window exists.
    connect::TransportOptions check;
    check.simulate = true;
    check.simFaults = options.simFaults;
    check.simStateFile = options.simulatorStateFile;
    FakeClock clock;
    if (!connect::DeviceTransport::open(check, clock, error)) return std::nullopt;
    return options;
}

bool CTessikApp::InitInstance() {
    QCommandLineParser parser;
    parser.setApplicationDescription(qs(programDescription(Language::English)));
    parser.addHelpOption();
    parser.addVersionOption();
    addDeviceOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.ird"),
                                 QStringLiteral("A data file to open at start-up."),
                                 QStringLiteral("[FILE.ird]"));
#ifdef _WIN32
    // Qt would show --help and --version in a message box wherever it sees no console of the
    // program's own, which a script asking for the version waits on forever: printed here.
    if (parser.parse(arguments()) &&
        (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")))) {
        const QString text = parser.isSet(QStringLiteral("help"))
                                 ? parser.helpText()
                                 : applicationName() + u' ' + applicationVersion() + u'\n';
        std::fputs(qUtf8Printable(text), stdout);
        std::fflush(stdout);
        std::exit(0);
    }
#endif
    parser.process(*this);  // prints and exits for --help, --version and unknown options
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "tessik: one data file at most\n");
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        startFile_ = toPath(parser.positionalArguments().front());
    }
    std::string error;
    const std::optional<DeviceOptions> device = deviceOptions(parser, error);
    if (!device) {
        std::fprintf(stderr, "tessik: %s\n", error.c_str());
        return false;
    }

    const Language language = uiLanguage();
    installQtTranslations(language);
    window_ = std::make_unique<CTessikDlg>(dialogs_, *device, language);
    dialogs_.setParent(window_.get());
    connect(window_.get(), &QDialog::finished, this, &QCoreApplication::quit);
    return true;
}

int CTessikApp::run() {
    if (!InitInstance()) return 1;
    // The window first, then the device search from the running event loop: the window is
    // there at once, and the boxes the search may show stand over it.
    window_->show();
    QTimer::singleShot(0, window_.get(), [this] {
        window_->ShowVirtualRemote();  // with the simulated receiver only
        window_->startUp();
        // As File > Open would, once the receiver has been looked for (a file manager's
        // double-click, or "tessik FILE.ird").
        if (!startFile_.empty()) window_->OpenFile(startFile_);
    });
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
