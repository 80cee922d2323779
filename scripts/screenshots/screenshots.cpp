// Renders every window of the application to PNG files for a person to look at: clipped or
// overlapping labels, missing glyphs, unreadable layouts. Not a test: scripts/screenshots.sh
// builds and runs it with TESSIK_SCREENSHOT_DIR naming the folder to write into.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <fstream>
#include <sstream>

#include "app/ButtonTestDlg.hpp"
#include "app/CInputKeyDlg.hpp"
#include "app/CNameDlg.hpp"
#include "app/C_Update.hpp"
#include "app/DEBUG_w.hpp"
#include "app/GuidedSetUpDlg.hpp"
#include "app/HelpViewer.hpp"
#include "app/ImportDlg.hpp"
#include "app/InputMacro.hpp"
#include "app/MacroListDlg.hpp"
#include "app/Set_Jitter.hpp"
#include "app/SignalView.hpp"
#include "app/SignalWindow.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/c_SetCode.hpp"
#include "app/m_About.hpp"
#include "app/support/capture_dialog_fixture.hpp"
#include "core/ir/import_choice.hpp"
#include "layouts/layout_files.hpp"
#include "sim/boot_loader.hpp"

namespace tessik::test {
namespace {

class Screenshots : public MainWindowTest, public ::testing::WithParamInterface<Language> {
  protected:
    void SetUp() override {
        folder_ = qEnvironmentVariable("TESSIK_SCREENSHOT_DIR");
        if (folder_.isEmpty()) GTEST_SKIP() << "set TESSIK_SCREENSHOT_DIR to write screenshots";
        QDir().mkpath(folder_);
    }

    void save(QWidget& w, const char* name) {
        w.show();
        QCoreApplication::processEvents();
        const QString suffix = GetParam() == Language::Japanese ? "ja" : "en";
        const QString file = QStringLiteral("%1/%2-%3.png").arg(folder_, name, suffix);
        EXPECT_TRUE(w.grab().save(file)) << file.toStdString();
    }

    // The send-string editor on a button with a Ctrl chord, the registration of a macro with
    // three commands and the list of three macros, one of them referred to by a button.
    void saveKeyDialogs(Language language) {
        RemoteModel& m = window->model();
        const bool ja = language == Language::Japanese;
        const char16_t* names[] = {ja ? u"映画の夜" : u"Movie night", ja ? u"ニュース" : u"News",
                                   ja ? u"おやすみ" : u"Good night"};
        test::rewrite(m, [&](RemoteTables& t) {
            for (std::size_t i = 0; i < 3; ++i) {
                t.macros[i] = macroNamed(names[i], 0);
                t.macros[i].interval = static_cast<std::uint16_t>(1500 - 400 * i);
                t.macros[i].commands[0] = {1, {0x0106, 0, 0, 0, 0, 0}, u"[LCTRL]c", u"Copy"};
            }
            t.macros[1].commands[1] = {1, {0x3E}, u"[F5]", ja ? u"更新" : u"Refresh"};
            t.macros[0].commands[1] = {
                1, {0x28, 0, 0, 0, 0, 0}, u"[ENTER]", ja ? u"決定" : u"Confirm"};
            t.macros[0].commands[2] = {2,
                                       {0x0745, 0x3E},
                                       u"[LCTRL][LSHIFT][LALT][F12][F5]",
                                       ja ? u"全画面" : u"Full screen"};
            t.buttons[0].code.keys = {0x0106, 0x2B, 0x28, 0x4F, 0, 0};
            t.buttons[0].text.sendText = u"[LCTRL]c[TAB][ENTER][RIGHT]";
            t.buttons[0].text.keyCount = 4;
            referToMacro(t, 1, 0);
        });
        save(*window, "main-keys");

        app::CInputKeyDlg keys(m, dialogs, language, EditMode::Button, 0, 0, window.get());
        save(keys, "input-key");
        app::CInputKeyDlg reference(m, dialogs, language, EditMode::Button, 1, 0, window.get());
        save(reference, "input-key-macro");
        app::InputMacro registration(m, dialogs, language, 0, window.get());
        save(registration, "macro");
        app::MacroListDlg list(m, dialogs, language, window.get());
        save(list, "macro-list");
    }

