#pragma once
// A main window on a bus of simulated receivers with a fake clock and scripted dialogs, shown
// offscreen.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

#include "app/CTessikDlg.hpp"
#include "app/ScriptedDialogService.hpp"
#include "app/support/simulated_bus.hpp"
#include "app/support/widget_driver.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {

class MainWindowTest : public ::testing::Test {
  protected:
    void openWindow(Language language = Language::English) {
        app::DeviceOptions options;
        options.transport = &bus;
        options.clock = &clock;
        window = std::make_unique<app::CTessikDlg>(dialogs, options, language);
        window->show();
    }

    void TearDown() override {
        window.reset();
        EXPECT_EQ(dialogs.unexpected, 0) << "a question or file dialog had no scripted answer";
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
        for (std::size_t i = 0; i < count; ++i) {
            window->AddCode(necLikeCode(firstValue + i), u"button");
        }
    }

    QTreeWidget* list() const { return window->findChild<QTreeWidget*>("buttonList"); }
    int rows() const { return list()->topLevelItemCount(); }

    app::ScriptedDialogService dialogs;
    FakeClock clock{0, 1};  // every tick read moves it on, so polling loops end
    SimulatedBus bus{clock};
    ModalDriver modal;
    TempDir dir;
    std::unique_ptr<app::CTessikDlg> window;
};

}  // namespace tessik::test
