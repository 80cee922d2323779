#pragma once
// The pulse train of a code on a time axis: bursts raised, pauses lowered, the leader and the
// bit values written above them, and the receiver's window of every period as a band where the
// period's end may fall (bursts' bands in the upper half, pauses' in the lower). A period whose
// end lies outside its band is drawn in red. Several presses are drawn over each other, each
// period of every press starting where that of the first does, so they compare period by
// period against one band. What is drawn comes from the core (signal_trace.hpp); the view only
// lays it out.
//
// The mouse wheel zooms about the pointer, + and - about the middle; the scroll bar (and the
// arrow keys) move along the train. Zoom 1 shows the whole train.

#include <QAbstractScrollArea>
#include <vector>

#include "core/analysis/signal_trace.hpp"
#include "core/text/language.hpp"

namespace tessik::app {

class SignalView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit SignalView(Language language, QWidget* parent = nullptr);

    // The presses to draw; the first one's labels are written. Keeps the zoom.
    void setTraces(std::vector<SignalTrace> traces);
    const std::vector<SignalTrace>& traces() const { return traces_; }

    double zoom() const { return zoom_; }
    // Zooms by `factor` (within 1..64) keeping the time under viewport x `anchor` in place.
    void zoomBy(double factor, int anchor);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Rows;  // the vertical layout, from the font
    Rows rows() const;
    int preferredWidth() const;
    void followLegendHeight();
    struct LegendEntry;
    std::vector<LegendEntry> legend() const;
    template <typename Place>
    static int placeLegend(const std::vector<LegendEntry>& entries, const QFontMetrics& fm,
                           int left, int right, Place place);
    int margin() const;
    double pixelsPerUs() const;
    double xAt(double us) const;
    void layOutPeriods();
    void updateScrollBar();

    void drawLegend(QPainter& p, const Rows& r) const;
    void drawBands(QPainter& p, const Rows& r) const;
    void drawTrace(QPainter& p, const Rows& r, const SignalTrace& trace,
                   const QColor& colour) const;
    void drawMisses(QPainter& p, const Rows& r, const SignalTrace& trace) const;
    void drawLabels(QPainter& p, const Rows& r) const;
    void drawAxis(QPainter& p, const Rows& r) const;

    Language language_;
    std::vector<SignalTrace> traces_;
    // Where each period (burst 0, pause 0, burst 1, ...) starts on the drawn axis, in µs, and
    // how long its slot is: the longest of that period over the presses, long silences cut.
    std::vector<double> periodStart_;
    std::vector<double> periodLength_;
    double totalUs_ = 0;
    bool anyMiss_ = false;
    double zoom_ = 1.0;
    int laidOutHeight_ = 0;
};

}  // namespace tessik::app
