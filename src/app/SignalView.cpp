#include "app/SignalView.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/QtText.hpp"
#include "core/analysis/texts.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

// Silences (the gap before a repeated frame, the end of the recording) are cut to this, so
// they do not squeeze the frame into a corner; a NEC leader burst (9000 µs) stays whole.
constexpr double kLongestDrawnUs = 10000;
constexpr double kMaxZoom = 64;
constexpr double kZoomStep = 1.25;
constexpr int kWheelNotch = 120;  // one notch of a common mouse wheel, in eighths of a degree

const QColor kMissColour(0xD0, 0x20, 0x20);
const QColor kSecondPressColour(0xE0, 0x7A, 0x00);

double drawn(std::uint16_t period) {
    return std::min<double>(period, kLongestDrawnUs);
}

// Period k of a train: the burst of pulse k / 2 when k is even, its pause when odd.
std::uint16_t periodOf(const TracePulse& p, std::size_t k) {
    return k % 2 == 0 ? p.mark : p.space;
}
const std::optional<TimingWindow>& windowOf(const TracePulse& p, std::size_t k) {
    return k % 2 == 0 ? p.markWindow : p.spaceWindow;
}
bool missOf(const TracePulse& p, std::size_t k) {
    return k % 2 == 0 ? p.markMisses() : p.spaceMisses();
}

QColor bandColour(const QPalette& palette) {
    QColor band = palette.color(QPalette::Highlight);
    band.setAlpha(70);
    return band;
}

// A step of 1, 2 or 5 times a power of ten, at least `atLeast` µs.
double tickStep(double atLeast) {
    double step = 1;
    while (true) {
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m * step >= atLeast) return m * step;
        }
        step *= 10;
    }
}

}  // namespace

struct SignalView::Rows {
    int line;  // one line of text
    int pad;
    int legendTop;
    int labelTop;
    int waveTop;
    int waveBottom;
    int axisTop;
    int height;
};

SignalView::SignalView(Language language, QWidget* parent)
    : QAbstractScrollArea(parent), language_(language) {
    setObjectName("signalView");
    setAccessibleName(qs(caption(DialogId::Signal, language)));
    setAccessibleDescription(qs(signalText(SignalText::Description, language)));
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
            [this] { viewport()->update(); });
}

void SignalView::setTraces(std::vector<SignalTrace> traces) {
    traces_ = std::move(traces);
    layOutPeriods();
    updateScrollBar();
    viewport()->update();
}

void SignalView::layOutPeriods() {
    std::size_t periods = 0;
    for (const SignalTrace& t : traces_)
        periods = std::max(periods, 2 * t.pulses.size());
    periodStart_.assign(periods, 0);
    periodLength_.assign(periods, 0);
    anyMiss_ = false;
    for (const SignalTrace& t : traces_) {
        for (std::size_t k = 0; k < 2 * t.pulses.size(); ++k) {
            const TracePulse& pulse = t.pulses[k / 2];
            periodLength_[k] = std::max(periodLength_[k], drawn(periodOf(pulse, k)));
            anyMiss_ = anyMiss_ || missOf(pulse, k);
        }
    }
    double at = 0;
    for (std::size_t k = 0; k < periods; ++k) {
        periodStart_[k] = at;
        at += periodLength_[k];
    }
    totalUs_ = at;
}

SignalView::Rows SignalView::rows() const {
    Rows r{};
    r.line = fontMetrics().height();
    r.pad = std::max(2, r.line / 3);
    r.legendTop = r.pad;
    r.labelTop = r.legendTop + r.line + r.pad;
    r.waveTop = r.labelTop + r.line + r.pad / 2;
    r.waveBottom = r.waveTop + 3 * r.line;
    r.axisTop = r.waveBottom + r.pad;
    r.height = r.axisTop + r.line / 2 + r.line + r.pad;
    return r;
}

int SignalView::margin() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("000"));
}

double SignalView::pixelsPerUs() const {
    const double width = std::max(1, viewport()->width() - 2 * margin());
    return width / std::max(totalUs_, 1.0) * zoom_;
}

double SignalView::xAt(double us) const {
    return margin() + us * pixelsPerUs() - horizontalScrollBar()->value();
}

void SignalView::updateScrollBar() {
    const double content = totalUs_ * pixelsPerUs() + 2 * margin();
    const int width = viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(content)) - width));
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().height() * 2));
}