    QString folder_;
};

TEST_P(Screenshots, everyWindow) {
    const Language language = GetParam();
    sim::BootLoader::attach(plug(kProductIdNormal, {1, 4, 2}));
    openWindow(language);
    window->startUp();
    window->model().startNew(language == Language::Japanese ? u"リビングのテレビ"
                                                            : u"Living room TV");
    const char16_t* comments[] = {u"Power", u"Volume +", u"Volume -", u"Channel up", u"Mute"};
    for (std::size_t i = 0; i < 12; ++i) {
        window->model().AddCode(necLikeCode(0x20DF10EFull + i * 0x1000), comments[i % 5]);
        window->model().storeButtonKeys(
            i, {{}, 0, i % 3 == 0 ? u"Ctrl+Alt+Del" : u"a", comments[i % 5]});
    }
    window->RefreshList(0);
    save(*window, "main");
    window->ShowSignal();
    save(*window->signalWindow(), "signal");
    window->signalWindow()->view()->zoomBy(8, 0);
    save(*window->signalWindow(), "signal-zoomed");
    window->signalWindow()->hide();

    window->ToggleDebugWindow();
    window->model().AddCode(necLikeCode(0x1234), u"");
    modal.whenOpens<QDialog>([](QDialog& d) { d.accept(); });
    window->About();  // one Get Version line in the log
    for (int i = 0; i < 5; ++i)
        window->LogLine("Send Start Capture Command Success");
    save(*window->debugWindow(), "debug");

    app::VirtualRemoteWindow remote(*receiver, language);
    remote.press(sim::aehaAudioRemote(), "Play");
    receiver->setCaptureMode(true);
    remote.press(sim::necTvRemote(), "Vol+");
    remote.press(sim::sircTvRemote(), "Vol+");
    receiver->setCaptureMode(false);
    save(remote, "virtual-remote");

    // A collection of two remotes, the television's signals chosen.
    RawSignalsParse irdb = parseRawSignals(
        "Filetype: IR signals file\nVersion: 1\n"
        "#\nname: TV.ir / Power\ntype: parsed\nprotocol: NEC\naddress: 20 00 00 00\n"
        "command: 10 00 00 00\n"
        "#\nname: TV.ir / Input\ntype: parsed\nprotocol: NEC\naddress: 20 00 00 00\n"
        "command: 11 00 00 00\n"
        "#\nname: TV.ir / Teletext\ntype: parsed\nprotocol: RC5\naddress: 00 00 00 00\n"
        "command: 3C 00 00 00\n"
        "#\nname: Sony.ir / Power\ntype: parsed\nprotocol: SIRC\naddress: 01 00 00 00\n"
        "command: 15 00 00 00\n");
    ImportChoice choice(window->model(), std::move(irdb.found));
    choice.chooseGroup(0, true);
    app::ImportDlg import(choice, "remotes.ir", language, window.get());
    save(import, "import");

    app::CNameDlg name(language, window.get());
    save(name, "name");
    app::m_About about(window->versionArea(), language, window.get());
    save(about, "about");
    window->model().setJitter(15);
    app::Set_Jitter jitter(window->model(), language, window.get());
    save(jitter, "jitter");
    saveKeyDialogs(language);
    app::HelpViewer help(language, app::helpSearchFolders(), window.get());
    help.showIndex();
    save(help, "help");
    for (const char* page : {"capture", "jitter", "debug", "linux"}) {
        help.browser()->setSource(QUrl(QStringLiteral("%1.html").arg(QLatin1String(page))));
        save(help, (std::string("help-") + page).c_str());
    }
}

// Before, half-way through and after a run: the bar is shot when it passes its middle.
TEST_P(Screenshots, setUpAndFirmwareUpdate) {
    const Language language = GetParam();
    sim::BootLoader::attach(plug(kProductIdNormal, {1, 4, 2}));
    openWindow(language);
    window->startUp();
    window->model().startNew(u"TV");
    window->model().AddCode(necLikeCode(0x20DF10EF), u"Power");

    app::c_SetCode setUp(window->device().commands(), window->model(), dialogs, language,
                         window.get());
    save(setUp, "setup-before");
    auto* bar = setUp.findChild<QProgressBar*>("setUpProgress");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (value == bar->maximum() / 2) save(setUp, "setup-during");
    });
    setUp.Set();
    save(setUp, "setup-after");

    LinkUpdateHost host(window->device().link(), window->device().commands(),
                        window->versionArea());
    app::C_Update update(window->device().transport(), window->device().clock(), host, dialogs,
                         language, window.get());
    save(update, "update-before");
    dialogs.chooseNext(std::filesystem::path(TESSIK_SAMPLE_FIRMWARE));
    update.FileOpen();
    save(update, "update-loaded");
    auto* progress = update.findChild<QProgressBar*>("updateProgress");
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        if (value == progress->maximum() / 2) save(update, "update-during");
    });
    update.Update();
    save(update, "update-after");
}

