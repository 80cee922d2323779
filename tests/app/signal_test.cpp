// The signal view draws any code it is given and zooms, and the Signal window shows the pulse
// train of whichever row is selected. What is drawn is the core's and tested there.

#include <gtest/gtest.h>

#include <QLabel>
#include <QWheelEvent>

#include "app/SignalView.hpp"
#include "app/SignalWindow.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/analysis/signal_trace.hpp"
#include "core/ir/decoders.hpp"

namespace tessik::test {
namespace {

TEST(SignalView, drawsEmptyOneBitAndLongestCodesAtEveryZoom) {
    RemoteHeader header;
    AccumulateStatistics(header, necLikeCode(0x20DF10EF));
    CodeRecord longest = necLikeCode(0x20DF10EF, kMaxDecodedBits);
    longest.codeBytes.fill(0xA5);
    const SignalTrace oneBit = codeTrace(necLikeCode(0x80, 1), header, 10);
    const SignalTrace all = codeTrace(longest, header, 10);

    app::SignalView view(Language::Japanese);
    EXPECT_FALSE(view.accessibleName().isEmpty());
    EXPECT_FALSE(view.accessibleDescription().isEmpty());
    view.resize(view.sizeHint());
    view.show();
    for (const auto& traces : {std::vector<SignalTrace>{}, std::vector{oneBit},
                               std::vector{all, all}, std::vector{SignalTrace{}}}) {
        view.setTraces(traces);
        EXPECT_FALSE(view.grab().isNull());
        pressKey(&view, Qt::Key_Plus);
        QWheelEvent notch(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), {}, {0, 120 * 30},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.viewport(), &notch);
        EXPECT_FALSE(view.grab().isNull());
    }
    EXPECT_EQ(view.zoom(), 64) << "the wheel zooms in up to its limit, kept across codes";
    pressKey(&view, Qt::Key_Minus);
    EXPECT_LT(view.zoom(), 64);
}

TEST_F(MainWindowTest, theSignalWindowFollowsTheSelectedRow) {
    openWindow();
    startNew("TV");
    addCodes(2);
    window->RefreshList(0);
    window->action(CommandId::Signal)->trigger();
    app::SignalWindow* shown = window->signalWindow();
    ASSERT_TRUE(shown != nullptr && shown->isVisible());
    const RemoteModel& m = window->model();

    EXPECT_EQ(shown->view()->traces(), std::vector{codeTrace(m.button(0).code, m.header(), 10)});
    list()->setCurrentItem(list()->topLevelItem(1));
    EXPECT_EQ(shown->view()->traces(), std::vector{codeTrace(m.button(1).code, m.header(), 10)});
    EXPECT_TRUE(shown->findChild<QLabel*>("signalHeading")->text().startsWith("Button 2: 0x1001"));
    list()->clearSelection();
    EXPECT_TRUE(shown->view()->traces().empty());
}

}  // namespace
}  // namespace tessik::test
