#include "app/ImportDlg.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ComboChoice.hpp"
#include "app/QtText.hpp"
#include "core/keys/key_codes.hpp"
#include "core/layouts/layout_import.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

namespace {
enum Column { kName, kProtocol, kCode, kResult, kKeys };
}  // namespace

ImportDlg::ImportDlg(const std::vector<ImportItem>& items, Language language, QWidget* parent)
    : QDialog(parent),
      language_(language),
      items_(items),
      view_(new QTreeWidget),
      summary_(new QLabel),
      import_(new QPushButton(qs(label(Label::ImportImport, language)))) {
    setObjectName("importDialog");
    setWindowTitle(qs(caption(DialogId::Import, language)));

    view_->setObjectName("importList");
    view_->setAccessibleName(qs(caption(DialogId::Import, language)));
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setHeaderLabels(
        {qs(label(Label::ImportName, language)), qs(label(Label::ImportProtocol, language)),
         qs(label(Label::ImportCode, language)), qs(label(Label::ImportResult, language))});
    view_->header()->setSectionsClickable(false);
    QList<QTreeWidgetItem*> rows;
    for (const ImportItem& item : items) {
        auto* row = new QTreeWidgetItem;
        row->setText(kName, qs(item.signal.name));
        row->setText(kProtocol, qs(item.signal.protocol));
        if (item.record.codeValue != 0)
            row->setText(kCode, qs(codeValueText(item.record.codeValue)));
        row->setText(kResult, qs(verdictText(item, language)));
        row->setToolTip(kResult, row->text(kResult));  // the whole reason where it is cut
        if (item.importable()) {
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(kName, Qt::Checked);
        } else {
            row->setFlags(row->flags() & ~Qt::ItemIsUserCheckable);
        }
        rows << row;
    }
    view_->addTopLevelItems(rows);
    for (int c = 0; c < kResult; ++c)
        view_->resizeColumnToContents(c);
    if (view_->columnWidth(kName) > 320) view_->setColumnWidth(kName, 320);
    if (!rows.isEmpty()) view_->setCurrentItem(rows.front());
    connect(view_, &QTreeWidget::itemChanged, this, [this] { countChosen(); });

    summary_->setObjectName("importSummary");
    import_->setObjectName("importButton");
    import_->setDefault(true);
    connect(import_, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(qs(label(Label::Cancel, language)));
    cancel->setObjectName("cancelButton");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    countChosen();
    resize(760, 420);
}

std::vector<bool> ImportDlg::chosen() const {
    std::vector<bool> out;
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        out.push_back(view_->topLevelItem(i)->checkState(kName) == Qt::Checked);
    return out;
}

void ImportDlg::countChosen() {
    std::size_t checked = 0;
    for (const bool c : chosen())
        checked += c ? 1 : 0;
    summary_->setText(
        qs(formatText(label(Label::ImportSummary, language_), {checked, chosen().size()})));
    import_->setEnabled(checked > 0);
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

// "[UP] (Up)" for a signal whose name stands for a role of the chosen layout.
void ImportDlg::showKeys() {
    const KeyLayout* layout = chosenLayout();
    const std::vector<const LayoutRole*> roles =
        layout != nullptr ? rolesOfItems(*layout, items_) : std::vector<const LayoutRole*>{};
    for (int i = 0; i < view_->topLevelItemCount(); ++i) {
        const LayoutRole* role = roles.empty() ? nullptr : roles[static_cast<std::size_t>(i)];
        view_->topLevelItem(i)->setText(
            kKeys, role == nullptr ? QString()
                                   : qs(keyCodeListText(role->keys, role->keyCount) + " (" +
                                        std::string(role->name(language_)) + ")"));
    }
    view_->resizeColumnToContents(kKeys);
}

}  // namespace tessik::app
