#include "app/CInputKeyDlg.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/ComboChoice.hpp"
#include "app/InputMacro.hpp"
#include "app/QtText.hpp"
#include "core/keys/native_keys.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

constexpr Label kModifierLabels[kModifierBoxCount] = {
    Label::InputLShift, Label::InputRShift, Label::InputLCtrl, Label::InputRCtrl,
    Label::InputLAlt,   Label::InputRAlt,   Label::InputLWin,  Label::InputRWin};
constexpr const char* kModifierObjectNames[kModifierBoxCount] = {
    "lShiftBox", "rShiftBox", "lCtrlBox", "rCtrlBox", "lAltBox", "rAltBox", "lWinBox", "rWinBox"};

// The key as the key tables know it. Qt hands on the platform's own codes: on X11 and Wayland
// the XKB keycode as the scan code and the keysym as the virtual key; on Windows the virtual
// key and the scan code with the extended-key flag in bit 8.
NativeKey nativeKey(const QKeyEvent& e) {
#ifdef Q_OS_WIN
    return nativeKeyFromWindows(e.nativeVirtualKey(), e.nativeScanCode());
#else
    return nativeKeyFromXkb(e.nativeScanCode(), e.nativeVirtualKey());
#endif
}

// Whether the line edit would insert the event's character. With Ctrl, Alt or the Windows key
// held it would not (it runs its own shortcuts: copy, paste, select all, undo), so the send
// text would miss the key the receiver is to type.
bool editTypesCharacter(const QKeyEvent& e) {
    const QString t = e.text();
    constexpr auto kChordModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return !t.isEmpty() && t.front().isPrint() && (e.modifiers() & kChordModifiers) == 0;
}

// The character a captured chord key shows: what the key types without Ctrl, Alt or the
// Windows key. Qt names printable keys by their upper-case character in the active layout.
QString chordCharacter(const QKeyEvent& e, VirtualKey captured) {
    const int k = e.key();
    if (k > 0x20 && k < 0x7F) {
        const QChar c(k);
        return (e.modifiers() & Qt::ShiftModifier) != 0 ? QString(c) : QString(c.toLower());
    }
    return qs(keyDisplayName(captured));
}

bool isFocusKey(const QKeyEvent& e) {
    return e.key() == Qt::Key_Tab || e.key() == Qt::Key_Backtab;
}

}  // namespace