void SignalView::zoomBy(double factor, int anchor) {
    const double before = pixelsPerUs();
    const double us = (anchor + horizontalScrollBar()->value() - margin()) / before;
    zoom_ = std::clamp(zoom_ * factor, 1.0, kMaxZoom);
    updateScrollBar();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(us * pixelsPerUs() + margin())) -
                                    anchor);
    viewport()->update();
}

QSize SignalView::sizeHint() const {
    const int chrome = 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 80, rows().height + chrome};
}

QSize SignalView::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 30, sizeHint().height()};
}

void SignalView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y();
    if (notches == 0) {  // a sideways wheel scrolls
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    zoomBy(std::pow(kZoomStep, static_cast<double>(notches) / kWheelNotch),
           static_cast<int>(event->position().x()));
    event->accept();
}

void SignalView::keyPressEvent(QKeyEvent* event) {
    const int middle = viewport()->width() / 2;
    const int key = event->key();
    if (key == Qt::Key_Plus || key == Qt::Key_Equal || event->matches(QKeySequence::ZoomIn)) {
        zoomBy(kZoomStep, middle);
    } else if (key == Qt::Key_Minus || event->matches(QKeySequence::ZoomOut)) {
        zoomBy(1 / kZoomStep, middle);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SignalView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void SignalView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    const Rows r = rows();
    if (totalUs_ <= 0) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(QRect(0, r.waveTop, viewport()->width(), r.waveBottom - r.waveTop),
                   Qt::AlignCenter, qs(signalText(SignalText::Empty, language_)));
        return;
    }
    drawBands(p, r);
    const QColor colours[] = {palette().color(QPalette::Text), kSecondPressColour};
    for (std::size_t i = traces_.size(); i-- > 0;)  // the first press on top
        drawTrace(p, r, traces_[i], colours[std::min<std::size_t>(i, 1)]);
    drawLabels(p, r);
    drawAxis(p, r);
    drawLegend(p, r);
}

// Each band runs from the shortest to the longest the period may be, measured from where the
// period starts: the period's end must fall inside it.
void SignalView::drawBands(QPainter& p, const Rows& r) const {
    const QColor band = bandColour(palette());
    const int middle = (r.waveTop + r.waveBottom) / 2;
    if (traces_.empty()) return;
    // Every press is checked against the same windows: the first one's are drawn.
    const SignalTrace& t = traces_.front();
    for (std::size_t k = 0; k < 2 * t.pulses.size(); ++k) {
        const auto& w = windowOf(t.pulses[k / 2], k);
        if (!w) continue;
        const double start = periodStart_[k];
        const double left = xAt(start + std::min<double>(w->min, kLongestDrawnUs));
        const double right = xAt(start + std::min<double>(w->max, kLongestDrawnUs));
        const bool burst = k % 2 == 0;
        const double top = burst ? r.waveTop - r.pad / 2.0 : middle;
        const double height = burst ? middle - top : r.waveBottom + r.pad / 2.0 - middle;
        p.fillRect(QRectF(left, top, std::max(1.0, right - left), height), band);
    }
}

void SignalView::drawTrace(QPainter& p, const Rows& r, const SignalTrace& trace,
                           const QColor& colour) const {
    const qreal width = std::max(1.5, r.line / 10.0);
    const QPen normal(colour, width);
    const QPen missed(kMissColour, 2 * width);
    QColor missFill = kMissColour;
    missFill.setAlpha(40);
    const std::size_t periods = 2 * trace.pulses.size();
    if (periods > 0) {
        p.setPen(normal);
        p.drawLine(QPointF(xAt(0), r.waveBottom), QPointF(xAt(0), r.waveTop));
    }
    for (std::size_t k = 0; k < periods; ++k) {
        const TracePulse& pulse = trace.pulses[k / 2];
        const std::uint16_t period = periodOf(pulse, k);
        const double y = k % 2 == 0 ? r.waveTop : r.waveBottom;
        const double other = k % 2 == 0 ? r.waveBottom : r.waveTop;
        const double start = xAt(periodStart_[k]);
        const double end = xAt(periodStart_[k] + drawn(period));
        const bool miss = missOf(pulse, k);
        if (miss) {
            p.fillRect(
                QRectF(start, r.waveTop, std::max(1.0, end - start), r.waveBottom - r.waveTop),
                missFill);
        }
        p.setPen(miss ? missed : normal);
        p.drawLine(QPointF(start, y), QPointF(end, y));
        if (period > kLongestDrawnUs) {  // a cut silence: two strokes across the line
            const double mid = (start + end) / 2;
            const double h = r.line / 3.0;
            p.drawLine(QPointF(mid - h, y + h), QPointF(mid - h / 2, y - h));
            p.drawLine(QPointF(mid + h / 2, y + h), QPointF(mid + h, y - h));
        }
        if (k + 1 == periods) break;
        // The edge, then the next level until the next period's common start.
        p.setPen(normal);
        p.drawLine(QPointF(end, y), QPointF(end, other));
        p.drawLine(QPointF(end, other), QPointF(xAt(periodStart_[k + 1]), other));
    }
}

