#pragma once
// "Set Up Data": writes the main window's table, its macros and the timing windows into the
// receiver and makes it keep them. The sequence and its outcome boxes are the core's
// (runSetUpData); the dialog gives it a progress bar and the SET and Close buttons.

#include <QDialog>

#include "core/device/commands.hpp"
#include "core/device/notifier.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

class QProgressBar;
class QPushButton;

namespace tessik::app {

class c_SetCode : public QDialog {
    Q_OBJECT
  public:
    c_SetCode(DeviceCommands& commands, const RemoteModel& model, Notifier& notifier,
              Language language, QWidget* parent = nullptr);

    // SET: one whole run, from Set Ir Code to Save. Can be pressed again for another run.
    void Set();

    // Close, Escape and Enter end the dialog, but not in the middle of a run.
    void done(int result) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showProgress(int position);

    DeviceCommands& commands_;
    const RemoteModel& model_;
    Notifier& notifier_;
    Language language_;
    QProgressBar* progress_;
    QPushButton* set_;
    // A run pauses through the application's clock (Save's two seconds), which keeps the
    // event loop going; nothing may start a second run or close the dialog under the first.
    bool running_ = false;
};

}  // namespace tessik::app
