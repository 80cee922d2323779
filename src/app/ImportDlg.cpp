#include "app/ImportDlg.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ComboChoice.hpp"
#include "app/QtText.hpp"
#include "core/keys/key_codes.hpp"
#include "core/layouts/layout_import.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

namespace {

enum Column { kName, kProtocol, kCode, kResult, kKeys };

// A row's key: a signal's index, or -(g + 1) for remote g's row.
int groupKey(std::size_t group) {
    return -static_cast<int>(group) - 1;
}

Qt::CheckState checkState(GroupMark mark) {
    switch (mark) {
        case GroupMark::Unavailable:
        case GroupMark::None:
            return Qt::Unchecked;
        case GroupMark::Some:
            return Qt::PartiallyChecked;
        case GroupMark::All:
            return Qt::Checked;
    }
    return Qt::Unchecked;
}

// The rows' selection is the choice, so only the user's own gestures (a click, Space) change
// it; moving the current row by type-ahead search or by code does not.
class ChoiceList : public QTreeWidget {
  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (event == nullptr) return QItemSelectionModel::NoUpdate;
        return QTreeWidget::selectionCommand(index, event);
    }
};

// A row takes part in the choice (it has a check box and can be selected) or does not.
void setChoosable(QTreeWidgetItem* row, bool choosable, Qt::CheckState state) {
    const Qt::ItemFlags flags =
        Qt::ItemIsEnabled | (choosable ? Qt::ItemIsSelectable : Qt::NoItemFlags);
    if (row->flags() != flags) row->setFlags(flags);
    if (choosable) {
        row->setCheckState(kName, state);
    } else if (row->data(kName, Qt::CheckStateRole).isValid()) {
        row->setData(kName, Qt::CheckStateRole, QVariant());
    }
    const bool selected = choosable && state == Qt::Checked;
    if (row->isSelected() != selected) row->setSelected(selected);
}

}  // namespace

ImportDlg::ImportDlg(ImportChoice& choice, std::string fileName, Language language, QWidget* parent)
    : QDialog(parent),
      choice_(choice),
      fileName_(std::move(fileName)),
      language_(language),
      filter_(new QLineEdit),
      view_(new ChoiceList),
      summary_(new QLabel),
      import_(new QPushButton(qs(label(Label::ImportImport, language)))) {
    setObjectName("importDialog");
    setWindowTitle(qs(caption(DialogId::Import, language)));

    auto* filterLabel = new QLabel(qs(label(Label::ImportFilter, language)));
    filterLabel->setBuddy(filter_);
    filter_->setObjectName("importFilter");
    filter_->setClearButtonEnabled(true);
    filter_->installEventFilter(this);
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        choice_.setFilter(utf8(text));
        fillRows();
    });

    view_->setObjectName("importList");
    view_->setAccessibleName(qs(caption(DialogId::Import, language)));
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::MultiSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setHeaderLabels(
        {qs(label(Label::ImportName, language)), qs(label(Label::ImportProtocol, language)),
         qs(label(Label::ImportCode, language)), qs(label(Label::ImportResult, language))});
    view_->header()->setSectionsClickable(false);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ImportDlg::takeSelection);

    auto* all = new QPushButton(qs(label(Label::ImportSelectAll, language)));
    all->setObjectName("importSelectAll");
    connect(all, &QPushButton::clicked, this, [this] {
        choice_.chooseShown(true);
        showChoice();
    });
    auto* none = new QPushButton(qs(label(Label::ImportSelectNone, language)));
    none->setObjectName("importSelectNone");
    connect(none, &QPushButton::clicked, this, [this] {
        choice_.chooseShown(false);
        showChoice();
    });

    summary_->setObjectName("importSummary");
    import_->setObjectName("importButton");
    import_->setDefault(true);
    connect(import_, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(qs(label(Label::Cancel, language)));
    cancel->setObjectName("cancelButton");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(filter_, 1);
    top->addWidget(all);
    top->addWidget(none);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    fillRows();
    for (int c = 0; c < kResult; ++c)
        view_->resizeColumnToContents(c);
    if (view_->columnWidth(kName) > 320) view_->setColumnWidth(kName, 320);
    resize(760, 460);
}

// Return in the filter box moves on to the rows instead of importing at once.
bool ImportDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            view_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The rows the filter shows: each remote with a shown signal, and its shown signals under it.
// Hidden rows are left out rather than hidden, so that every row an assistive tool is told of
// is a row on the screen.
void ImportDlg::fillRows() {
    showing_ = true;
    view_->clear();
    QList<QTreeWidgetItem*> rows;
    QList<QTreeWidgetItem*> remotes;
    const std::vector<ImportItem>& items = choice_.items();
    for (std::size_t g = 0; g < choice_.groups().size(); ++g) {
        if (!choice_.groupShown(g)) continue;
        const ImportGroup& group = choice_.groups()[g];
        auto* remote = new QTreeWidgetItem;
        const Label count = group.members.size() == 1 ? Label::ImportGroupOne : Label::ImportGroup;
        remote->setText(kName, qs(formatText(label(count, language_),
                                             {group.remote.empty() ? fileName_ : group.remote,
                                              group.members.size()})));
        remote->setData(kName, Qt::UserRole, groupKey(g));
        QFont bold = remote->font(kName);
        bold.setBold(true);
        remote->setFont(kName, bold);
        rows << remote;
        remotes << remote;
        for (const std::size_t i : group.members) {
            if (!choice_.shown(i)) continue;
            auto* row = new QTreeWidgetItem;
            row->setText(kName, qs(items[i].signal.name));
            row->setText(kProtocol, qs(items[i].signal.protocol));
            if (items[i].record.codeValue != 0)
                row->setText(kCode, qs(codeValueText(items[i].record.codeValue)));
            row->setData(kName, Qt::UserRole, static_cast<int>(i));
            rows << row;
        }
    }
    view_->addTopLevelItems(rows);
    for (QTreeWidgetItem* remote : remotes)
        remote->setFirstColumnSpanned(true);
    // The first row is current without being chosen, so the keyboard starts on it.
    if (!rows.isEmpty()) view_->setCurrentItem(rows.front());
    showing_ = false;
    showChoice();
    showKeys();
}

