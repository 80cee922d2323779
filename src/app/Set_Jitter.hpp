#pragma once
// "Set Up Jitter": the tolerance, 5 to 20 percent, by which Set Up Data widens the timing
// window the receiver accepts around the recorded timings. Under the slider the core's verdict:
// the jitter at which the windows start to overlap, a suggestion when a capture's spread is
// known, and whether the slider's value is safe.

#include <QDialog>
#include <optional>

#include "core/analysis/tolerance.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

class QLabel;
class QSlider;

namespace tessik::app {

inline constexpr int kJitterMin = kJitterMinPercent;
inline constexpr int kJitterMax = kJitterMaxPercent;

class Set_Jitter : public QDialog {
    Q_OBJECT
  public:
    Set_Jitter(RemoteModel& model, Language language, QWidget* parent = nullptr);

    // How far the two presses of a capture spread (the widest group, percent), when known:
    // the verdict then suggests a jitter.
    void setPressSpread(std::optional<double> percent);

    void accept() override;

  private:
    void showJitter(int percent);
    void showVerdict();

    RemoteModel& model_;
    Language language_;
    QSlider* slider_;
    QLabel* label_;
    QLabel* verdict_;
    std::optional<double> spread_;
};

}  // namespace tessik::app
