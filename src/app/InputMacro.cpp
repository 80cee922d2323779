#include "app/InputMacro.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/CInputKeyDlg.hpp"
#include "app/QtText.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

struct Column {
    StringId heading;
    int width;
};
// No, Comment, Command.
constexpr Column kColumns[] = {{StringId::ColumnNo, 30},
                               {StringId::MacroColumnComment, 300},
                               {StringId::MacroColumnCommand, 100}};

}  // namespace

InputMacro::InputMacro(RemoteModel& model, DialogService& dialogs, Language language,
                       std::size_t macro, QWidget* parent)
    : QDialog(parent),
      model_(model),
      dialogs_(dialogs),
      language_(language),
      registration_(std::make_unique<MacroRegistration>(model, macro)) {
    setObjectName("macroDialog");
    setWindowTitle(qs(caption(DialogId::Macro, language)));
    buildControls();
    mirror();
    // The editor stores commands while this dialog is open: its list follows the table.
    subscription_ = model.subscribe([this](const ModelChange& change) {
        if (change.what == ModelChange::What::Macro && change.index != registration_->macro()) {
            return;
        }
        registration_->refreshCommandList();
        mirror();
    });
    // Room for longer send strings in the last column, which takes the spare width.
    resize(640, 360);
}

InputMacro::~InputMacro() = default;

void InputMacro::buildControls() {
    auto* nameLabel = new QLabel(qs(label(Label::MacroName, language_)));
    name_ = new QLineEdit(qs(registration_->name()));
    name_->setObjectName("macroNameEdit");
    name_->setMaxLength(static_cast<int>(kMaxTextChars));
    nameLabel->setBuddy(name_);
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& t) {
        registration_->nameEdited(u16(t));
        mirror();
    });

    auto* intervalLabel = new QLabel(qs(label(Label::MacroInterval, language_)));
    interval_ = new QSpinBox;
    interval_->setObjectName("intervalSpin");
    interval_->setRange(kMinMacroInterval, kMaxMacroInterval);
    interval_->setSingleStep(kMacroIntervalStep);
    interval_->setGroupSeparatorShown(true);
    interval_->setAlignment(Qt::AlignRight);
    interval_->setAccelerated(true);
    interval_->setValue(registration_->interval());
    // The number is set with the arrows only; typing it would skip the steps of ten.
    if (auto* edit = interval_->findChild<QLineEdit*>()) edit->setReadOnly(true);
    intervalLabel->setBuddy(interval_);
    connect(interval_, &QSpinBox::valueChanged, this, &InputMacro::intervalChanged);
    auto* msec = new QLabel(qs(label(Label::MacroMsec, language_)));

    auto* fields = new QGridLayout;
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(name_, 0, 1, 1, 3);
    fields->addWidget(intervalLabel, 1, 0);
    fields->addWidget(interval_, 1, 1);
    fields->addWidget(msec, 1, 2);
    fields->setColumnStretch(3, 1);

    list_ = new QTreeWidget;
    list_->setObjectName("commandList");
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(true);
    QStringList headings;
    for (const Column& c : kColumns)
        headings << qs(text(c.heading, language_));
    list_->setHeaderLabels(headings);
    int width = 0;
    for (int i = 0; i < 3; ++i) {
        list_->setColumnWidth(i, kColumns[i].width);
        width += kColumns[i].width;
    }
    list_->setMinimumSize(width + 24, 200);
    // The list has no label; its one text of its own is the heading of the commands.
    list_->setAccessibleName(qs(text(StringId::MacroColumnCommand, language_)));
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = list_->selectedItems();
        registration_->selectRow(
            selected.isEmpty()
                ? std::nullopt
                : std::optional<std::size_t>(list_->indexOfTopLevelItem(selected.front())));
        mirror();
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { editCommand(); });

    add_ = new QPushButton(qs(label(Label::MacroAdd, language_)));
    add_->setObjectName("addButton");
    connect(add_, &QPushButton::clicked, this, [this] { addCommand(); });
    edit_ = new QPushButton(qs(label(Label::MacroEdit, language_)));
    edit_->setObjectName("editButton");
    connect(edit_, &QPushButton::clicked, this, [this] { editCommand(); });
    delete_ = new QPushButton(qs(label(Label::MacroDelete, language_)));
    delete_->setObjectName("deleteButton");
    connect(delete_, &QPushButton::clicked, this, [this] { deleteCommand(); });
    auto* close = new QPushButton(qs(label(Label::Close, language_)));
    close->setObjectName("closeButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &InputMacro::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
}

void InputMacro::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    name_->setFocus();
}

// --- Actions ----------------------------------------------------------------------------------

void InputMacro::intervalChanged(int proposed) {
    // One click or arrow key is one step of ten, whatever step the control proposed (Page Up,
    // an accelerated wheel).
    const int shown = registration_->interval();
    if (proposed != shown) registration_->stepInterval(proposed > shown ? 1 : -1);
    const QSignalBlocker block(interval_);
    interval_->setValue(registration_->interval());
}

void InputMacro::addCommand() {
    const std::optional<std::size_t> command = registration_->addCommand();
    if (!command) {
        dialogs_.notify(text(StringId::MacroCommandsFull, language_));
        return;
    }
    openEditor(EditMode::NewCommand, *command);
}

void InputMacro::editCommand() {
    openEditor(EditMode::EditCommand, registration_->editCommand());
}

void InputMacro::openEditor(EditMode mode, std::size_t command) {
    CInputKeyDlg editor(model_, dialogs_, language_, mode, command, registration_->macro(), this);
    editor.exec();
}

void InputMacro::deleteCommand() {
    const std::optional<std::size_t> row = registration_->selectedRow();
    if (!row) return;
    if (!dialogs_.confirmDeleteRow(*row, language_)) return;
    registration_->deleteSelectedCommand();
}

void InputMacro::accept() {
    registration_->close();
    QDialog::accept();
}

// --- Mirroring the registration ---------------------------------------------------------------

void InputMacro::mirror() {
    const MacroRegistration& r = *registration_;
    // The rows are rebuilt only when the table's commands changed, so a selection survives.
    const std::vector<MacroCommandRow>& rows = r.rows();
    bool same = list_->topLevelItemCount() == static_cast<int>(rows.size());
    for (std::size_t i = 0; same && i < rows.size(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(i));
        same = item->text(1) == qs(rows[i].comment) && item->text(2) == qs(rows[i].sendText);
    }
    if (!same || !r.selectedRow()) {
        const QSignalBlocker block(list_);
        list_->clear();
        for (const MacroCommandRow& row : rows) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, QString::number(row.number));
            item->setText(1, qs(row.comment));
            item->setText(2, qs(row.sendText));
            item->setToolTip(2, qs(row.sendText));  // a long send string is cut in the column
        }
    }
    add_->setEnabled(r.addEnabled());
    edit_->setEnabled(r.editEnabled());
    delete_->setEnabled(r.deleteEnabled());
}

}  // namespace tessik::app
