#pragma once
// "Signal": the pulse train of the main list's selected row, rendered from its code bytes and
// the table's timings, with the windows the receiver gets at the table's jitter. The main
// window keeps it up to date as the selection, the table or the jitter changes.

#include <QWidget>
#include <cstddef>
#include <cstdint>

#include "core/model/records.hpp"
#include "core/text/language.hpp"

class QLabel;

namespace tessik::app {

class SignalView;

class SignalWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SignalWindow(Language language, QWidget* parent = nullptr);

    // The code of button slot `slot` against `header`'s windows at `jitterPercent`.
    void showCode(std::size_t slot, const CodeRecord& code, const RemoteHeader& header,
                  std::int32_t jitterPercent);
    // No row selected.
    void showNothing();

    SignalView* view() const { return view_; }

  private:
    Language language_;
    QLabel* heading_;
    SignalView* view_;
};

}  // namespace tessik::app