void SignalView::drawLabels(QPainter& p, const Rows& r) const {
    if (traces_.empty()) return;
    const QFontMetrics fm = fontMetrics();
    p.setPen(palette().color(QPalette::Text));
    const SignalTrace& t = traces_.front();
    for (std::size_t i = 0; i < t.pulses.size(); ++i) {
        const TracePulse& pulse = t.pulses[i];
        if (pulse.role == PulseRole::Unanalysed) continue;
        const QString text = pulse.role == PulseRole::Leader
                                 ? qs(signalText(SignalText::Leader, language_))
                                 : QString(pulse.one ? QLatin1Char('1') : QLatin1Char('0'));
        const double left = xAt(periodStart_[2 * i]);
        const double right =
            xAt(periodStart_[2 * i] + periodLength_[2 * i] + periodLength_[2 * i + 1]);
        if (right < 0 || left > viewport()->width()) continue;
        if (fm.horizontalAdvance(text) + 2 > right - left) continue;  // zoom in to read it
        p.drawText(QRectF(left, r.labelTop, right - left, r.line), Qt::AlignCenter, text);
    }
}

void SignalView::drawAxis(QPainter& p, const Rows& r) const {
    const QFontMetrics fm = fontMetrics();
    const QString unit = qs(signalText(SignalText::Milliseconds, language_));
    p.setPen(palette().color(QPalette::Text));
    p.drawLine(QPointF(xAt(0), r.axisTop), QPointF(xAt(totalUs_), r.axisTop));
    const double ppu = pixelsPerUs();
    const double step =
        tickStep((fm.horizontalAdvance(QStringLiteral("000.0 ") + unit) + r.line) / ppu);
    const double firstVisible = std::max(0.0, (horizontalScrollBar()->value() - margin()) / ppu);
    const double lastVisible = std::min(totalUs_, firstVisible + viewport()->width() / ppu + step);
    for (double t = std::floor(firstVisible / step) * step; t <= lastVisible; t += step) {
        const double x = xAt(t);
        p.drawLine(QPointF(x, r.axisTop), QPointF(x, r.axisTop + r.line / 2.0));
        const QString label = QString::number(t / 1000, 'g', 6) + QLatin1Char(' ') + unit;
        const double w = fm.horizontalAdvance(label);
        p.drawText(QRectF(x - w / 2, r.axisTop + r.line / 2.0, w, r.line), Qt::AlignCenter, label);
    }
}

void SignalView::drawLegend(QPainter& p, const Rows& r) const {
    const QFontMetrics fm = fontMetrics();
    const int swatch = r.line * 3 / 2;
    double x = margin();
    const auto item = [&](const QString& text, const auto& drawSwatch) {
        drawSwatch(QRectF(x, r.legendTop + r.line / 4.0, swatch, r.line / 2.0));
        x += swatch + r.pad;
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(x, r.legendTop, fm.horizontalAdvance(text) + 1, r.line),
                   Qt::AlignVCenter | Qt::AlignLeft, text);
        x += fm.horizontalAdvance(text) + r.line;
    };
    const auto line = [&](const QColor& c) {
        return [&p, c, &r](const QRectF& box) {
            p.setPen(QPen(c, std::max(1.5, r.line / 10.0)));
            p.drawLine(QPointF(box.left(), box.center().y()),
                       QPointF(box.right(), box.center().y()));
        };
    };
    if (traces_.size() >= 2) {
        item(qs(signalText(SignalText::FirstPress, language_)),
             line(palette().color(QPalette::Text)));
        item(qs(signalText(SignalText::SecondPress, language_)), line(kSecondPressColour));
    }
    const QColor band = bandColour(palette());
    item(qs(signalText(SignalText::Window, language_)),
         [&p, band](const QRectF& box) { p.fillRect(box, band); });
    if (anyMiss_) item(qs(signalText(SignalText::Missed, language_)), line(kMissColour));
}

}  // namespace tessik::app