CInputKeyDlg::CInputKeyDlg(RemoteModel& model, DialogService& dialogs, Language language,
                           EditMode mode, std::size_t entryIndex, std::size_t macroIndex,
                           QWidget* parent)
    : QDialog(parent), model_(model), dialogs_(dialogs), language_(language) {
    setObjectName("inputKeyDialog");
    setWindowTitle(qs(caption(DialogId::InputKey, language)));
    SendStringHost& host = *this;
    editor_ = std::make_unique<SendStringEditor>(model, host, mode, entryIndex, macroIndex);
    buildControls();
    mirror();
    // Every key event of the dialog passes here, so the keyboard state knows which modifier
    // keys are down when a key is captured, wherever the focus was when they were pressed.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

CInputKeyDlg::~CInputKeyDlg() = default;

void CInputKeyDlg::buildControls() {
    auto* commentLabel = new QLabel(qs(label(Label::InputComment, language_)));
    comment_ = new QLineEdit;
    comment_->setObjectName("commentEdit");
    comment_->setMaxLength(static_cast<int>(kMaxTextChars));
    comment_->setMinimumWidth(320);
    commentLabel->setBuddy(comment_);
    connect(comment_, &QLineEdit::textChanged, this,
            [this](const QString& t) { editor_->commentEdited(u16(t)); });

    auto* sendLabel = new QLabel(qs(label(Label::InputSendText, language_)));
    sendText_ = new QLineEdit;
    sendText_->setObjectName("sendTextEdit");
    sendText_->setMaxLength(static_cast<int>(kMaxTextChars));
    // The box captures keys, not text: an input method would take the Japanese keyboard's
    // conversion and width keys, and every letter while composing, before the box saw them.
    sendText_->setAttribute(Qt::WA_InputMethodEnabled, false);
    sendLabel->setBuddy(sendText_);
    sendText_->setAccessibleDescription(qs(label(Label::InputRecordHow, language_)));
    connect(sendText_, &QLineEdit::textChanged, this, [this] { sendTextChanged(); });
    record_ = new QPushButton(qs(label(Label::InputRecord, language_)));
    record_->setObjectName("recordButton");
    record_->setCheckable(true);
    record_->setAutoDefault(true);  // Enter on it records, as Space does
    connect(record_, &QPushButton::toggled, this, &CInputKeyDlg::recordingToggled);

    auto* texts = new QGridLayout;
    texts->addWidget(commentLabel, 0, 0);
    texts->addWidget(comment_, 0, 1, 1, 2);
    texts->addWidget(sendLabel, 1, 0);
    texts->addWidget(sendText_, 1, 1);
    texts->addWidget(record_, 1, 2);

    // Left keys in the first column, right keys in the second.
    auto* boxes = new QGridLayout;
    for (std::size_t i = 0; i < kModifierBoxCount; ++i) {
        auto* box = new QCheckBox(qs(label(kModifierLabels[i], language_)));
        box->setObjectName(kModifierObjectNames[i]);
        const auto which = static_cast<ModifierBox>(i);
        // Toggled, not clicked: Space and a screen reader's toggle change the box as a click does.
        connect(box, &QCheckBox::toggled, this, [this, which](bool on) {
            editor_->setModifierBox(which, on);
            mirror();
        });
        boxes->addWidget(box, static_cast<int>(i / 2), static_cast<int>(i % 2));
        modifierBoxes_[i] = box;
    }

    macro_ = new QCheckBox(qs(label(Label::InputMacro, language_)));
    macro_->setObjectName("macroBox");
    connect(macro_, &QCheckBox::toggled, this, [this](bool on) {
        editor_->setMacroChecked(on);
        mirror();
    });
    combo_ = new QComboBox;
    combo_->setObjectName("macroCombo");
    combo_->setMinimumWidth(200);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The combo box has no label of its own; it chooses the macro the "Macro" box runs.
    combo_->setAccessibleName(qs(label(Label::InputMacro, language_)));
    new ComboChoice(combo_);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int position) {
        editor_->chooseComboPosition(position < 0 ? std::nullopt
                                                  : std::optional<std::size_t>(position));
        mirror();
    });
    auto* macroRow = new QHBoxLayout;
    macroRow->addWidget(macro_);
    macroRow->addWidget(combo_, 1);

    auto* clear = new QPushButton(qs(label(Label::InputClear, language_)));
    clear->setObjectName("clearButton");
    connect(clear, &QPushButton::clicked, this, [this] {
        editor_->clear();
        mirror();
        sendText_->setFocus();
    });
    prev_ = new QPushButton(qs(label(Label::InputPrev, language_)));
    prev_->setObjectName("prevButton");
    connect(prev_, &QPushButton::clicked, this, [this] { step(&SendStringEditor::prev); });
    next_ = new QPushButton(qs(label(Label::InputNext, language_)));
    next_->setObjectName("nextButton");
    connect(next_, &QPushButton::clicked, this, [this] { step(&SendStringEditor::next); });
    auto* close = new QPushButton(qs(label(Label::Close, language_)));
    close->setObjectName("closeButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &CInputKeyDlg::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addWidget(prev_);
    buttons->addWidget(next_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addLayout(boxes);
    layout->addLayout(macroRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// --- Events -----------------------------------------------------------------------------------

bool CInputKeyDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool recording = editor_->state().recording != Recording::Off;
    if (watched == sendText_) {
        if (type == QEvent::MouseButtonPress && !recording) {
            editor_->startRecording(Recording::Keys);
            mirror();
        } else if (type == QEvent::FocusOut && recording) {
            editor_->stopRecording();
            mirror();
        } else if (type == QEvent::ShortcutOverride && recording) {
            // Every key is the box's to capture: no shortcut may take it first.
            event->accept();
            return true;
        }
    }
    if (type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) keyboard_.keyUp(nativeKey(*key).state);
        return false;
    }
    if (type != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    keyboard_.keyDown(nativeKey(*key).state);
    return watched == sendText_ && captureKey(*key);
}

bool CInputKeyDlg::captureKey(QKeyEvent& event) {
    if (editor_->state().recording == Recording::Off) {
        // Not recording: the box only shows the send string. Tab, Esc and Enter do what they
        // do everywhere in the dialog; other keys change nothing.
        const int k = event.key();
        return !(isFocusKey(event) || k == Qt::Key_Escape || k == Qt::Key_Return ||
                 k == Qt::Key_Enter);
    }
    const NativeKey key = nativeKey(event);
    const KeyResult result = editor_->keyDown(key.capture, keyboard_.snapshot());
    mirror();
    // Recording the next key only: once it is in, the focus goes back to the toggle.
    if (result.recordingEnded && record_->hasFocus() == false && sendText_->hasFocus())
        QMetaObject::invokeMethod(record_, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
    if (result.disposition == KeyDisposition::Swallowed) return true;
    if (!result.captured) return false;           // not a key of ours: the box acts as always
    if (editTypesCharacter(event)) return false;  // the box inserts it and reports the text
    sendText_->insert(chordCharacter(event, key.capture));
    return true;
}

void CInputKeyDlg::recordingToggled(bool on) {
    if (!on) {
        editor_->stopRecording();
        mirror();
        return;
    }
    editor_->startRecording(Recording::NextKey);
    mirror();
    if (editor_->state().recording != Recording::Off) sendText_->setFocus(Qt::OtherFocusReason);
}

bool CInputKeyDlg::event(QEvent* event) {
    // The releases of keys let go while another window had the keyboard never arrive.
    if (event->type() == QEvent::WindowDeactivate) keyboard_.releaseAll();
    return QDialog::event(event);
}

void CInputKeyDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    comment_->setFocus();
}

void CInputKeyDlg::sendTextChanged() {
    editor_->sendTextEdited(u16(sendText_->text()));
    mirror();
}

void CInputKeyDlg::step(void (SendStringEditor::*move)()) {
    ((*editor_).*move)();
    mirror();
    sendText_->setFocus();
}

void CInputKeyDlg::accept() {
    editor_->close();
    // The entry is in the table now; the opener has nothing to take from the result.
    done(QDialog::Rejected);
}

// --- The editor's hosts -----------------------------------------------------------------------

MacroDialogResult CInputKeyDlg::registerMacro(std::size_t slot) {
    InputMacro dialog(model_, dialogs_, language_, slot, this);
    return dialog.exec() == QDialog::Accepted ? MacroDialogResult::Closed
                                              : MacroDialogResult::Cancelled;
}

// --- Mirroring the editor ---------------------------------------------------------------------

void CInputKeyDlg::mirror() {
    const SendStringState& s = editor_->state();
    {
        const QSignalBlocker blockComment(comment_);
        if (comment_->text() != qs(s.comment)) comment_->setText(qs(s.comment));
    }
    {
        // A name appended by a capture puts the caret at the end; text the box typed itself
        // is already there, so its caret stays where it is.
        const QSignalBlocker blockSend(sendText_);
        if (sendText_->text() != qs(s.sendText)) sendText_->setText(qs(s.sendText));
    }
    for (std::size_t i = 0; i < kModifierBoxCount; ++i) {
        const QSignalBlocker block(modifierBoxes_[i]);
        modifierBoxes_[i]->setChecked(s.modifierBoxes[i]);
    }
    {
        const QSignalBlocker block(macro_);
        macro_->setChecked(s.macroChecked);
    }
    macro_->setEnabled(s.macroBoxEnabled);
    {
        const QSignalBlocker block(record_);
        record_->setChecked(s.recording != Recording::Off);
    }
    record_->setEnabled(s.keyCount < kKeyWords && !s.macroChecked);
    mirrorCombo();
    prev_->setEnabled(s.prevEnabled);
    next_->setEnabled(s.nextEnabled);
}

void CInputKeyDlg::mirrorCombo() {
    const SendStringState& s = editor_->state();
    QStringList items;
    for (const ComboEntry& e : s.comboEntries)
        items << qs(e.name);
    if (s.comboOffersNewMacro) items << qs(text(StringId::NewMacro, language_));
    const QSignalBlocker block(combo_);
    QStringList shown;
    for (int i = 0; i < combo_->count(); ++i)
        shown << combo_->itemText(i);
    if (shown != items) {
        combo_->clear();
        combo_->addItems(items);
    }
    combo_->setCurrentIndex(s.comboSelection ? static_cast<int>(*s.comboSelection) : -1);
    combo_->setEnabled(s.comboEnabled);
}

}  // namespace tessik::app