// The main window with an empty table, the guided set-up's pages as a navigation layout is
// taught from the NEC TV remote, and the import preview with a layout's keys.
TEST_P(Screenshots, guidedSetUpAndImportWithKeys) {
    const Language language = GetParam();
    const bool ja = language == Language::Japanese;
    plug(kProductIdNormal);
    openWindow(language);
    window->startUp();
    save(*window, "main-empty");
    sim::IrReception reception(*receiver);
    modal.whenOpens<app::GuidedSetUpDlg>([&](app::GuidedSetUpDlg& d) {
        const auto shoot = [&](const char* name) {
            QCoreApplication::processEvents();
            d.grab().save(QStringLiteral("%1/%2-%3.png").arg(folder_, name, ja ? "ja" : "en"));
        };
        // A press, then the polls that read it, 350 ms apart on the receiver's clock.
        const auto press = [&](std::string_view button) {
            reception.press(sim::necTvRemote(), button);
            auto* timer = d.findChild<QTimer*>();
            for (int n = 0; n < 3 && timer->isActive(); ++n) {
                clock.advance(kCapturePollMs);
                QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
            }
        };
        d.findChild<QLineEdit*>("guidedName")->setText(ja ? "リビングのテレビ" : "Living room TV");
        d.findChild<QComboBox*>("guidedLayout")->setCurrentIndex(1);  // plain navigation
        shoot("guided-choose");
        click(d, "startButton");
        shoot("guided-step-first");
        press("Up");
        shoot("guided-step-second");
        press("Up");
        press("Down");
        press("Down");
        shoot("guided-step-next");
        click(d, "skipButton");
        click(d, "skipButton");
        press("OK");
        press("OK");
        click(d, "skipRestButton");
        shoot("guided-end");
        click(d, "finishButton");
    });
    window->StartGuidedSetUp();
    save(*window, "main-guided");

    std::ifstream in(TESSIK_SOURCE_DIR "/tests/data/ir/nec-tv-named.ir");
    std::stringstream named;
    named << in.rdbuf();
    ImportChoice choice(window->model(), parseRawSignals(named.str()).found);
    const layouts::LayoutList layouts = layouts::loadLayouts({}, language);
    app::ImportDlg import(choice, "nec-tv-named.ir", language, window.get());
    import.offerLayouts(layouts.layouts, {"/home/me/.local/share/tessik/layouts/mine.json: line "
                                          "4: \"Upp\" is not the name of a key or modifier"});
    import.findChild<QComboBox*>("importLayout")->setCurrentIndex(2);  // plain navigation
    save(import, "import-keys");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Screenshots,
                         ::testing::Values(Language::English, Language::Japanese),
                         [](const ::testing::TestParamInfo<Language>& info) {
                             return info.param == Language::Japanese ? "Japanese" : "English";
                         });

// For a person to look at, as the other screenshots (only with TESSIK_SCREENSHOT_DIR): the
// dialog waiting for the first press, for the second, with a code confirmed, and with a noisy
// one whose second press misses windows.
TEST_F(CaptureDialog, screenshotsOfItsStatesInBothLanguages) {
    const QString folder = qEnvironmentVariable("TESSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "set TESSIK_SCREENSHOT_DIR to write screenshots";
    QDir().mkpath(folder);
    for (const auto& [language, suffix] :
         {std::pair{Language::English, "en"}, std::pair{Language::Japanese, "ja"}}) {
        window.reset();
        openWindow(language);
        startNew("TV");
        capture([&, suffix = suffix](app::Capture_w& d) {
            const auto shoot = [&](const char* name) {
                QCoreApplication::processEvents();
                d.grab().save(QStringLiteral("%1/%2-%3.png").arg(folder, name, suffix));
            };
            shoot("capture-first");
            press(d, sim::necTvRemote(), "Power");
            shoot("capture-second");
            press(d, sim::necTvRemote(), "Power");
            d.findChild<QLineEdit*>()->setText(QStringLiteral("Power"));
            shoot("capture-confirmed");
            // A remote that wanders by 8 % against 5 % jitter: periods outside their windows.
            click(d, "nextButton");
            window->model().setJitter(5);
            press(d, sim::necTvRemote(), "Vol+", sim::TimingNoise{8.0, 10});
            press(d, sim::necTvRemote(), "Vol+", sim::TimingNoise{8.0, 11});
            shoot("capture-noisy");
            d.findChild<app::SignalView*>()->zoomBy(5, 0);
            shoot("capture-noisy-zoomed");
            d.reject();
        });
        // Test Buttons on the table just captured: a row found, a button it does not have.
        modal.whenOpens<app::ButtonTestDlg>([&, suffix = suffix](app::ButtonTestDlg& d) {
            press(d, sim::necTvRemote(), "Power");
            press(d, sim::necTvRemote(), "Mute");
            QCoreApplication::processEvents();
            d.grab().save(QStringLiteral("%1/button-test-%2.png").arg(folder, suffix));
            d.reject();
        });
        window->action(CommandId::TestButtons)->trigger();
    }
}

}  // namespace
}  // namespace tessik::test
