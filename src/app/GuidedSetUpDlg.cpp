#include "app/GuidedSetUpDlg.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ComboChoice.hpp"
#include "app/QtText.hpp"
#include "app/SignalView.hpp"
#include "core/keys/key_codes.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

namespace {

constexpr int kNameMax = 256;
enum RoleColumn { kRoleName, kRoleKeys };
enum TaughtColumn { kTaughtRole, kTaughtRow, kTaughtKeys };

QLabel* wrapped(const QString& text = {}) {
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QTreeWidget* table(const QString& name, const QStringList& headings) {
    auto* t = new QTreeWidget;
    t->setAccessibleName(withoutAccessKey(name));
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    t->setAllColumnsShowFocus(true);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setHeaderLabels(headings);
    t->header()->setSectionsClickable(false);
    return t;
}

QString keysOf(const LayoutRole& role) {
    return qs(keyCodeListText(role.keys, role.keyCount));
}

}  // namespace

GuidedSetUpDlg::GuidedSetUpDlg(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                               RemoteModel& model, Notifier& notifier, Language language,
                               const std::vector<KeyLayout>& layouts,
                               const std::vector<std::string>& refused, GuidedSetUpActions actions,
                               QWidget* parent)
    : QDialog(parent),
      language_(language),
      model_(model),
      layouts_(layouts),
      actions_(std::move(actions)),
      pages_(new QStackedWidget),
      name_(new QLineEdit),
      layout_(new QComboBox),
      about_(wrapped()),
      roles_(
          table(qs(label(Label::GuidedRoles, language)),
                {qs(label(Label::GuidedRole, language)), qs(label(Label::GuidedKeys, language))})),
      counter_(new QLabel),
      prompt_(wrapped()),
      keys_(new QLabel),
      capturePrompt_(wrapped()),
      result_(new QLabel),
      analysis_(wrapped()),
      warning_(wrapped()),
      signal_(new SignalView(language)),
      taught_(table(qs(caption(DialogId::GuidedSetUp, language)),
                    {qs(label(Label::GuidedRole, language)), qs(label(Label::GuidedRow, language)),
                     qs(label(Label::GuidedKeys, language))})),
      tolerance_(wrapped()),
      testButtons_(new QPushButton(qs(label(Label::GuidedTestButtons, language)))),
      back_(new QPushButton(qs(label(Label::GuidedBack, language)))),
      skip_(new QPushButton(qs(label(Label::GuidedSkip, language)))),
      skipRest_(new QPushButton(qs(label(Label::GuidedSkipRest, language)))),
      start_(new QPushButton(qs(label(Label::GuidedStart, language)))),
      finish_(new QPushButton(qs(label(Label::GuidedFinish, language)))),
      timer_(new QTimer(this)),
      setUp_(link, commands, log, model, *this, notifier, language) {
    setObjectName("guidedSetUpDialog");
    setWindowTitle(qs(caption(DialogId::GuidedSetUp, language)));
    name_->setText(qs(model.shownName()));

    pages_->addWidget(choosePage(refused));
    pages_->addWidget(stepPage());
    pages_->addWidget(endPage());

    const std::pair<QPushButton*, const char*> buttons[] = {
        {back_, "backButton"},   {skip_, "skipButton"},     {skipRest_, "skipRestButton"},
        {start_, "startButton"}, {finish_, "finishButton"},
    };
    for (const auto& [button, name] : buttons) {
        button->setObjectName(name);
        button->setAutoDefault(false);
    }
    auto* cancel = new QPushButton(qs(label(Label::Cancel, language)));
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(back_, &QPushButton::clicked, this, [this] { setUp_.back(); });
    connect(skip_, &QPushButton::clicked, this, [this] { setUp_.skip(); });
    connect(skipRest_, &QPushButton::clicked, this, [this] { setUp_.skipRest(); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(finish_, &QPushButton::clicked, this, [this] {
        setUp_.finish();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &GuidedSetUpDlg::reject);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { setUp_.timerFired(); });

    auto* row = new QHBoxLayout;
    row->addWidget(back_);
    row->addStretch(1);
    for (QPushButton* b : {skip_, skipRest_, start_, finish_})
        row->addWidget(b);
    row->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(row);
    changed();
    resize(620, 520);
}

QWidget* GuidedSetUpDlg::choosePage(const std::vector<std::string>& refused) {
    name_->setObjectName("guidedName");
    name_->setMaxLength(kNameMax);
    layout_->setObjectName("guidedLayout");
    new ComboChoice(layout_);
    for (const KeyLayout& l : layouts_)
        layout_->addItem(qs(l.name(language_)));
    about_->setObjectName("guidedAbout");
    roles_->setObjectName("guidedRoles");

    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(qs(label(Label::GuidedName, language_)));
    nameLabel->setBuddy(name_);
    form->addRow(nameLabel, name_);
    auto* layoutLabel = new QLabel(qs(label(Label::GuidedLayout, language_)));
    layoutLabel->setBuddy(layout_);
    form->addRow(layoutLabel, layout_);
    form->addRow(QString(), about_);

    auto* rolesLabel = new QLabel(qs(label(Label::GuidedRoles, language_)));
    rolesLabel->setBuddy(roles_);
    auto* all = new QPushButton(qs(label(Label::GuidedAll, language_)));
    all->setObjectName("allRolesButton");
    auto* none = new QPushButton(qs(label(Label::GuidedNone, language_)));
    none->setObjectName("noRolesButton");
    connect(all, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { checkAll(false); });
    auto* rolesRow = new QHBoxLayout;
    rolesRow->addWidget(rolesLabel, 1);
    rolesRow->addWidget(all);
    rolesRow->addWidget(none);

    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(wrapped(qs(label(Label::GuidedIntro, language_))));
    v->addLayout(form);
    v->addLayout(rolesRow);
    v->addWidget(roles_, 1);
    if (!refused.empty()) {
        std::string text(label(Label::GuidedRefused, language_));
        for (const std::string& r : refused)
            text += "\n" + r;
        QLabel* refusals = wrapped(qs(text));
        refusals->setObjectName("guidedRefusedLayouts");
        v->addWidget(refusals);
    }
    connect(name_, &QLineEdit::textChanged, this, [this] { updateStart(); });
    connect(layout_, &QComboBox::currentIndexChanged, this, [this] { fillRoles(); });
    connect(roles_, &QTreeWidget::itemChanged, this, [this] { updateStart(); });
    fillRoles();
    return page;
}

QWidget* GuidedSetUpDlg::stepPage() {
    counter_->setObjectName("guidedCounter");
    prompt_->setObjectName("guidedPrompt");
    QFont big = prompt_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    prompt_->setFont(big);
    keys_->setObjectName("guidedKeys");
    capturePrompt_->setObjectName("capturePrompt");
    result_->setObjectName("captureResult");
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    analysis_->setObjectName("captureAnalysis");
    warning_->setObjectName("captureWarning");
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    for (QWidget* w : std::initializer_list<QWidget*>{counter_, prompt_, keys_})
        v->addWidget(w);
    v->addSpacing(prompt_->fontMetrics().height());
    for (QWidget* w : std::initializer_list<QWidget*>{capturePrompt_, result_, analysis_, warning_})
        v->addWidget(w);
    v->addWidget(signal_);
    v->addStretch(1);
    return page;
}

QWidget* GuidedSetUpDlg::endPage() {
    taught_->setObjectName("guidedTable");
    tolerance_->setObjectName("guidedTolerance");
    tolerance_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* setUpData = new QPushButton(qs(label(Label::GuidedSetUpData, language_)));
    setUpData->setObjectName("setUpDataButton");
    testButtons_->setObjectName("testButtonsButton");
    auto* saveAs = new QPushButton(qs(label(Label::GuidedSaveAs, language_)));
    saveAs->setObjectName("saveAsButton");
    connect(setUpData, &QPushButton::clicked, this, [this] {
        if (actions_.setUpData) actions_.setUpData(this);
    });
    connect(testButtons_, &QPushButton::clicked, this, [this] {
        if (actions_.testButtons) actions_.testButtons(this);
    });
    connect(saveAs, &QPushButton::clicked, this, [this] {
        if (actions_.saveAs) actions_.saveAs();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(setUpData);
    row->addWidget(testButtons_);
    row->addWidget(saveAs);
    row->addStretch(1);
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(wrapped(qs(label(Label::GuidedEndIntro, language_))));
    v->addWidget(taught_, 1);
    v->addWidget(new QLabel(qs(label(Label::GuidedTolerance, language_))));
    v->addWidget(tolerance_);
    v->addLayout(row);
    return page;
}

// The chosen layout's roles, each checked, with the keys it types.
void GuidedSetUpDlg::fillRoles() {
    roles_->clear();
    const int chosen = layout_->currentIndex();
    about_->clear();
    if (chosen >= 0) {
        const KeyLayout& layout = layouts_[static_cast<std::size_t>(chosen)];
        about_->setText(qs(layout.about(language_)));
        QList<QTreeWidgetItem*> rows;
        for (const LayoutRole& role : layout.roles) {
            auto* row = new QTreeWidgetItem({qs(role.name(language_)), keysOf(role)});
            row->setData(kRoleName, Qt::UserRole, qs(role.id));
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(kRoleName, Qt::Checked);
            rows << row;
        }
        roles_->addTopLevelItems(rows);
        roles_->resizeColumnToContents(kRoleName);
        if (!rows.isEmpty()) roles_->setCurrentItem(rows.front());
    }
    about_->setVisible(!about_->text().isEmpty());
    updateStart();
}

void GuidedSetUpDlg::checkAll(bool on) {
    for (int i = 0; i < roles_->topLevelItemCount(); ++i)
        roles_->topLevelItem(i)->setCheckState(kRoleName, on ? Qt::Checked : Qt::Unchecked);
}

void GuidedSetUpDlg::updateStart() {
    std::size_t checked = 0;
    for (int i = 0; i < roles_->topLevelItemCount(); ++i)
        checked += roles_->topLevelItem(i)->checkState(kRoleName) == Qt::Checked ? 1 : 0;
    start_->setEnabled(GuidedSetUp::canStart(u16(name_->text().trimmed()), checked));
}

void GuidedSetUpDlg::start() {
    const int chosen = layout_->currentIndex();
    if (chosen < 0) return;
    std::vector<std::string> roles;
    for (int i = 0; i < roles_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = roles_->topLevelItem(i);
        if (row->checkState(kRoleName) == Qt::Checked)
            roles.push_back(utf8(row->data(kRoleName, Qt::UserRole).toString()));
    }
    setUp_.start(u16(name_->text().trimmed()), layouts_[static_cast<std::size_t>(chosen)], roles);
}

// --- What the set-up shows ----------------------------------------------------------------------

// The capture's texts are painted at once: an exchange holds the thread, and a queued paint
// would only show what follows it.
void GuidedSetUpDlg::setCapturePrompt(std::string_view text) {
    capturePrompt_->setText(qs(text));
    capturePrompt_->repaint();
}

void GuidedSetUpDlg::setCaptureResult(std::string_view text) {
    result_->setText(qs(text));
    result_->repaint();
}

void GuidedSetUpDlg::setAnalysis(std::string_view code, std::string_view warning) {
    analysis_->setText(qs(code));
    analysis_->setVisible(!code.empty());
    warning_->setText(qs(warning));
    warning_->setVisible(!warning.empty());
}

void GuidedSetUpDlg::setSignal(std::span<const SignalTrace> presses) {
    signal_->setTraces({presses.begin(), presses.end()});
    signal_->viewport()->repaint();
}

void GuidedSetUpDlg::startTimer(std::uint32_t ms) {
    timer_->start(static_cast<int>(ms));
}

void GuidedSetUpDlg::stopTimer() {
    timer_->stop();
}

void GuidedSetUpDlg::changed() {
    const GuidedPage page = setUp_.page();
    const bool choose = page == GuidedPage::Choose;
    const bool step = page == GuidedPage::Step;
    const bool end = page == GuidedPage::End;
    pages_->setCurrentIndex(choose ? 0 : step ? 1 : 2);
    start_->setVisible(choose);
    back_->setVisible(!choose);
    back_->setEnabled(setUp_.backEnabled());
    skip_->setVisible(step);
    skipRest_->setVisible(step);
    finish_->setVisible(end);
    // Enter starts and finishes; on a step it does nothing, as the capture's Enter never did.
    start_->setDefault(choose);
    finish_->setDefault(end);
    if (step) showStep();
    if (end) showEnd();
}

void GuidedSetUpDlg::showStep() {
    counter_->setText(qs(setUp_.stepCounter()));
    prompt_->setText(qs(setUp_.stepPrompt()));
    keys_->setText(qs(setUp_.stepKeys()));
    // A screen reader reads where the focus is: Skip carries what the step asks for.
    skip_->setAccessibleDescription(prompt_->text() + ". " + keys_->text());
    if (!skip_->hasFocus() && !back_->hasFocus() && !skipRest_->hasFocus()) skip_->setFocus();
}

void GuidedSetUpDlg::showEnd() {
    taught_->clear();
    QList<QTreeWidgetItem*> rows;
    for (const GuidedStep& step : setUp_.steps()) {
        rows << new QTreeWidgetItem({qs(step.role.name(language_)), qs(setUp_.stepResult(step)),
                                     step.slot ? keysOf(step.role) : QString()});
    }
    taught_->addTopLevelItems(rows);
    for (int c = kTaughtRole; c <= kTaughtKeys; ++c)
        taught_->resizeColumnToContents(c);
    if (!rows.isEmpty()) taught_->setCurrentItem(rows.front());
    tolerance_->setText(qs(setUp_.toleranceText()));
    testButtons_->setEnabled(model_.commands().deleteIr);  // rows to find, as Edit > Test Buttons
    finish_->setFocus();
}

void GuidedSetUpDlg::reject() {
    setUp_.cancel();
    QDialog::reject();
}

}  // namespace tessik::app
