#pragma once
// The application: reads the command line, puts Qt's own texts into the UI language, runs the
// device search of the main window and shows it. When the main window closes, the program ends.

#include <QApplication>
#include <QTranslator>
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
    // its device search. False when the program should end instead.
    bool InitInstance();
    // InitInstance, then the event loop until the main window closes.
    int run();

    // Qt's own texts (message-box buttons, file dialogs) in the UI language. Returns the
    // installed translator (owned by the application), or nullptr for English, which needs
    // none, or when Qt's translations are not installed.
    static QTranslator* installQtTranslations(Language language);

    // What to use as device: the simulated receiver keeps its table in the user's data folder.
    static DeviceOptions deviceOptions(bool simulate);

  private:
    QtDialogService dialogs_;
    std::unique_ptr<CTessikDlg> window_;
};

// Said instead of failing obscurely when a windowing program is started without a display.
// Nothing when a display (or a Qt platform chosen by the user) is there.
std::optional<std::string> missingDisplayHint(const char* display, const char* waylandDisplay,
                                              const char* qtPlatform);

}  // namespace tessik::app
