#include "app/CTessikDlg.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppIcon.hpp"
#include "app/ButtonTestDlg.hpp"
#include "app/CInputKeyDlg.hpp"
#include "app/CNameDlg.hpp"
#include "app/C_Update.hpp"
#include "app/Capture_w.hpp"
#include "app/DEBUG_w.hpp"
#include "app/DeviceMonitor.hpp"
#include "app/GuidedSetUpDlg.hpp"
#include "app/HelpViewer.hpp"
#include "app/ImportDlg.hpp"
#include "app/MacroListDlg.hpp"
#include "app/QtText.hpp"
#include "app/RowKeys.hpp"
#include "app/Set_Jitter.hpp"
#include "app/SignalWindow.hpp"
#include "app/UndoHistory.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/WindowPlacement.hpp"
#include "app/c_SetCode.hpp"
#include "app/m_About.hpp"
#include "core/analysis/signal_export.hpp"
#include "core/analysis/texts.hpp"
#include "core/datafile/data_file.hpp"
#include "core/ir/import_choice.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/ir/signal_import.hpp"
#include "core/layouts/layout_import.hpp"
#include "core/model/texts.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
#include "layouts/layout_files.hpp"
#include "platform/durable_file.hpp"
#include "sim/remote_panel.hpp"

namespace tessik::app {
namespace {

struct ListColumn {
    StringId heading;
    int width;
};
// No, Ir Data, Send Charactor, Comment.
constexpr ListColumn kColumns[] = {{StringId::ColumnNo, 30},
                                   {StringId::ColumnIrData, 100},
                                   {StringId::ColumnSendText, 100},
                                   {StringId::ColumnComment, 350}};

// Rows kept in view below the selected one, so the user sees what follows it.
constexpr int kRowsShownAfterSelection = 6;

// Receivers that came and went while a device wait ran are followed once it is over; this is
// how often the window looks whether it is.
constexpr int kAfterWaitMs = 100;

}  // namespace

CTessikDlg::CTessikDlg(DialogService& dialogs, const DeviceOptions& device, Language language,
                       QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), language_(language), device_(device, *this) {
    setObjectName("mainWindow");
    setWindowTitle(qs(text(StringId::MainCaption, language)));
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    buildMenu(layout);

    auto* nameLabel = new QLabel(qs(label(Label::MainName, language)));
    name_ = new QLabel;
    name_->setObjectName("nameText");
    name_->setTextFormat(Qt::PlainText);
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    layout->addLayout(nameRow);

    list_ = new QTreeWidget;
    list_->setObjectName("buttonList");
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSortingEnabled(false);
    list_->header()->setSectionsClickable(false);
    list_->header()->setSectionsMovable(false);
    list_->header()->setStretchLastSection(false);
    QStringList headings;
    for (const ListColumn& c : kColumns)
        headings << qs(text(c.heading, language));
    list_->setHeaderLabels(headings);
    for (int i = 0; i < 4; ++i)
        list_->setColumnWidth(i, kColumns[i].width);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { EditButton(); });
    new RowKeys(list_, {[this] { EditButton(); }, [this] { DeleteButton(); },
                        [this](QPoint at) { showRowMenu(at); }});
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { updateSignal(); });
    layout->addWidget(list_, 1);

    // An empty table offers the guided set-up, where the list would show the buttons.
    emptyOffer_ = new QWidget;
    emptyOffer_->setObjectName("emptyTableOffer");
    auto* offerText = new QLabel(qs(label(Label::MainEmpty, language)));
    offerText->setWordWrap(true);
    auto* offer = new QPushButton(qs(label(Label::MainGuided, language)));
    offer->setObjectName("guidedSetUpButton");
    offer->setAutoDefault(false);
    connect(offer, &QPushButton::clicked, this, [this] { StartGuidedSetUp(); });
    auto* offerRow = new QHBoxLayout(emptyOffer_);
    offerRow->setContentsMargins(0, 0, 0, 0);
    offerRow->addWidget(offerText, 1);
    offerRow->addWidget(offer);
    layout->addWidget(emptyOffer_);

    // The window system offers no system menu to add to, so the version entry lives in the
    // window's context menu.
    const std::string_view versionText = text(StringId::VersionMenuItem, language);
    if (!versionText.empty()) {
        versionAction_ = new QAction(qs(versionText), this);
        versionAction_->setObjectName("command16");
        connect(versionAction_, &QAction::triggered, this, [this] { ShowVersion(); });
        addAction(versionAction_);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    }

    undo_ = std::make_unique<UndoHistory>(model_);
    connect(undo_.get(), &UndoHistory::changed, this, [this] { syncUndo(); });
    modelSubscription_ =
        model_.subscribe([this](const ModelChange& change) { modelChanged(change); });

    // The receiver's state, always in view; a screen reader reads it as the status bar's.
    auto* statusBar = new QStatusBar;
    statusBar->setObjectName("statusBar");
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel;
    status_->setObjectName("receiverStatus");
    status_->setTextFormat(Qt::PlainText);
    statusBar->addWidget(status_, 1);
    layout->addWidget(statusBar);
    settleReceiverState(StartupFinding::NotFound);
    monitor_ = std::make_unique<DeviceMonitor>(
        device_.watch(),
        [this](std::vector<DeviceChange> changes) {
            pendingChanges_.insert(pendingChanges_.end(), changes.begin(), changes.end());
            followPendingChanges();
        },
        device.followDevices);
    ResetTables();
    resize(640, 420);
}

