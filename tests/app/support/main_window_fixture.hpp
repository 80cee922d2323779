#pragma once
// A main window on a simulated receiver with a fake clock and scripted dialogs.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

#include "app/CTessikDlg.hpp"
#include "app/support/scripted_dialog_service.hpp"
#include "app/support/widget_driver.hpp"
#include "sim/boot_loader.hpp"
#include "sim/simulated_receiver.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {

class MainWindowTest : public ::testing::Test {
  protected:
    // A receiver in normal mode, or for kProductIdUpdater one waiting in its boot loader.
    sim::SimulatedReceiver& plug(std::uint16_t productId,
                                 std::array<std::uint8_t, 3> firmware = {1, 2, 3}) {
        window.reset();
        const bool updater = productId == kProductIdUpdater;
        receiver = std::make_unique<sim::SimulatedReceiver>(
            clock, sim::ReceiverOptions{.productId = updater ? kProductIdNormal : productId,
                                        .versionMajor = firmware[0],
                                        .versionMinor = firmware[1],
                                        .versionThird = firmware[2]});
        if (updater) sim::BootLoader::attach(*receiver, {.startInUpdateMode = true});
        return *receiver;
    }

    // Opens a new main window; without a plugged receiver, none is on the bus. The window takes
    // the receiver for a simulated one when told so (its Virtual Remote, its status line), for
    // a plain device on a bus otherwise. It looks at receivers arriving and leaving only when
    // the test calls checkDevices().
    void openWindow(Language language = Language::English, bool simulated = false) {
        if (!receiver) plug(kProductIdNormal).unplug();
        app::DeviceOptions options;
        options.transport = &receiver->transport();
        if (simulated) options.receiver = receiver.get();
        options.clock = &clock;
        options.followDevices = false;
        window = std::make_unique<app::CTessikDlg>(dialogs, options, language);
        // The user's own key layouts are this test's, not those of whoever runs it.
        window->setLayoutFolder(dir.path() / "layouts");
        window->show();
    }

    void TearDown() override {
        window.reset();
        EXPECT_EQ(dialogs.unexpected, 0) << "a question or file dialog had no scripted answer";
        EXPECT_TRUE(dialogs.scriptUsedUp()) << "a scripted answer was never asked for";
    }

    // File > New with `name` typed into the name dialog and OK pressed.
    void startNew(const QString& name) {
        modal.whenOpens<QDialog>([name](QDialog& d) {
            d.findChild<QLineEdit*>("nameEdit")->setText(name);
            d.accept();
        });
        window->action(CommandId::New)->trigger();
    }

    void addCodes(std::size_t count, std::uint64_t firstValue = 0x1000) {
        for (std::size_t i = 0; i < count; ++i)
            window->model().AddCode(necLikeCode(firstValue + i), u"button");
    }

    QTreeWidget* list() const { return window->findChild<QTreeWidget*>("buttonList"); }
    int rows() const { return list()->topLevelItemCount(); }
    QStringList rowTexts(int row) const {
        QStringList texts;
        for (int c = 0; c < list()->columnCount(); ++c)
            texts << list()->topLevelItem(row)->text(c);
        return texts;
    }
    bool inView(int row) const {
        return list()->viewport()->rect().contains(
            list()->visualItemRect(list()->topLevelItem(row)));
    }

    app::ScriptedDialogService dialogs;
    FakeClock clock{0, 1};  // every tick read moves it on, so polling loops end
    std::unique_ptr<sim::SimulatedReceiver> receiver;
    ModalDriver modal;
    TempDir dir;
    std::unique_ptr<app::CTessikDlg> window;
};

}  // namespace tessik::test
