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

// The pen of the pulse trains, from the height of a line of text.
double penWidth(int line) {
    return std::max(1.5, line / 10.0);
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

struct SignalView::LegendEntry {
    QString text;
    QColor colour;
    bool band;  // a band's swatch, else a line's
};

std::vector<SignalView::LegendEntry> SignalView::legend() const {
    std::vector<LegendEntry> entries;
    if (traces_.size() >= 2) {
        entries.push_back({qs(signalText(SignalText::FirstPress, language_)),
                           palette().color(QPalette::Text), false});
        entries.push_back(
            {qs(signalText(SignalText::SecondPress, language_)), kSecondPressColour, false});
    }
    entries.push_back({qs(signalText(SignalText::Window, language_)), bandColour(palette()), true});
    if (anyMiss_) {
        entries.push_back({qs(signalText(SignalText::Missed, language_)), kMissColour, false});
    }
    return entries;
}

// Lays the entries out from `left` in lines no wider than `right`, calling place(entry, x,
// line) for each; returns the number of lines.
template <typename Place>
int SignalView::placeLegend(const std::vector<LegendEntry>& entries, const QFontMetrics& fm,
                            int left, int right, Place place) {
    const int line = fm.height();
    int x = left;
    int lines = 1;
    for (const LegendEntry& e : entries) {
        const int width = line * 2 + fm.horizontalAdvance(e.text);
        if (x > left && x + width > right) {
            ++lines;
            x = left;
        }
        place(e, x, lines - 1);
        x += width + line;
    }
    return lines;
}

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
    followLegendHeight();
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
    // Before the layout has given the view its width, the legend is laid out for the width
    // the view asks for.
    const int width = isVisible() ? viewport()->width() : preferredWidth();
    const int legendLines = placeLegend(legend(), fontMetrics(), margin(), width - margin(),
                                        [](const LegendEntry&, int, int) {});
    r.labelTop = r.legendTop + legendLines * r.line + r.pad;
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

int SignalView::preferredWidth() const {
    return fontMetrics().horizontalAdvance(QLatin1Char('0')) * 100;
}

QSize SignalView::sizeHint() const {
    const int chrome = 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
    return {preferredWidth(), rows().height + chrome};
}

// The legend takes another line when the view gets narrower or the legend longer.
void SignalView::followLegendHeight() {
    const int height = rows().height;
    if (height == laidOutHeight_) return;
    laidOutHeight_ = height;
    updateGeometry();
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
    followLegendHeight();
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
    for (const SignalTrace& t : traces_)
        drawMisses(p, r, t);
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
    p.setPen(QPen(colour, penWidth(r.line)));
    const std::size_t periods = 2 * trace.pulses.size();
    if (periods > 0) p.drawLine(QPointF(xAt(0), r.waveBottom), QPointF(xAt(0), r.waveTop));
    for (std::size_t k = 0; k < periods; ++k) {
        const std::uint16_t period = periodOf(trace.pulses[k / 2], k);
        const double y = k % 2 == 0 ? r.waveTop : r.waveBottom;
        const double other = k % 2 == 0 ? r.waveBottom : r.waveTop;
        const double start = xAt(periodStart_[k]);
        const double end = xAt(periodStart_[k] + drawn(period));
        p.drawLine(QPointF(start, y), QPointF(end, y));
        if (period > kLongestDrawnUs) {  // a cut silence: two strokes across the line
            const double mid = (start + end) / 2;
            const double h = r.line / 3.0;
            p.drawLine(QPointF(mid - h, y + h), QPointF(mid - h / 2, y - h));
            p.drawLine(QPointF(mid + h / 2, y + h), QPointF(mid + h, y - h));
        }
        if (k + 1 == periods) break;
        // The edge, then the next level until the next period's common start.
        p.drawLine(QPointF(end, y), QPointF(end, other));
        p.drawLine(QPointF(end, other), QPointF(xAt(periodStart_[k + 1]), other));
    }
}

// Over every press, so that a miss of the second press is not hidden under the first.
void SignalView::drawMisses(QPainter& p, const Rows& r, const SignalTrace& trace) const {
    QColor fill = kMissColour;
    fill.setAlpha(40);
    p.setPen(QPen(kMissColour, 2 * penWidth(r.line)));
    for (std::size_t k = 0; k < 2 * trace.pulses.size(); ++k) {
        if (!missOf(trace.pulses[k / 2], k)) continue;
        const double y = k % 2 == 0 ? r.waveTop : r.waveBottom;
        const double other = k % 2 == 0 ? r.waveBottom : r.waveTop;
        const double start = xAt(periodStart_[k]);
        const double end = xAt(periodStart_[k] + drawn(periodOf(trace.pulses[k / 2], k)));
        p.fillRect(QRectF(start, r.waveTop, std::max(1.0, end - start), r.waveBottom - r.waveTop),
                   fill);
        p.drawLine(QPointF(start, y), QPointF(end, y));
        p.drawLine(QPointF(end, y), QPointF(end, other));
    }
}

// The bit values are written only when every one of them fits, so a row of digits never
// leaves out the zeros (the shorter pulses) and reads as another code.
void SignalView::drawLabels(QPainter& p, const Rows& r) const {
    if (traces_.empty()) return;
    const QFontMetrics fm = fontMetrics();
    const SignalTrace& t = traces_.front();
    const auto slotOf = [this](std::size_t i) {
        return std::pair(xAt(periodStart_[2 * i]), xAt(periodStart_[2 * i] + periodLength_[2 * i] +
                                                       periodLength_[2 * i + 1]));
    };
    const double digit = fm.horizontalAdvance(QLatin1Char('0')) + 2;
    bool bitsFit = true;
    for (std::size_t i = 0; i < t.pulses.size() && bitsFit; ++i) {
        const auto [left, right] = slotOf(i);
        bitsFit = t.pulses[i].role != PulseRole::Bit || right - left >= digit;
    }
    p.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i < t.pulses.size(); ++i) {
        const TracePulse& pulse = t.pulses[i];
        const auto [left, right] = slotOf(i);
        if (right < 0 || left > viewport()->width()) continue;
        QString text;
        if (pulse.role == PulseRole::Leader) {
            text = qs(signalText(SignalText::Leader, language_));
            if (fm.horizontalAdvance(text) + 2 > right - left) continue;
        } else if (pulse.role == PulseRole::Bit && bitsFit) {
            text = pulse.one ? QStringLiteral("1") : QStringLiteral("0");
        } else {
            continue;
        }
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
    const auto place = [&](const LegendEntry& e, int x, int line) {
        const double top = r.legendTop + line * r.line;
        const QRectF box(x, top + r.line / 4.0, swatch, r.line / 2.0);
        if (e.band) {
            p.fillRect(box, e.colour);
        } else {
            p.setPen(QPen(e.colour, penWidth(r.line)));
            p.drawLine(QPointF(box.left(), box.center().y()),
                       QPointF(box.right(), box.center().y()));
        }
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(x + r.line * 2, top, fm.horizontalAdvance(e.text) + 1, r.line),
                   Qt::AlignVCenter | Qt::AlignLeft, e.text);
    };
    placeLegend(legend(), fm, margin(), viewport()->width() - margin(), place);
}

}  // namespace tessik::app
