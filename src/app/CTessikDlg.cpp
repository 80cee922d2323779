#include "app/CTessikDlg.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AppIcon.hpp"
#include "app/CInputKeyDlg.hpp"
#include "app/CNameDlg.hpp"
#include "app/C_Update.hpp"
#include "app/Capture_w.hpp"
#include "app/DEBUG_w.hpp"
#include "app/HelpViewer.hpp"
#include "app/ImportDlg.hpp"
#include "app/MacroListDlg.hpp"
#include "app/QtText.hpp"
#include "app/Set_Jitter.hpp"
#include "app/SignalWindow.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/c_SetCode.hpp"
#include "app/m_About.hpp"
#include "core/datafile/data_file.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/ir/signal_import.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
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

}  // namespace

CTessikDlg::CTessikDlg(DialogService& dialogs, const DeviceOptions& device, Language language,
                       QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), language_(language), device_(device, dialogs, *this) {
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
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { updateSignal(); });
    layout->addWidget(list_, 1);

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

    ResetTables();
    resize(640, 420);
}

CTessikDlg::~CTessikDlg() = default;

void CTessikDlg::buildMenu(QLayout* layout) {
    auto* bar = new QMenuBar;
    bar->setObjectName("menuBar");
    QMenu* setup = nullptr;
    for (const Menu& menu : mainMenu(language_)) {
        QMenu* m = bar->addMenu(qs(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.command == CommandId::Jitter) setup = m;
            if (item.separator) {
                m->addSeparator();
                continue;
            }
            QAction* a = m->addAction(qs(item.text));
            a->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(item.command)));
            const CommandId id = item.command;
            connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
            actions_[id] = a;
        }
    }
    // The simulated receiver's remote control, last in the Setup menu: nobody can press a
    // button in front of a receiver that is not there.
    if (setup != nullptr && device_.simulatedReceiver() != nullptr) {
        setup->addSeparator();
        QAction* a =
            setup->addAction(qs(sim::panelText(sim::PanelText::MenuEntry, language_)) + "...");
        a->setObjectName("virtualRemoteAction");
        connect(a, &QAction::triggered, this, [this] { ShowVirtualRemote(); });
    }
    layout->setMenuBar(bar);
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
        case CommandId::Exit:
            Close();
            break;
        case CommandId::Capture:
            Capture();
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
    }
}