// Every row's check box, selection and verdict, and the summary, as the core has them.
void ImportDlg::showChoice() {
    showing_ = true;
    for (int r = 0; r < view_->topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = view_->topLevelItem(r);
        const int key = row->data(kName, Qt::UserRole).toInt();
        if (key < 0) {
            const GroupMark mark = choice_.groupMark(static_cast<std::size_t>(-key - 1));
            setChoosable(row, mark != GroupMark::Unavailable, checkState(mark));
            continue;
        }
        const auto i = static_cast<std::size_t>(key);
        const ImportItem& item = choice_.items()[i];
        setChoosable(row, choice_.choosable(i), choice_.chosen()[i] ? Qt::Checked : Qt::Unchecked);
        row->setText(kResult, qs(verdictText(item, language_)));
        row->setToolTip(kResult, row->text(kResult));  // the whole reason where it is cut
    }
    const std::size_t chosen = choice_.chosenCount();
    summary_->setText(
        qs(formatText(label(Label::ImportSummary, language_), {chosen, choice_.items().size()})));
    import_->setEnabled(chosen > 0);
    showing_ = false;
}

// The user selected or cleared rows: their signals (a remote's row: its shown signals) are
// chosen or cleared, and the rows then show what the core made of it.
void ImportDlg::takeSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (showing_) return;
    const auto take = [this](const QItemSelection& selection, bool on) {
        std::vector<std::size_t> items;
        for (const QModelIndex& index : selection.indexes()) {
            if (index.column() != kName) continue;
            const int key = index.data(Qt::UserRole).toInt();
            if (key < 0) {
                choice_.chooseGroup(static_cast<std::size_t>(-key - 1), on);
            } else {
                items.push_back(static_cast<std::size_t>(key));
            }
        }
        std::sort(items.begin(), items.end());
        choice_.choose(items, on);
    };
    take(deselected, false);
    take(selected, true);
    showChoice();
}

void ImportDlg::offerLayouts(const std::vector<KeyLayout>& layouts,
                             const std::vector<std::string>& refused) {
    layouts_ = &layouts;
    layoutChoice_ = new QComboBox;
    layoutChoice_->setObjectName("importLayout");
    new ComboChoice(layoutChoice_);
    layoutChoice_->addItem(qs(label(Label::ImportNoLayout, language_)));
    for (const KeyLayout& l : layouts)
        layoutChoice_->addItem(qs(l.name(language_)));
    auto* choiceLabel = new QLabel(qs(label(Label::ImportLayout, language_)));
    choiceLabel->setBuddy(layoutChoice_);
    auto* row = new QHBoxLayout;
    row->addWidget(choiceLabel);
    row->addWidget(layoutChoice_, 1);
    auto* top = new QVBoxLayout;
    top->addLayout(row);
    if (!refused.empty()) {
        std::string text;
        for (const std::string& r : refused)
            text += (text.empty() ? "" : "\n") + r;
        auto* refusals = new QLabel(qs(text));
        refusals->setObjectName("importRefusedLayouts");
        refusals->setTextFormat(Qt::PlainText);
        refusals->setWordWrap(true);
        top->addWidget(refusals);
    }
    static_cast<QVBoxLayout*>(layout())->insertLayout(0, top);
    view_->setColumnCount(kKeys + 1);
    view_->headerItem()->setText(kKeys, qs(label(Label::ImportKeys, language_)));
    connect(layoutChoice_, &QComboBox::currentIndexChanged, this, [this] { showKeys(); });
}

const KeyLayout* ImportDlg::chosenLayout() const {
    if (layouts_ == nullptr || layoutChoice_->currentIndex() <= 0) return nullptr;
    return &(*layouts_)[static_cast<std::size_t>(layoutChoice_->currentIndex() - 1)];
}

// "[UP] (Up)" beside a signal whose name stands for a role of the chosen layout.
void ImportDlg::showKeys() {
    if (layouts_ == nullptr) return;
    const KeyLayout* layout = chosenLayout();
    for (int r = 0; r < view_->topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = view_->topLevelItem(r);
        const int key = row->data(kName, Qt::UserRole).toInt();
        if (key < 0) continue;
        const LayoutRole* role =
            layout == nullptr
                ? nullptr
                : layout->roleForSignal(choice_.items()[static_cast<std::size_t>(key)].signal.name);
        row->setText(kKeys, role == nullptr ? QString()
                                            : qs(keyCodeListText(role->keys, role->keyCount) +
                                                 " (" + std::string(role->name(language_)) + ")"));
    }
    view_->resizeColumnToContents(kKeys);
}

}  // namespace tessik::app
