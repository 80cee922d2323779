#pragma once
// The main window: the remote control's name, one list row per taught button, and the menu
// from which everything else is opened. It owns, for the whole run, the model, the current data
// file, the device connection, the version area (the running firmware's header) and the debug
// window. Its menu commands are enabled and greyed exactly as the model's command states say.

#include <QDialog>
#include <QPoint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "app/DeviceConnection.hpp"
#include "app/DialogService.hpp"
#include "core/device/commands.hpp"
#include "core/device/device_watcher.hpp"
#include "core/device/log_sink.hpp"
#include "core/model/remote_model.hpp"
#include "core/procedures/receiver_status.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/language.hpp"
#include "core/text/ui_texts.hpp"
#include "layouts/layout_files.hpp"

class QAction;
class QLabel;
class QTreeWidget;

namespace tessik::app {

class ButtonTestDlg;
class Capture_w;
class DEBUG_w;
class GuidedSetUpDlg;
class DeviceMonitor;
class UndoHistory;
class HelpViewer;
class SignalWindow;
class VirtualRemoteWindow;

// RefreshList's argument for "select nothing, scroll to the end" (AddCode, New, Edit Macro).
inline constexpr int kRefreshToEnd = 128;

class CTessikDlg : public QDialog, public LogSink {
    Q_OBJECT
  public:
    CTessikDlg(DialogService& dialogs, const DeviceOptions& device, Language language,
               QWidget* parent = nullptr);
    ~CTessikDlg() override;

    // The device search of the start: called once, right after the window is shown. Tells the user
    // when no receiver or only one waiting for a firmware update is found, and asks the
    // receiver for its firmware version.
    StartupFinding startUp();

    // --- The receiver while the tool runs -----------------------------------------------------
    // Looks at what arrived and left since the last look (the device monitor calls it as events
    // come): the link lets go of a receiver that left, a receiver that arrived is searched for
    // and asked for its version, an open capture ends when the receiver goes, and the status
    // line follows.
    void checkDevices();
    ReceiverState receiverState() const { return receiverState_; }

    // --- Operations the dialogs use -----------------------------------------------------------
    // Rebuilds the list from the table, selects the row of slot `selection` (kRefreshToEnd:
    // none) and scrolls so the six rows after it are in view; mirrors the command states in the
    // menu.
    void RefreshList(int selection);
    // A device-traffic line for the debug window; dropped until the window has been created.
    void LogLine(std::string_view text) override;
    // Empties the model and the device frame buffers and greys the model commands.
    void ResetTables();

    RemoteModel& model() { return model_; }
    UndoHistory& undoHistory() { return *undo_; }
    VersionArea& versionArea() { return versionArea_; }
    DeviceConnection& device() { return device_; }
    Language language() const { return language_; }
    const std::filesystem::path& dataFile() const { return dataFile_; }
    // The folder of the user's own key layouts, instead of the one in the user data folder.
    void setLayoutFolder(std::filesystem::path folder) { layoutFolder_ = std::move(folder); }

    // --- Menu commands -----------------------------------------------------------------------
    void New();
    void Open();
    // Opens `path` as Open does once a file was chosen: no question, no file dialog (the window
    // is empty at start-up, when the command line names a file).
    void OpenFile(const std::filesystem::path& path);
    void Save();
    void SaveAs();
    // File > Import...: the signals of an IR code file, previewed with their verdicts; the
    // checked ones are added as captured codes would be.
    void Import();
    // File > Guided Set-Up...: the remote taught button by button, each with the keys of the
    // chosen layout's role; one step of the undo history. Also offered under an empty list.
    void StartGuidedSetUp();
    // File > Export...: the buttons written as an IR code file other tools read, in the format
    // chosen in the save dialog.
    void Export();
    bool Close();  // false when the user keeps the window open
    void Capture();
    // Edit > Re-capture...: the capture dialog for a new code of the selected row.
    void Recapture();
    // Edit > Test Buttons: the receiver in capture mode, each press's row shown; modal to
    // `over` (this window when none is given).
    void TestButtons(QWidget* over = nullptr);
    void DeleteButton();
    void EditButton();
    // Set Up Data, over `over` (this window when none is given).
    void SetUp(QWidget* over = nullptr);
    void EditMacro();
    void Jitter();
    void Rename();
    void Help();
    void About();        // asks the receiver for its version first
    void ShowVersion();  // the version dialog on what the version area holds
    void ToggleDebugWindow();
    void FirmwareUpdate();
    // With the simulated receiver: shows the Virtual Remote beside this window, or raises it.
    // Does nothing with a real receiver.
    void ShowVirtualRemote(bool activate = true);
    // Edit > Signal: the window with the selected row's pulse train, shown or raised.
    void ShowSignal();

