#include "app/DEBUG_w.hpp"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

inline constexpr int kDataLengthControl = 1021;

// The header value each control shows. "Data 1H" is the high time of the data bits and
// "Data 0H" the long ("one") period; the labels are the ones users have always read.
int headerValue(const RemoteHeader& h, int controlId) {
    switch (controlId) {
        case 1009:
            return h.leaderHigh.min;
        case 1010:
            return h.leaderHigh.max;
        case 1014:
            return h.leaderHigh.mid;
        case 1025:
            return h.leaderLow.min;
        case 1026:
            return h.leaderLow.max;
        case 1027:
            return h.leaderLow.mid;
        case 1016:
            return h.high.min;
        case 1015:
            return h.high.max;
        case 1017:
            return h.high.mid;
        case 1018:
            return h.one.min;
        case 1019:
            return h.one.max;
        case 1020:
            return h.one.mid;
        case 1022:
            return h.low.min;
        case 1023:
            return h.low.max;
        case 1024:
            return h.low.mid;
        case kDataLengthControl:
            return h.bitCount;
    }
    return 0;
}

}  // namespace

DEBUG_w::DEBUG_w(QWidget* parent) : QDialog(parent) {
    setObjectName("debugWindow");
    setWindowTitle(qs(caption(DialogId::Debug, Language::English)));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);

    // Fixed-pitch values, so "%5d" lines up as a column of right-aligned numbers.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    const auto& labels = debugValueLabels();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        // Five groups of min, max, avg in rows; the data length on a row of its own.
        const int row = static_cast<int>(i / 3);
        const int column = static_cast<int>(i % 3) * 2;
        auto* name = new QLabel(qs(labels[i].text));
        auto* value = new QLabel;
        value->setObjectName(QStringLiteral("value%1").arg(labels[i].controlId));
        value->setFont(fixed);
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(
            value->fontMetrics().horizontalAdvance(QStringLiteral("00000 bits")) + 8);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A screen reader reads the value under its label and unit ("Reader H min, µs: 9000").
        value->setAccessibleName(qs(labels[i].text) + ", " + qs(labels[i].unit));
        name->setBuddy(value);
        grid->addWidget(name, row, column);
        grid->addWidget(value, row, column + 1);
        values_[labels[i].controlId] = value;
    }

    log_ = new QListWidget;
    log_->setObjectName("logList");
    log_->setSelectionMode(QAbstractItemView::SingleSelection);
    log_->setMinimumHeight(180);

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(log_, 1);
    layout->addWidget(buttons);
}

void DEBUG_w::ShowStatistics(const RemoteHeader& header) {
    for (auto& [controlId, field] : values_) {
        const int v = headerValue(header, controlId);
        field->setText(qs(formatText(controlId == kDataLengthControl ? "%5d bits" : "%5d", {v})));
    }
}

void DEBUG_w::AppendLog(std::string_view line) {
    log_->addItem(qs(line));
    log_->setCurrentRow(log_->count() - 1);
}

QString DEBUG_w::valueText(int controlId) const {
    const auto it = values_.find(controlId);
    return it == values_.end() ? QString() : it->second->text();
}

int DEBUG_w::logLineCount() const {
    return log_->count();
}

void DEBUG_w::keyPressEvent(QKeyEvent* event) {
    // Escape must not hide the window (a dialog would take it as Cancel); Enter is OK.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DEBUG_w::closeEvent(QCloseEvent* event) {
    // The close box hides, as OK does; the window and its log live on.
    event->accept();
    hide();
}

}  // namespace tessik::app