CTessikDlg::~CTessikDlg() {
    // The undo stack clears itself as it goes and says so; by then the menu it would update is
    // gone.
    if (undo_) undo_->disconnect(this);
}

void CTessikDlg::buildMenu(QLayout* layout) {
    auto* bar = new QMenuBar;
    bar->setObjectName("menuBar");
    // The simulated receiver's remote control: nobody can press a button in front of a
    // receiver that is not there.
    const bool simulated = device_.simulatedReceiver() != nullptr;
    for (const Menu& menu : mainMenu(language_)) {
        QMenu* m = bar->addMenu(qs(menu.title));
        QAction* separator = nullptr;
        for (const MenuItem& item : menu.items) {
            if (item.separator) {
                separator = m->addSeparator();
                continue;
            }
            if (item.command == CommandId::VirtualRemote && !simulated) {
                if (separator != nullptr) m->removeAction(separator);
                continue;
            }
            QAction* a = m->addAction(qs(item.text));
            a->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(item.command)));
            if (!item.shortcut.empty())
                a->setShortcuts(QKeySequence::listFromString(qs(item.shortcut)));
            const CommandId id = item.command;
            connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
            actions_[id] = a;
        }
    }
    layout->setMenuBar(bar);
    // F10 opens the first menu, as on every desktop; Alt and a menu's letter open that one.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, bar, [bar] {
        if (!bar->actions().isEmpty()) bar->setActiveAction(bar->actions().first());
    });
}

void CTessikDlg::runCommand(CommandId command) {
    switch (command) {
        case CommandId::New:
            New();
            break;
        case CommandId::Open:
            Open();
            break;
        case CommandId::Save:
            Save();
            break;
        case CommandId::SaveAs:
            SaveAs();
            break;
        case CommandId::Import:
            Import();
            break;
        case CommandId::GuidedSetUp:
            StartGuidedSetUp();
            break;
        case CommandId::Export:
            Export();
            break;
        case CommandId::Exit:
            Close();
            break;
        case CommandId::Capture:
            Capture();
            break;
        case CommandId::Recapture:
            Recapture();
            break;
        case CommandId::TestButtons:
            TestButtons();
            break;
        case CommandId::DeleteIr:
            DeleteButton();
            break;
        case CommandId::SetUp:
            SetUp();
            break;
        case CommandId::EditMacro:
            EditMacro();
            break;
        case CommandId::Jitter:
            Jitter();
            break;
        case CommandId::Help:
            Help();
            break;
        case CommandId::About:
            About();
            break;
        case CommandId::DebugWindow:
            ToggleDebugWindow();
            break;
        case CommandId::FirmwareUpdate:
            FirmwareUpdate();
            break;
        case CommandId::VersionSystemMenu:
            ShowVersion();
            break;
        case CommandId::Signal:
            ShowSignal();
            break;
        case CommandId::Rename:
            Rename();
            break;
        case CommandId::VirtualRemote:
            ShowVirtualRemote();
            break;
        case CommandId::EditKeys:
            EditButton();
            break;
        case CommandId::Undo:
            undo_->undo();
            break;
        case CommandId::Redo:
            undo_->redo();
            break;
    }
}

