#pragma once
// "Guided Set-Up": a remote taught button by button. The first page takes the remote's name,
// the key layout (what the remote should control) and the roles to teach; then one page per
// role asks for its button, twice, and says what it will type; the end page shows the table,
// checks the timing of the whole table and offers Set Up Data, Test Buttons and Save As. Every rule
// is GuidedSetUp's (and the capture session's); this window shows its pages and forwards the
// buttons and the poll timer.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "core/guided/guided_setup.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QTreeWidget;

namespace tessik::app {

class SignalView;

// What the end page's buttons do in the main window: Set Up Data and Test Buttons over this
// window, Save As.
struct GuidedSetUpActions {
    std::function<void(QWidget* over)> setUpData;
    std::function<void(QWidget* over)> testButtons;
    std::function<void()> saveAs;
};

class GuidedSetUpDlg : public QDialog, public GuidedSetUpView {
    Q_OBJECT
  public:
    // `layouts` are offered on the first page and must outlive the dialog; `refused` are the
    // user's layout files that could not be read, told there.
    GuidedSetUpDlg(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
                   Notifier& notifier, Language language, const std::vector<KeyLayout>& layouts,
                   const std::vector<std::string>& refused, GuidedSetUpActions actions,
                   QWidget* parent = nullptr);

    GuidedSetUp& setUp() { return setUp_; }

    // GuidedSetUpView
    void setCapturePrompt(std::string_view text) override;
    void setCaptureResult(std::string_view text) override;
    void setAnalysis(std::string_view code, std::string_view warning) override;
    void setSignal(std::span<const SignalTrace> presses) override;
    void startTimer(std::uint32_t ms) override;
    void stopTimer() override;
    void changed() override;

    // Cancel, Escape and the close box take the whole run back.
    void reject() override;

  private:
    QWidget* choosePage(const std::vector<std::string>& refused);
    QWidget* stepPage();
    QWidget* endPage();
    void fillRoles();
    void checkAll(bool on);
    void updateStart();
    void start();
    void showStep();
    void showEnd();

    Language language_;
    const RemoteModel& model_;
    const std::vector<KeyLayout>& layouts_;
    GuidedSetUpActions actions_;
    QStackedWidget* pages_;
    // The first page.
    QLineEdit* name_;
    QComboBox* layout_;
    QLabel* about_;
    QTreeWidget* roles_;
    // A step's page.
    QLabel* counter_;
    QLabel* prompt_;
    QLabel* keys_;
    QLabel* capturePrompt_;
    QLabel* result_;
    QLabel* analysis_;
    QLabel* warning_;
    SignalView* signal_;
    // The end page.
    QTreeWidget* taught_;
    QLabel* tolerance_;
    QPushButton* testButtons_;
    // The buttons along the bottom.
    QPushButton* back_;
    QPushButton* skip_;
    QPushButton* skipRest_;
    QPushButton* start_;
    QPushButton* finish_;
    QTimer* timer_;
    GuidedSetUp setUp_;
};

}  // namespace tessik::app
