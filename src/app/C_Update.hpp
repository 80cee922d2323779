#pragma once
// "Firmware Update": shows the firmware running in the receiver, loads a ".bin" image and
// shows its name, version, size and CRC, and on Update replaces the receiver's firmware with
// it. The load and the update are the core's (loadUpdateImage, FirmwareUpdate); the dialog is
// their log, their progress bar and their buttons. The button labels read the same in every
// language.

#include <QDialog>
#include <memory>
#include <string_view>

#include "app/DialogService.hpp"
#include "core/device/clock.hpp"
#include "core/device/hid_transport.hpp"
#include "core/firmware/image_file.hpp"
#include "core/firmware/update_procedure.hpp"
#include "core/firmware/updater_link.hpp"
#include "core/text/language.hpp"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tessik::app {

// The image dialog: ".bin" files, or any file.
FileDialogRequest firmwareImageDialog();

class C_Update : public QDialog, public UpdateSink {
    Q_OBJECT
  public:
    // `host` is the main window's side: the running firmware's header it keeps, and the link
    // that gets the device back after an update.
    C_Update(HidTransport& transport, Clock& clock, UpdateHost& host, DialogService& dialogs,
             Language language, QWidget* parent = nullptr);
    ~C_Update() override;

    void FileOpen();
    void Update();

    // Close and Escape end the dialog, but not in the middle of an update.
    void done(int result) override;

    // UpdateSink: the log (control 1071) and the progress bar (1074), both painted at once.
    void appendLog(std::string_view text) override;
    void setProgressRange(int lowest, int highest) override;
    void setProgress(int position) override;
    void repaintProgress() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showLoad();

    Clock& clock_;
    UpdateHost& host_;
    DialogService& dialogs_;
    Language language_;
    CUpdaterLink link_;
    std::unique_ptr<ImageBuffer> image_;
    ImageLoad load_;
    // An update pauses through the application's clock, which keeps the event loop going;
    // nothing may start a second one or close the dialog under it.
    bool running_ = false;

    QLabel* runningText_;
    QLabel* path_;
    QLabel* firmware_;
    QLabel* size_;
    QPushButton* update_;
    QProgressBar* progress_;
    QPlainTextEdit* log_;
};

}  // namespace tessik::app