QAction* CTessikDlg::action(CommandId command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

StartupFinding CTessikDlg::startUp() {
    ResetTables();
    const StartupResult found =
        runStartup(device_.link(), device_.commands(), versionArea_, [this](StartupFinding f) {
            if (const auto notice = startupNotice(f, language_)) dialogs_.show(*notice);
            if (f == StartupFinding::UpdateWaiting) FirmwareUpdate();
        });
    showDeviceOutcome(dialogs_, found.version, language_);
    settleReceiverState(found.finding);
    return found.finding;
}

// --- The receiver while the tool runs ---------------------------------------------------------

void CTessikDlg::checkDevices() {
    monitor_->check();
}

// A device wait runs the event loop in the middle of an exchange, and perhaps of a run of them
// (Set Up Data, a firmware update): the link and the dialogs are left alone until it is over.
void CTessikDlg::followPendingChanges() {
    if (pendingChanges_.empty()) return;
    if (device_.waiting()) {
        QTimer::singleShot(kAfterWaitMs, this, [this] { followPendingChanges(); });
        return;
    }
    followDevices(std::exchange(pendingChanges_, {}));
}

void CTessikDlg::followDevices(const std::vector<DeviceChange>& changes) {
    CUsbhidioc& link = device_.link();
    const bool linkLost = std::any_of(changes.begin(), changes.end(), [&](const DeviceChange& c) {
        return c.kind == DeviceChangeKind::Left && c.device.path == link.devicePath();
    });
    if (linkLost) link.Disconnect();
    // A link still on its receiver keeps it; otherwise the receiver is looked for again, and a
    // plugged-in one asked for its version (the version dialog shows it).
    StartupFinding found = StartupFinding::Normal;
    if (!link.connected()) found = searchAgain(link, device_.commands(), versionArea_).finding;
    settleReceiverState(found);
    if (receiverState_ == ReceiverState::Connected) return;
    if (capture_ != nullptr) capture_->deviceLeft();
    if (test_ != nullptr) test_->deviceLeft();
    if (guided_ != nullptr) guided_->setUp().deviceLeft();
}

void CTessikDlg::settleReceiverState(StartupFinding finding) {
    receiverState_ =
        device_.link().connected() ? ReceiverState::Connected : tessik::receiverState(finding);
    status_->setText(qs(receiverStatusText(receiverState_, device_.simulatedReceiver() != nullptr,
                                           versionArea_, language_)));
    if (remote_) remote_->showPlugState();
}

// --- Model operations -------------------------------------------------------------------------

void CTessikDlg::ResetTables() {
    device_.commands().ResetBuffers();
    model_.ResetTables();
}

void CTessikDlg::modelChanged(const ModelChange& change) {
    using What = ModelChange::What;
    switch (change.what) {
        case What::Everything: {
            // Reset and Open select the first row; an edit taken back or done again the row it
            // was about, or else the row selected before.
            const int before = selectedSlot();
            const bool row = change.index < kButtonSlots;
            RefreshList(row ? static_cast<int>(change.index) : before >= 0 ? before : 0);
            if (debug_ != nullptr) debug_->ShowStatistics(model_.header());
            break;
        }
        case What::RowAdded:
            if (debug_ != nullptr) debug_->ShowStatistics(model_.header());
            RefreshList(kRefreshToEnd);
            break;
        case What::Row:
            // A row captured again changes the statistics too.
            if (debug_ != nullptr) debug_->ShowStatistics(model_.header());
            RefreshList(static_cast<int>(change.index));
            break;
        case What::RowsMoved:
            RefreshList(0);
            break;
        case What::Macro:
        case What::Macros:
            RefreshList(kRefreshToEnd);
            break;
        case What::Header:
            showName();
            updateSignal();  // the windows follow the jitter
            break;
        case What::SavedState:
            syncMenu();
            break;
    }
    updateTitle();
}

void CTessikDlg::syncUndo() {
    QAction* undo = action(CommandId::Undo);
    QAction* redo = action(CommandId::Redo);
    if (undo == nullptr || redo == nullptr) return;
    undo->setText(qs(undoText(undo_->undoLabel(), language_)));
    undo->setEnabled(undo_->undoLabel() != nullptr);
    redo->setText(qs(redoText(undo_->redoLabel(), language_)));
    redo->setEnabled(undo_->redoLabel() != nullptr);
}

// "living-room.ird* – Infrared-remote-control setting tool": the file, and a star while the
// table holds changes it does not. A table not yet saved is "Untitled"; before any table is
// started the caption stands alone.
void CTessikDlg::updateTitle() {
    const QString caption = qs(text(StringId::MainCaption, language_));
    const CommandStates s = model_.commands();
    if (!s.save && !s.capture && !model_.modified()) {
        setWindowTitle(caption);
        return;
    }
    const QString file = s.save && !dataFile_.empty() ? qs(utf8(fromPath(dataFile_.filename())))
                                                      : qs(pick({"Untitled", "無題"}, language_));
    setWindowTitle(file + (model_.modified() ? "*" : "") + QString::fromUtf8(" – ") + caption);
}

void CTessikDlg::fillRows() {
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        const ButtonRecord& b = model_.buttons()[slot];
        if (!b.code.occupied()) continue;
        auto* row = new QTreeWidgetItem;
        row->setText(0, QString::number(slot + 1));
        row->setData(0, Qt::UserRole, static_cast<int>(slot));
        row->setText(1, qs(codeValueText(b.code.codeValue)));
        row->setText(2, qs(b.text.sendText));
        row->setText(3, qs(b.text.comment));
        rows << row;
    }
    list_->addTopLevelItems(rows);
}