QAction* CTessikDlg::action(CommandId command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

StartupFinding CTessikDlg::startUp() {
    ResetTables();
    return runStartup(device_.link(), device_.commands(), dialogs_, versionArea_, language_,
                      [this] { FirmwareUpdate(); });
}

// --- Model operations -------------------------------------------------------------------------

void CTessikDlg::ResetTables() {
    model_.ResetTables();
    device_.commands().ResetBuffers();
    fillRows();
    showName();
    syncMenu();
}

void CTessikDlg::fillRows() {
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        const ButtonRecord& b = model_.buttons[slot];
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
    name_->setText(qs(model_.shownName));
}

void CTessikDlg::syncMenu() {
    const CommandStates& s = model_.commands;
    // A menu built for another language or build may lack an entry; it is then left alone.
    const auto enable = [this](CommandId id, bool on) {
        if (QAction* a = action(id)) a->setEnabled(on);
    };
    enable(CommandId::Save, s.save);
    enable(CommandId::SaveAs, s.saveAs);
    enable(CommandId::Capture, s.capture);
    enable(CommandId::Import, s.capture);  // a table to add to, as for capturing
    enable(CommandId::DeleteIr, s.deleteIr);
    enable(CommandId::SetUp, s.setUp);
    enable(CommandId::EditMacro, s.editMacro);
    enable(CommandId::Jitter, s.jitter);
    enable(CommandId::Signal, s.deleteIr);  // a row to show
}

void CTessikDlg::RefreshList(int selection) {
    model_.refreshCommandStates();
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

std::size_t CTessikDlg::AddCode(const CodeRecord& record, std::u16string_view comment) {
    const std::size_t slot = model_.AddCode(record, comment);
    if (slot == kNoFreeSlot) return slot;
    if (debug_ != nullptr) debug_->ShowStatistics(model_.header);
    RefreshList(kRefreshToEnd);
    return slot;
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
    if (row < 0 || !model_.buttons[static_cast<std::size_t>(row)].code.occupied()) {
        signal_->showNothing();
        return;
    }
    const auto slot = static_cast<std::size_t>(row);
    signal_->showCode(slot, model_.buttons[slot].code, model_.header, model_.jitterPercent);
}

// --- File menu --------------------------------------------------------------------------------

void CTessikDlg::New() {
    if (model_.modified && !dialogs_.confirm(text(StringId::ContinueWithUnsaved, language_))) {
        return;
    }
    CNameDlg dialog(language_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::u16string name = dialog.name();
    if (name.empty()) return;
    model_.startNew(name);
    pressSpread_.reset();
    device_.commands().ResetBuffers();
    RefreshList(kRefreshToEnd);
}

void CTessikDlg::Open() {
    if (model_.modified && !dialogs_.confirm(text(StringId::ContinueWithUnsaved, language_))) {
        return;
    }
    const auto path = dialogs_.chooseFile(dataFileDialog(FileDialogKind::Open));
    if (!path) return;
    OpenFile(*path);
}

void CTessikDlg::OpenFile(const std::filesystem::path& path) {
    pressSpread_.reset();
    device_.commands().ResetBuffers();
    const OpenResult result = openDataFile(path, model_);
    if (result.outcome != OpenOutcome::Loaded) {
        // The model is empty now; so is what the window shows.
        fillRows();
        showName();
        syncMenu();
        if (result.outcome == OpenOutcome::Refused) {
            dialogs_.warn(text(StringId::BadDataFile, language_));
        } else {
            dialogs_.warn(utf8(fromPath(path)) + "\n" + result.error);
        }
        return;
    }
    dataFile_ = path;
    RefreshList(0);
}

void CTessikDlg::Import() {
    const auto path = dialogs_.chooseFile(FileDialogRequest{
        FileDialogKind::Open, std::string(label(Label::ImportFiles, language_)), {}});
    if (!path) return;
    // No IR code file comes near this; the bound keeps a wrong choice (a device, a huge log)
    // from being read until memory runs out.
    constexpr std::size_t kSignalFileLimit = 16 * 1024 * 1024;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (readWholeFile(*path, bytes, error, kSignalFileLimit) != ReadOutcome::Read) {
        dialogs_.warn(utf8(fromPath(*path)) + "\n" + error);
        return;
    }
    RawSignalsParse parsed = parseRawSignals(std::string(bytes.begin(), bytes.end()));
    if (!parsed.ok || parsed.found.empty()) {
        dialogs_.warn(utf8(fromPath(*path)) + "\n" +
                      (parsed.ok ? "no signal found" : parsed.error));
        return;
    }
    const std::vector<ImportItem> items = planImport(model_, std::move(parsed.found));
    ImportDlg preview(items, language_, this);
    if (preview.exec() != QDialog::Accepted) return;
    if (addImported(model_, items, preview.chosen()).empty()) return;
    if (debug_ != nullptr) debug_->ShowStatistics(model_.header);
    RefreshList(kRefreshToEnd);
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
    showName();
    syncMenu();
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
    if (model_.modified && !dialogs_.confirm(text(StringId::OverwriteOnSave, language_))) return;
    writeFile(dataFile_);
}

bool CTessikDlg::Close() {
    if (model_.modified && !dialogs_.confirm(text(StringId::ExitWithUnsaved, language_))) {
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
    // Without the receiver in capture mode there is nothing to poll; the link has already
    // told the user why.
    if (!device_.commands().CaptureMode(1)) return;
    // The session stores into the model itself; each stored code is shown at once, and the
    // widest spread of its two presses is kept for the jitter dialog's suggestion.
    const Capture_w* open = nullptr;
    Capture_w dialog(
        device_.link(), device_.commands(), *this, model_, dialogs_, language_,
        [this, &open] {
            if (debug_ != nullptr) debug_->ShowStatistics(model_.header);
            RefreshList(kRefreshToEnd);
            if (open != nullptr && open->session().pressSpread()) {
                const double widest = open->session().pressSpread()->widest();
                pressSpread_ = std::max(pressSpread_.value_or(0.0), widest);
            }
        },
        this);
    open = &dialog;
    // Modal to this window only: the Virtual Remote, a window of its own, must stay usable to
    // press the buttons being captured.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.exec();
}

void CTessikDlg::ShowVirtualRemote() {
    sim::SimulatedReceiver* receiver = device_.simulatedReceiver();
    if (receiver == nullptr) return;
    if (!remote_) {
        remote_ = std::make_unique<VirtualRemoteWindow>(*receiver, language_);
        remote_->adjustSize();
        // Beside this window, on its screen where it fits there; on its left otherwise.
        const QRect frame = frameGeometry();
        const QRect screen = this->screen()->availableGeometry();
        int x = frame.right() + 8;
        if (x + remote_->width() > screen.right()) x = frame.left() - 8 - remote_->width();
        remote_->move(std::max(screen.left(), x), frame.top());
    }
    remote_->show();
    remote_->raise();
    remote_->activateWindow();
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
    RefreshList(0);
}

void CTessikDlg::EditButton() {
    const int row = selectedSlot();
    if (row < 0) return;
    CInputKeyDlg dialog(
        model_, dialogs_, language_, EditMode::Button, static_cast<std::size_t>(row), 0,
        [this](std::size_t stored) { RefreshList(static_cast<int>(stored)); }, this);
    dialog.exec();
}

void CTessikDlg::SetUp() {
    c_SetCode dialog(device_.commands(), model_, dialogs_, language_, this);
    dialog.exec();
}

void CTessikDlg::EditMacro() {
    MacroListDlg dialog(model_, dialogs_, language_, this);
    dialog.exec();
    RefreshList(kRefreshToEnd);
}

void CTessikDlg::Jitter() {
    Set_Jitter dialog(model_, language_, this);
    dialog.setPressSpread(pressSpread_);
    dialog.exec();
    updateSignal();  // the windows follow the jitter
}

void CTessikDlg::Help() {
    if (help_ == nullptr) help_ = new HelpViewer(language_, helpSearchFolders(), this);
    help_->showIndex();
    help_->show();
    help_->raise();
}

void CTessikDlg::About() {
    versionArea_.fill(0);
    device_.commands().GetVersion(versionArea_);
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
    // firmware runs, points the link at the identity it comes back with.
    LinkUpdateHost host(device_.link(), versionArea_);
    C_Update dialog(device_.transport(), device_.clock(), host, dialogs_, language_, this);
    dialog.exec();
}

}  // namespace tessik::app
