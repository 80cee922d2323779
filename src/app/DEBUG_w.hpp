#pragma once
// "DEBUG Message": the timing statistics of the stored codes (minimum, maximum and mid value of
// each timing group, in microseconds) and the log of every device exchange. Modeless; the main
// window creates it on first use, then only shows and hides it. English in every language.

#include <QDialog>
#include <map>
#include <string_view>

#include "core/model/records.hpp"

class QLabel;
class QListWidget;

namespace tessik::app {

class DEBUG_w : public QDialog {
    Q_OBJECT
  public:
    explicit DEBUG_w(QWidget* parent = nullptr);

    // Writes the sixteen values of `header` into their fields.
    void ShowStatistics(const RemoteHeader& header);
    // Appends a line to the log and selects it, which scrolls it into view.
    void AppendLog(std::string_view line);

    // The text of a value field by its control number (1009 ... 1027).
    QString valueText(int controlId) const;
    int logLineCount() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    std::map<int, QLabel*> values_;
    QListWidget* log_;
};

}  // namespace tessik::app