void CTessikDlg::showName() {
    name_->setText(qs(model_.shownName()));
}

void CTessikDlg::syncMenu() {
    const CommandStates s = model_.commands();
    // A menu built for another language or build may lack an entry; it is then left alone.
    const auto enable = [this](CommandId id, bool on) {
        if (QAction* a = action(id)) a->setEnabled(on);
    };
    enable(CommandId::Save, s.save);
    enable(CommandId::SaveAs, s.saveAs);
    enable(CommandId::Capture, s.capture);
    enable(CommandId::Import, s.capture);   // a table to add to, as for capturing
    enable(CommandId::Export, s.deleteIr);  // a row to write
    enable(CommandId::DeleteIr, s.deleteIr);
    enable(CommandId::SetUp, s.setUp);
    enable(CommandId::EditMacro, s.editMacro);
    enable(CommandId::Jitter, s.jitter);
    enable(CommandId::Signal, s.deleteIr);  // a row to show
    enable(CommandId::EditKeys, s.deleteIr);
    enable(CommandId::Recapture, s.deleteIr);          // a row to capture again
    enable(CommandId::TestButtons, s.deleteIr);        // rows to find
    enable(CommandId::Rename, s.capture || s.saveAs);  // a table has been started
    enable(CommandId::GuidedSetUp, s.guidedSetUp);
    emptyOffer_->setVisible(s.guidedSetUp && model_.occupiedCount() == 0);
}

void CTessikDlg::RefreshList(int selection) {
    fillRows();
    const int n = list_->topLevelItemCount();
    // `selection` is a slot: its row, or the first row after it where it has none.
    int selected = n;
    for (int r = 0; selection != kRefreshToEnd && r < n; ++r) {
        if (list_->topLevelItem(r)->data(0, Qt::UserRole).toInt() >= selection) {
            selected = r;
            break;
        }
    }
    list_->clearSelection();
    if (selected >= 0 && selected < n) {
        list_->setCurrentItem(list_->topLevelItem(selected));
    } else {
        list_->setCurrentItem(nullptr);
    }
    const int shown =
        selected + kRowsShownAfterSelection < n ? selected + kRowsShownAfterSelection : n - 1;
    if (shown >= 0) list_->scrollToItem(list_->topLevelItem(shown));
    showName();
    syncMenu();
    updateSignal();  // the table's timings may have changed under the same row
}

