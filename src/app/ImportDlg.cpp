#include "app/ImportDlg.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

namespace {
enum Column { kName, kProtocol, kCode, kResult };
}  // namespace

ImportDlg::ImportDlg(const std::vector<ImportItem>& items, Language language, QWidget* parent)
    : QDialog(parent),
      language_(language),
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

}  // namespace tessik::app
