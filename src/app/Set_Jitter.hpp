#pragma once
// "Set Up Jitter": the tolerance, 5 to 20 percent, by which Set Up Data widens the timing
// window the receiver accepts around the recorded timings.

#include <QDialog>

#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

class QLabel;
class QSlider;

namespace tessik::app {

inline constexpr int kJitterMin = 5;
inline constexpr int kJitterMax = 20;

class Set_Jitter : public QDialog {
    Q_OBJECT
  public:
    Set_Jitter(RemoteModel& model, Language language, QWidget* parent = nullptr);

    void accept() override;

  private:
    void showJitter(int percent);

    RemoteModel& model_;
    Language language_;
    QSlider* slider_;
    QLabel* label_;
};

}  // namespace tessik::app