void CTessikDlg::LogLine(std::string_view line) {
    if (debug_ != nullptr) debug_->AppendLog(line);
}

// The slot the selected row shows. Rows are the occupied slots only, so in a table with gaps
// (a file written elsewhere) a row's place in the list is not its slot.
int CTessikDlg::selectedSlot() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->data(0, Qt::UserRole).toInt();
}

void CTessikDlg::updateSignal() {
    if (signal_ == nullptr) return;
    const int row = selectedSlot();
    if (row < 0 || !model_.buttons()[static_cast<std::size_t>(row)].code.occupied()) {
        signal_->showNothing();
        return;
    }
    const auto slot = static_cast<std::size_t>(row);
    signal_->showCode(slot, model_.buttons()[slot].code, model_.header(), model_.jitterPercent());
}

// --- File menu --------------------------------------------------------------------------------

void CTessikDlg::New() {
    if (model_.modified() && !dialogs_.confirm(text(StringId::ContinueWithUnsaved, language_))) {
        return;
    }
    CNameDlg dialog(language_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::u16string name = dialog.name();
    if (name.empty()) return;
    pressSpread_.reset();
    device_.commands().ResetBuffers();
    model_.startNew(name);
}

void CTessikDlg::Open() {
    if (model_.modified() && !dialogs_.confirm(text(StringId::ContinueWithUnsaved, language_))) {
        return;
    }
    const auto path = dialogs_.chooseFile(dataFileDialog(FileDialogKind::Open));
    if (!path) return;
    OpenFile(*path);
}

void CTessikDlg::OpenFile(const std::filesystem::path& path) {
    pressSpread_.reset();
    device_.commands().ResetBuffers();
    // The model is reset first, and stays empty when the file cannot be read.
    const OpenResult result = openDataFile(path, model_);
    if (result.outcome != OpenOutcome::Loaded) {
        if (result.outcome == OpenOutcome::Refused) {
            dialogs_.warn(text(StringId::BadDataFile, language_));
        } else {
            dialogs_.warn(utf8(fromPath(path)) + "\n" + result.error);
        }
        return;
    }
    dataFile_ = path;
    updateTitle();
    if (result.storedJitter) {
        dialogs_.warn(
            jitterOutOfRangeText(*result.storedJitter, model_.jitterPercent(), language_));
    }
}

void CTessikDlg::Import() {
    const auto path = dialogs_.chooseFile(FileDialogRequest{
        FileDialogKind::Open, std::string(label(Label::ImportFiles, language_)), {}});
    if (!path) return;
    // The bound keeps a wrong choice (a device, a huge log) from being read until memory runs
    // out.
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (readWholeFile(*path, bytes, error, kMaxSignalFileBytes) != ReadOutcome::Read) {
        dialogs_.warn(utf8(fromPath(*path)) + "\n" + error);
        return;
    }
    RawSignalsParse parsed = parseRawSignals(std::string(bytes.begin(), bytes.end()));
    if (!parsed.ok || parsed.found.empty()) {
        dialogs_.warn(utf8(fromPath(*path)) + "\n" +
                      (parsed.ok ? "no signal found" : parsed.error));
        return;
    }
    ImportChoice choice(model_, std::move(parsed.found));
    ImportDlg preview(choice, utf8(fromPath(path->filename())), language_, this);
    const layouts::LayoutList layouts = loadLayouts();
    preview.offerLayouts(layouts.layouts, refusedLayoutTexts(layouts));
    if (preview.exec() != QDialog::Accepted) return;
    addImportedWithKeys(model_, choice.items(), choice.chosen(), preview.chosenLayout());
}

layouts::LayoutList CTessikDlg::loadLayouts() const {
    return layouts::loadLayouts(layoutFolder_ ? *layoutFolder_ : layouts::userLayoutFolder(),
                                language_);
}

std::vector<std::string> CTessikDlg::refusedLayoutTexts(const layouts::LayoutList& list) {
    std::vector<std::string> texts;
    for (const layouts::LayoutRefusal& r : list.refused)
        texts.push_back(r.text());
    return texts;
}

void CTessikDlg::Export() {
    const auto chosen = dialogs_.chooseSaveFormat(
        FileDialogRequest{FileDialogKind::Save, exportFileFilter(language_), {}});
    if (!chosen || chosen->filter >= exportFormats().size()) return;
    std::error_code ec;
    if (std::filesystem::exists(chosen->path, ec) &&
        !dialogs_.confirm(text(StringId::OverwriteExisting, language_))) {
        return;
    }
    const SignalExport result =
        exportSignals(model_, exportFormats()[chosen->filter].format, language_);
    platform::DurableFileReplacer files;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(result.text.data());
    const Replacement written = files.replace(chosen->path, std::span(bytes, result.text.size()));
    const std::string shown = utf8(fromPath(chosen->path));
    if (!written.ok) {
        dialogs_.warn(shown + "\n" + written.error);
        return;
    }
    if (!written.warning.empty()) dialogs_.warn(shown + "\n" + written.warning);
    if (!result.leftOut.empty()) dialogs_.warn(leftOutText(result.leftOut, language_));
}

bool CTessikDlg::writeFile(const std::filesystem::path& path) {
    platform::DurableFileReplacer files;
    const SaveResult result = saveDataFile(path, model_, files);
    if (!result.ok) {
        // The old file is untouched: the new content goes to a temporary file first.
        dialogs_.warn(utf8(fromPath(path)) + "\n" + result.error);
        return false;
    }
    dataFile_ = path;
    updateTitle();
    if (!result.warning.empty()) dialogs_.warn(utf8(fromPath(path)) + "\n" + result.warning);
    return true;
}

void CTessikDlg::SaveAs() {
    const auto path = dialogs_.chooseFile(dataFileDialog(FileDialogKind::Save));
    if (!path) return;
    std::error_code ec;
    if (std::filesystem::exists(*path, ec) &&
        !dialogs_.confirm(text(StringId::OverwriteExisting, language_))) {
        return;
    }
    writeFile(*path);
}

void CTessikDlg::Save() {
    if (dataFile_.empty()) {  // Save is only enabled once a file is known; be safe anyway
        SaveAs();
        return;
    }
    if (model_.modified() && !dialogs_.confirm(text(StringId::OverwriteOnSave, language_))) return;
    writeFile(dataFile_);
}

bool CTessikDlg::Close() {
    if (model_.modified() && !dialogs_.confirm(text(StringId::ExitWithUnsaved, language_))) {
        return false;
    }
    if (debug_ != nullptr) debug_->hide();
    if (help_ != nullptr) help_->hide();
    if (signal_ != nullptr) signal_->hide();
    done(QDialog::Rejected);
    return true;
}

void CTessikDlg::reject() {
    Close();
}

void CTessikDlg::keyPressEvent(QKeyEvent* event) {
    // Enter does nothing in the main window (there is no default button to press).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTessikDlg::closeEvent(QCloseEvent* event) {
    // A device wait runs the event loop; the window must not go away under the exchange.
    if (device_.waiting()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// --- Edit, Setup and Help menus ----------------------------------------------------------------

void CTessikDlg::Capture() {
    if (model_.occupiedCount() >= kButtonSlots) return;
    runCapture(std::nullopt);
}

void CTessikDlg::Recapture() {
    const int row = selectedSlot();
    if (row >= 0) runCapture(static_cast<std::size_t>(row));
}

void CTessikDlg::runCapture(std::optional<std::size_t> recapture) {
    // Without the receiver in capture mode there is nothing to poll.
    if (!device_.commands().CaptureMode(1)) {
        showDeviceOutcome(dialogs_, device_.commands().outcome(), language_);
        return;
    }
    // The session stores into the model itself, and the list follows the model, so each
    // stored code shows at once.
    Capture_w dialog(device_.link(), device_.commands(), *this, model_, dialogs_, language_,
                     recapture, this);
    // Modal to this window only: the Virtual Remote, a window of its own, must stay usable to
    // press the buttons being captured.
    dialog.setWindowModality(Qt::WindowModal);
    capture_ = &dialog;
    dialog.exec();
    capture_ = nullptr;
    // The widest spread of two presses is kept for the jitter dialog's suggestion.
    if (const auto widest = dialog.session().widestStoredSpread())
        pressSpread_ = std::max(pressSpread_.value_or(0.0), *widest);
}

void CTessikDlg::TestButtons(QWidget* over) {
    // In capture mode the receiver records the presses instead of typing their keys.
    if (!device_.commands().CaptureMode(1)) {
        showDeviceOutcome(dialogs_, device_.commands().outcome(), language_);
        return;
    }
    ButtonTestDlg dialog(
        device_.link(), device_.commands(), *this, model_, dialogs_, language_,
        [this](std::size_t slot) { showRow(slot); }, over != nullptr ? over : this);
    // Modal to this window only, as the capture: the Virtual Remote must stay usable.
    dialog.setWindowModality(Qt::WindowModal);
    placeCompanion(dialog);
    test_ = &dialog;
    dialog.exec();
    test_ = nullptr;
}

void CTessikDlg::showRow(std::size_t slot) {
    for (int r = 0; r < list_->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = list_->topLevelItem(r);
        if (item->data(0, Qt::UserRole).toInt() != static_cast<int>(slot)) continue;
        list_->setCurrentItem(item);
        list_->scrollToItem(item);
        return;
    }
}

void CTessikDlg::placeCompanion(QWidget& dialog) {
    QRect taken = frameGeometry();
    if (remote_ && remote_->isVisible()) taken = taken.united(remote_->frameGeometry());
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    dialog.adjustSize();
    const Placement p =
        placeBeside(taken, dialog.sizeHint() + frameExtra, dialog.minimumSizeHint() + frameExtra,
                    screen()->availableGeometry());
    // Where nothing fits beside them, the window system places it.
    if (p.main != taken) return;
    dialog.move(p.companion.topLeft());
    dialog.resize(p.companion.size() - frameExtra);
}

void CTessikDlg::ShowVirtualRemote(bool activate) {
    sim::SimulatedReceiver* receiver = device_.simulatedReceiver();
    if (receiver == nullptr) return;
    if (!remote_) {
        remote_ = std::make_unique<VirtualRemoteWindow>(*receiver, language_);
        // Beside this window and covering nothing of it, on this window's screen. Its frame is
        // not known before it is shown: take this window's as the measure.
        const QSize frameExtra = frameGeometry().size() - geometry().size();
        const Placement p =
            placeBeside(frameGeometry(), remote_->sizeHint() + frameExtra,
                        remote_->minimumSize() + frameExtra, screen()->availableGeometry());
        if (p.main != frameGeometry()) {
            move(p.main.topLeft());
            resize(p.main.size() - frameExtra);
        }
        remote_->move(p.companion.topLeft());
        remote_->resize(p.companion.size() - frameExtra);
    }
    // Shown at start-up beside the window without taking the keyboard from it; from the menu,
    // raised and given the keyboard.
    remote_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    remote_->show();
    if (!activate) return;
    remote_->raise();
    remote_->activateWindow();
}

void CTessikDlg::showRowMenu(QPoint at) {
    QMenu menu(this);
    const bool row = selectedSlot() >= 0;
    const std::pair<Label, std::function<void()>> entries[] = {
        {Label::RowEdit, [this] { EditButton(); }},
        {Label::RowRecapture, [this] { Recapture(); }},
        {Label::RowDelete, [this] { DeleteButton(); }},
        {Label::RowSignal, [this] { ShowSignal(); }},
    };
    for (const auto& [text, run] : entries) {
        QAction* a = menu.addAction(qs(label(text, language_)));
        a->setEnabled(row);
        connect(a, &QAction::triggered, this, run);
    }
    menu.exec(list_->viewport()->mapToGlobal(at));
}

void CTessikDlg::ShowSignal() {
    const bool first = signal_ == nullptr;
    if (first) signal_ = new SignalWindow(language_, this);
    updateSignal();
    if (first) signal_->adjustSize();  // to the heading it shows, which may take lines
    signal_->show();
    signal_->raise();
}

void CTessikDlg::DeleteButton() {
    const int row = selectedSlot();
    if (row < 0) return;
    if (!dialogs_.confirmDeleteRow(static_cast<std::size_t>(row), language_)) return;
    model_.DeleteButton(static_cast<std::size_t>(row));
}

void CTessikDlg::EditButton() {
    const int row = selectedSlot();
    if (row < 0) return;
    CInputKeyDlg dialog(model_, dialogs_, language_, EditMode::Button,
                        static_cast<std::size_t>(row), 0, this);
    dialog.exec();
}

void CTessikDlg::SetUp(QWidget* over) {
    c_SetCode dialog(device_.commands(), model_, dialogs_, language_,
                     over != nullptr ? over : this);
    dialog.exec();
}

void CTessikDlg::StartGuidedSetUp() {
    if (!model_.commands().guidedSetUp) return;
    const layouts::LayoutList layouts = loadLayouts();
    GuidedSetUpActions actions{[this](QWidget* over) { SetUp(over); },
                               [this](QWidget* over) { TestButtons(over); }, [this] { SaveAs(); }};
    GuidedSetUpDlg dialog(device_.link(), device_.commands(), *this, model_, dialogs_, language_,
                          layouts.layouts, refusedLayoutTexts(layouts), std::move(actions), this);
    // Modal to this window only: the Virtual Remote, a window of its own, must stay usable to
    // press the buttons being taught.
    dialog.setWindowModality(Qt::WindowModal);
    guided_ = &dialog;
    dialog.exec();
    guided_ = nullptr;
    if (const auto widest = dialog.setUp().widestSpread())
        pressSpread_ = std::max(pressSpread_.value_or(0.0), *widest);
}

void CTessikDlg::EditMacro() {
    MacroListDlg dialog(model_, dialogs_, language_, this);
    dialog.exec();
}

void CTessikDlg::Jitter() {
    Set_Jitter dialog(model_, language_, this);
    dialog.setPressSpread(pressSpread_);
    dialog.exec();
}

void CTessikDlg::Rename() {
    CNameDlg dialog(language_, this);
    dialog.setName(model_.shownName());
    if (dialog.exec() != QDialog::Accepted) return;
    const std::u16string name = dialog.name();
    if (!name.empty()) model_.rename(name);
}

void CTessikDlg::Help() {
    if (help_ == nullptr) help_ = new HelpViewer(language_, helpSearchFolders(), this);
    help_->showIndex();
    help_->show();
    help_->raise();
}

void CTessikDlg::About() {
    versionArea_.fill(0);
    if (!device_.commands().GetVersion(versionArea_)) {
        showDeviceOutcome(dialogs_, device_.commands().outcome(), language_);
    }
    if (device_.link().connected()) settleReceiverState(StartupFinding::Normal);
    ShowVersion();
}

void CTessikDlg::ShowVersion() {
    m_About dialog(versionArea_, language_, this);
    dialog.exec();
}

void CTessikDlg::ToggleDebugWindow() {
    if (debug_ == nullptr) debug_ = new DEBUG_w(this);
    if (debug_->isVisible()) {
        debug_->hide();
    } else {
        debug_->show();  // without taking the focus from the main window
    }
}

void CTessikDlg::FirmwareUpdate() {
    // The update reads the running firmware's header from the version area and, once the new
    // firmware runs, points the link at the identity it comes back with and reads its version.
    LinkUpdateHost host(device_.link(), device_.commands(), versionArea_);
    C_Update dialog(device_.transport(), device_.clock(), host, dialogs_, language_, this);
    dialog.exec();
    if (device_.link().connected()) settleReceiverState(StartupFinding::Normal);
}

}  // namespace tessik::app
