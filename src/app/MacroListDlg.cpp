#include "app/MacroListDlg.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/InputMacro.hpp"
#include "app/QtText.hpp"
#include "app/RowKeys.hpp"
#include "core/model/texts.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

// No, Macro Name, Inteval, then Command1 to Command8.
constexpr int kNameWidth = 300;
constexpr int kNumberWidth = 30;
constexpr int kIntervalWidth = 50;
constexpr int kCommandWidth = 100;
constexpr int kColumnCount = 3 + static_cast<int>(kMacroCommands);

}  // namespace

MacroListDlg::MacroListDlg(RemoteModel& model, DialogService& dialogs, Language language,
                           QWidget* parent)
    : QDialog(parent),
      model_(model),
      dialogs_(dialogs),
      language_(language),
      list_(std::make_unique<MacroList>(model)) {
    setObjectName("macroListDialog");
    setWindowTitle(qs(caption(DialogId::MacroList, language)));
    buildControls();
    fill();
    // Commands are stored while a registration dialog is open, and a delete renumbers: the
    // rows follow the table whatever changed it.
    subscription_ = model.subscribe([this](const ModelChange&) { fill(); });
}

MacroListDlg::~MacroListDlg() = default;

void MacroListDlg::buildControls() {
    view_ = new QTreeWidget;
    view_->setObjectName("macroList");
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->header()->setSectionsClickable(false);
    view_->header()->setStretchLastSection(false);
    QStringList headings{qs(text(StringId::ColumnNo, language_)),
                         qs(text(StringId::ColumnMacroName, language_)),
                         qs(text(StringId::ColumnInterval, language_))};
    for (int c = 0; c < static_cast<int>(kMacroCommands); ++c)
        headings << qs(text(commandColumn(c), language_));
    view_->setHeaderLabels(headings);
    view_->setColumnWidth(0, kNumberWidth);
    view_->setColumnWidth(1, kNameWidth);
    view_->setColumnWidth(2, kIntervalWidth);
    for (int c = 3; c < kColumnCount; ++c)
        view_->setColumnWidth(c, kCommandWidth);
    // Wide enough for the name and the first commands; the rest scrolls into view.
    view_->setMinimumSize(kNumberWidth + kNameWidth + kIntervalWidth + 4 * kCommandWidth, 240);
    // The list has no label; the window's caption says what it lists.
    view_->setAccessibleName(qs(caption(DialogId::MacroList, language_)));
    connect(view_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = view_->selectedItems();
        list_->selectRow(selected.isEmpty() ? std::nullopt
                                            : std::optional<std::size_t>(
                                                  view_->indexOfTopLevelItem(selected.front())));
        mirrorButtons();
    });
    connect(view_, &QTreeWidget::itemDoubleClicked, this, [this] { openMacro(list_->editSlot()); });
    new RowKeys(view_, {[this] { openMacro(list_->editSlot()); }, [this] { deleteMacro(); },
                        [this](QPoint at) {
                            QMenu menu(this);
                            QAction* e = menu.addAction(qs(label(Label::RowEdit, language_)));
                            QAction* d = menu.addAction(qs(label(Label::RowDelete, language_)));
                            e->setEnabled(list_->editEnabled());
                            d->setEnabled(list_->deleteEnabled());
                            connect(e, &QAction::triggered, this,
                                    [this] { openMacro(list_->editSlot()); });
                            connect(d, &QAction::triggered, this, [this] { deleteMacro(); });
                            menu.exec(view_->viewport()->mapToGlobal(at));
                        }});

    add_ = new QPushButton(qs(label(Label::MacroAdd, language_)));
    add_->setObjectName("addButton");
    connect(add_, &QPushButton::clicked, this, [this] { openMacro(list_->addSlot()); });
    edit_ = new QPushButton(qs(label(Label::MacroEdit, language_)));
    edit_->setObjectName("editButton");
    connect(edit_, &QPushButton::clicked, this, [this] { openMacro(list_->editSlot()); });
    delete_ = new QPushButton(qs(label(Label::MacroDelete, language_)));
    delete_->setObjectName("deleteButton");
    connect(delete_, &QPushButton::clicked, this, [this] { deleteMacro(); });
    auto* close = new QPushButton(qs(label(Label::Close, language_)));
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
}

void MacroListDlg::openMacro(std::optional<std::size_t> slot) {
    if (!slot) return;
    InputMacro dialog(model_, dialogs_, language_, *slot, this);
    dialog.exec();
}

void MacroListDlg::deleteMacro() {
    const std::optional<std::size_t> row = list_->selectedRow();
    if (!row) return;
    // Buttons that run the macro lose it: the question says how many.
    const std::size_t users = model_.macroUsers(list_->rows()[*row].macro);
    std::string question = formatText(text(StringId::DeleteNumberQuestion, language_), {*row + 1});
    if (users > 0) question.append("\n").append(macroUsersText(users, language_));
    if (!dialogs_.confirm(question)) return;
    list_->deleteSelectedMacro();
}

void MacroListDlg::fill() {
    list_->fill();
    {
        const QSignalBlocker block(view_);
        view_->clear();
        for (const MacroListRow& row : list_->rows()) {
            auto* item = new QTreeWidgetItem(view_);
            item->setText(0, QString::number(row.macro + 1));
            item->setText(1, qs(row.name));
            item->setText(2, QString::number(row.interval));
            for (std::size_t c = 0; c < kMacroCommands; ++c) {
                // A long send string is cut in its column; the tip shows it whole.
                item->setText(3 + static_cast<int>(c), qs(row.commands[c]));
                item->setToolTip(3 + static_cast<int>(c), qs(row.commands[c]));
            }
        }
    }
    mirrorButtons();
}

void MacroListDlg::mirrorButtons() {
    add_->setEnabled(list_->addEnabled());
    edit_->setEnabled(list_->editEnabled());
    delete_->setEnabled(list_->deleteEnabled());
}

}  // namespace tessik::app