    // Selects the row of `slot` and scrolls it into view (the button test's press).
    void showRow(std::size_t slot);

    QAction* action(CommandId command) const;
    QAction* versionAction() const { return versionAction_; }
    DEBUG_w* debugWindow() const { return debug_; }
    HelpViewer* helpViewer() const { return help_; }
    SignalWindow* signalWindow() const { return signal_; }
    VirtualRemoteWindow* virtualRemote() const { return remote_.get(); }

  public slots:
    void reject() override;  // Escape: Close

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenu(QLayout* layout);
    void runCommand(CommandId command);
    // Every change of the model: the list, the name, the menu, the title and the windows that
    // show the table follow it here.
    void modelChanged(const ModelChange& change);
    void syncUndo();
    // The row's context menu (Menu key, Shift+F10, right click): Edit, Delete, Signal.
    void showRowMenu(QPoint at);
    void updateTitle();
    void fillRows();
    void showName();
    void syncMenu();
    bool writeFile(const std::filesystem::path& path);
    layouts::LayoutList loadLayouts() const;
    static std::vector<std::string> refusedLayoutTexts(const layouts::LayoutList& list);
    int selectedSlot() const;
    void updateSignal();
    void followPendingChanges();
    void followDevices(const std::vector<DeviceChange>& changes);
    void settleReceiverState(StartupFinding finding);
    void runCapture(std::optional<std::size_t> recapture);
    // Where a dialog that shows rows of the main list goes: beside this window and the Virtual
    // Remote, covering neither, when there is room.
    void placeCompanion(QWidget& dialog);

    DialogService& dialogs_;
    Language language_;
    RemoteModel model_;
    std::unique_ptr<UndoHistory> undo_;
    std::shared_ptr<void> modelSubscription_;
    std::filesystem::path dataFile_;
    std::optional<std::filesystem::path> layoutFolder_;
    VersionArea versionArea_{};
    // Set before the device connection is made: the connection logs into this window (LogLine)
    // from its first exchange on.
    DEBUG_w* debug_ = nullptr;
    DeviceConnection device_;
    // Presses buttons in front of device_'s simulated receiver, so it goes first.
    std::unique_ptr<VirtualRemoteWindow> remote_;
    std::unique_ptr<DeviceMonitor> monitor_;    // watches device_'s bus, so it goes before it
    std::vector<DeviceChange> pendingChanges_;  // seen during a device wait, followed after it
    ReceiverState receiverState_ = ReceiverState::NotConnected;
    QLabel* status_ = nullptr;          // the status line: the receiver's state
    Capture_w* capture_ = nullptr;      // the capture dialog while it is open
    ButtonTestDlg* test_ = nullptr;     // the button test while it is open
    GuidedSetUpDlg* guided_ = nullptr;  // the guided set-up while it is open
    QWidget* emptyOffer_ = nullptr;     // under an empty list: the guided set-up

    // The widest two-press spread of the codes captured into this table since New or Open.
    std::optional<double> pressSpread_;
    std::map<CommandId, QAction*> actions_;
    QAction* versionAction_ = nullptr;
    QLabel* name_ = nullptr;
    QTreeWidget* list_ = nullptr;
    HelpViewer* help_ = nullptr;
    SignalWindow* signal_ = nullptr;
};

}  // namespace tessik::app
