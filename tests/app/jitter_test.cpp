#include <gtest/gtest.h>

#include <QLabel>
#include <QSlider>

#include "app/Set_Jitter.hpp"
#include "app/support/main_window_fixture.hpp"

namespace tessik::test {
namespace {

class JitterDialogTest : public MainWindowTest {
  protected:
    // Opens Setup > Jitter and lets `act` work on the dialog.
    void runJitter(std::function<void(QDialog&, QSlider&, QLabel&)> act) {
        modal.whenOpens<app::Set_Jitter>([act](app::Set_Jitter& d) {
            act(d, *d.findChild<QSlider*>("jitterSlider"), *d.findChild<QLabel*>("jitterLabel"));
        });
        window->Jitter();
        EXPECT_EQ(modal.acted, 1);
    }
};

TEST_F(JitterDialogTest, showsTheStoredJitterAndOkStoresTheMovedSlider) {
    openWindow();
    startNew("TV");
    addCodes(1);
    EXPECT_TRUE(window->action(CommandId::Jitter)->isEnabled());
    modal.acted = 0;
    runJitter([](QDialog& d, QSlider& slider, QLabel& label) {
        EXPECT_EQ(d.windowTitle(), "Set Up Jitter");
        EXPECT_EQ(slider.minimum(), 5);
        EXPECT_EQ(slider.maximum(), 20);
        EXPECT_EQ(slider.value(), 10);
        EXPECT_EQ(label.text(), "Jitter (10%)");
        slider.setValue(17);
        EXPECT_EQ(label.text(), "Jitter (17%)");
        click(d, "okButton");
    });
    EXPECT_EQ(window->model().jitterPercent, 17);
}

TEST_F(JitterDialogTest, cancelKeepsTheStoredValue) {
    openWindow();
    window->model().jitterPercent = 12;
    runJitter([](QDialog& d, QSlider& slider, QLabel&) {
        slider.setValue(6);
        click(d, "cancelButton");
    });
    EXPECT_EQ(window->model().jitterPercent, 12);
    EXPECT_FALSE(window->model().modified);
}

TEST_F(JitterDialogTest, aValueOutsideTheRangeShowsUnclampedAndOkStoresTheClampedPosition) {
    openWindow();
    window->model().jitterPercent = 35;  // as a data file may carry it
    runJitter([](QDialog& d, QSlider& slider, QLabel& label) {
        EXPECT_EQ(slider.value(), 20);
        EXPECT_EQ(label.text(), "Jitter (35%)");
        click(d, "okButton");
    });
    EXPECT_EQ(window->model().jitterPercent, 20);
}

TEST_F(JitterDialogTest, aChangedJitterCountsAsUnsavedAndAnUnchangedOneDoesNot) {
    openWindow();
    runJitter([](QDialog& d, QSlider&, QLabel&) { click(d, "okButton"); });
    EXPECT_FALSE(window->model().modified) << "OK without a change";

    modal.acted = 0;
    runJitter([](QDialog& d, QSlider& slider, QLabel&) {
        slider.setValue(5);
        click(d, "okButton");
    });
    EXPECT_TRUE(window->model().modified);
    dialogs.answer(Answer::Cancel);
    window->Close();
    EXPECT_EQ(dialogs.shown.size(), 1u) << "Exit now asks before the change is lost";
}

}  // namespace
}  // namespace tessik::test
