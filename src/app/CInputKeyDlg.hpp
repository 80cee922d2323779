#pragma once
// "Input Send Charactor": the editor of one send string, what the receiver types for a button
// of the table or for one command of a macro. A view over the core's SendStringEditor: the
// dialog turns Qt's key events into virtual keys (through their native X11 or Windows codes),
// forwards every user action to the editor and mirrors its state into the controls.
//
// Keys pressed in the "Send Charactor" box while it records are captured: Tab, Enter, Esc, the
// arrows and the editing keys become named keys there instead of moving the focus, closing the
// dialog or editing the text. A click into the box records until the focus leaves it; "Record
// Key" (Alt+R) records the next key and hands the focus back to itself, so the keyboard is
// never held in the box. Entries are stored into the model by the editor itself whenever the
// dialog leaves them (Prev, Next, Close); Esc outside the recording box and the close box store
// nothing.

#include <QDialog>
#include <array>
#include <memory>

#include "app/DialogService.hpp"
#include "core/keys/keyboard_state.hpp"
#include "core/keys/send_string_editor.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace tessik::app {

class CInputKeyDlg : public QDialog, private SendStringHost {
    Q_OBJECT
  public:
    CInputKeyDlg(RemoteModel& model, DialogService& dialogs, Language language, EditMode mode,
                 std::size_t entryIndex, std::size_t macroIndex, QWidget* parent = nullptr);
    ~CInputKeyDlg() override;

  public slots:
    void accept() override;  // "Close", also Enter outside the send box: store, then end

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    MacroDialogResult registerMacro(std::size_t slot) override;

    void buildControls();
    // A key press in the send box; true when the box must not see it.
    bool captureKey(QKeyEvent& event);
    void recordingToggled(bool on);
    void sendTextChanged();
    void step(void (SendStringEditor::*move)());
    void mirror();
    void mirrorCombo();

    RemoteModel& model_;
    DialogService& dialogs_;
    Language language_;
    std::unique_ptr<SendStringEditor> editor_;
    KeyboardState keyboard_;

    QLineEdit* comment_ = nullptr;
    QLineEdit* sendText_ = nullptr;
    QPushButton* record_ = nullptr;
    std::array<QCheckBox*, kModifierBoxCount> modifierBoxes_{};
    QCheckBox* macro_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPushButton* prev_ = nullptr;
    QPushButton* next_ = nullptr;
};

}  // namespace tessik::app
