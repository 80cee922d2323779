#pragma once
// The application: reads the command line, puts Qt's own texts into the UI language, runs the
// device search of the main window and shows it. When the main window closes, the program ends.

#include <QApplication>
#include <QCommandLineParser>
#include <QTranslator>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/DeviceConnection.hpp"
#include "app/QtDialogService.hpp"
#include "core/text/language.hpp"

namespace tessik::app {

class CTessikDlg;

class CTessikApp : public QApplication {
  public:
    CTessikApp(int& argc, char** argv);
    ~CTessikApp() override;

    // Parses the command line, installs the translations, creates the main window and runs
    // its device search. False, after saying why, when the command line cannot be followed.
    bool InitInstance();
    // InitInstance, then the event loop until the main window closes; status 2 when the
    // command line could not be followed.
    int run();

    // Qt's own texts (message-box buttons, file dialogs) in the UI language. Returns the
    // installed translator (owned by the application), or nullptr for English, which needs
    // none, or when Qt's translations are not installed.
    static QTranslator* installQtTranslations(Language language);

    // The device options, the same as tessik-cli's: --simulate, --trace FILE, --sim-fault
    // NAME[=N] (repeatable), --sim-state FILE and --sim-update-mode.
    static void addDeviceOptions(QCommandLineParser& parser);
    // What to use as device. Without --sim-state the simulated receiver keeps its table in the
    // user's data folder. Nothing, with the reason in `error`, for a fault the simulated
    // receiver does not know, a state file that cannot be one, or a simulator option without
    // --simulate.
    static std::optional<DeviceOptions> deviceOptions(const QCommandLineParser& parser,
                                                      std::string& error);

  private:
    QtDialogService dialogs_;
    std::unique_ptr<CTessikDlg> window_;
    std::filesystem::path startFile_;  // the command line's FILE.ird, if any
};

// Said instead of failing obscurely when a windowing program is started without a display.
// Nothing when a display (or a Qt platform chosen by the user) is there.
std::optional<std::string> missingDisplayHint(const char* display, const char* waylandDisplay,
                                              const char* qtPlatform);

}  // namespace tessik::app
