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
#include "connect/session_options.hpp"
#include "core/text/format.hpp"

namespace tessik::app {
namespace {

// A command line that cannot be followed, as tessik-cli's status 2.
constexpr int kUsageStatus = 2;

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

// The rows of the one table of device options, as tessik-cli takes them too.
void CTessikApp::addDeviceOptions(QCommandLineParser& parser) {
    for (const connect::SessionOption& row : connect::sessionOptions()) {
        QString help = qs(row.help);
        help[0] = help[0].toUpper();
        if (row.name == "sim-fault") {
            help = QStringLiteral(
                       "Make the simulated receiver fail on purpose (repeatable). "
                       "NAME is one of: %1")
                       .arg(faultNames());
        }
        parser.addOption(
            QCommandLineOption(qs(row.name), help + QStringLiteral("."), qs(row.valueName)));
    }
}

std::optional<DeviceOptions> CTessikApp::deviceOptions(const QCommandLineParser& parser,
                                                       std::string& error) {
    error.clear();
    DeviceOptions options;
    for (const connect::SessionOption& row : connect::sessionOptions()) {
        const QString name = qs(row.name);
        if (!parser.isSet(name)) continue;
        QStringList values{QString()};
        if (row.kind == connect::OptionKind::Repeated) values = parser.values(name);
        if (row.kind == connect::OptionKind::Value) values = QStringList{parser.value(name)};
        for (const QString& value : values) {
            const std::string v = utf8(value);
            if (row.problem != nullptr) error = row.problem(v);
            if (!error.empty()) return std::nullopt;
            row.set(options, v);
        }
    }
    error = connect::simulatorOptionsProblem(options);
    if (!error.empty()) return std::nullopt;
    // Without --sim-state the simulated receiver keeps its table in the user's data folder.
    if (options.simulate && options.simStateFile.empty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        options.simStateFile = toPath(folder + QStringLiteral("/simulated-receiver.state"));
    }
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
    // An unknown option is told here, as tessik-cli tells it; process() would end the program
    // with status 1 itself.
    if (!parser.parse(arguments())) {
        std::fprintf(stderr, "tessik: %s\n", escapeControlBytes(utf8(parser.errorText())).c_str());
        return false;
    }
#ifdef _WIN32
    // Qt would show --help and --version in a message box wherever it sees no console of the
    // program's own, which a script asking for the version waits on forever: printed here.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
        const QString text = parser.isSet(QStringLiteral("help"))
                                 ? parser.helpText()
                                 : applicationName() + u' ' + applicationVersion() + u'\n';
        std::fputs(qUtf8Printable(text), stdout);
        std::fflush(stdout);
        std::exit(0);
    }
#endif
    parser.process(*this);  // prints and exits for --help and --version
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
        std::fprintf(stderr, "tessik: %s\n", escapeControlBytes(error).c_str());
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
    if (!InitInstance()) return kUsageStatus;
    // The window first, then the device search from the running event loop: the window is
    // there at once, and the boxes the search may show stand over it.
    window_->show();
    QTimer::singleShot(0, window_.get(), [this] {
        window_->ShowVirtualRemote(false);  // with the simulated receiver only
        window_->activateWindow();
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
