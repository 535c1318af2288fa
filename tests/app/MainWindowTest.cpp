// The main window: start-up, menus, status bar, going online and offline,
// the views, help, about and shutdown.
#include "AppFixture.h"
#include "HelpWindow.h"
#include "StatusPanels.h"
#include "ViewBase.h"
#include "frmMain.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

class MainWindow : public AppFixture {};

// "name|caption|shortcut" per item, "-" for a separator, "name>" for a submenu.
QStringList describeMenu(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            out.append("-");
        else
            out.append(a->objectName() + u'|' + a->text() + u'|' + a->shortcut().toString() +
                       (a->menu() ? ">" : ""));
    }
    return out;
}

TEST_F(MainWindow, StartsOfflineWithItsCaptionPanelsAndNothingSent) {
    startMainWindow(true);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [unnamed]");
    EXPECT_EQ(main->shared().Files.gFileNameCaption, "[unnamed]");
    EXPECT_EQ(main->shared().Files.gFileNamePath, folder.path() + "/*.sdt");
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_EQ(panel("STATUS")->toolTip(), "System Status Display Messages");
    EXPECT_EQ(panel("MODE")->toolTip(), "Communications Mode");
    EXPECT_FALSE(panelText("DATE").isEmpty());
    EXPECT_FALSE(panelText("TIME").isEmpty());
    EXPECT_NE(main->findChild<StatusPanels*>("sbrMain"), nullptr);
    EXPECT_TRUE(main->StartupDone());
    EXPECT_EQ(main->CurrentView(), 0);
    EXPECT_TRUE(main->shared().Untitled);
    EXPECT_EQ(main->shared().CurrentData, main->shared().DefaultData);
    EXPECT_FALSE(main->shared().OfflineEditing);
    ASSERT_TRUE(pumpUntil(
        [&] { return panelText("STATUS") == "System Message:  Program is Currently OFFLINE"; },
        600));
    EXPECT_EQ(main->shared().SystemMessage, "Set-up Program is Currently OFFLINE");
    EXPECT_EQ(port.opens(), 0);
    EXPECT_EQ(port.trace(), "");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(MainWindow, StatusPanelStartsWithTheBareHeading) {
    startMainWindow();
    EXPECT_EQ(panelText("STATUS"), "System Message:");
}

TEST_F(MainWindow, MenusHaveEveryItemWithCaptionShortcutAndSeparators) {
    startMainWindow();
    QStringList bar;
    for (const QAction* a : main->menuBar()->actions())
        bar.append(a->text());
    EXPECT_EQ(bar, (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
    const auto menu = [&](const char* name) { return main->findChild<QMenu*>(name); };
    EXPECT_EQ(
        describeMenu(menu("mnuFile")),
        (QStringList{
            "mnuFileNew|&New...|Ctrl+N", "mnuFileOpen|&Open...|Ctrl+O", "mnuFileSave|&Save|Ctrl+S",
            "mnuFileSaveAs|Save &As...|", "-", "mnuFileExport|Export Shift Data...|Ctrl+X", "-",
            "mnuFileUpload|&Upload (save) Data|>", "mnuFileDownloadProgram|Download &Program|",
            "mnuFileDownload|&Download Data|>", "mnuFileCompare|Co&mpare...|",
            "mnuFileHistory|&History...|", "-", "mnuFilePrint|&Print Report...|Ctrl+P",
            "mnuFilePrintSetup|Print Set&up...|", "-", "mnuFileExit|E&xit|"}));
    const QStringList data{"Data0|Set-up &Parameters|", "Data1|Timing &Channels|",
                           "Data2|Shift &Data|", "-", "Data4|&All|"};
    QStringList upload, download;
    for (const QString& d : data) {
        upload.append(d == "-" ? d : "mnuFileUpload" + d);
        download.append(d == "-" ? d : "mnuFileDownload" + d);
    }
    EXPECT_EQ(describeMenu(menu("mnuFileUpload")), upload);
    EXPECT_EQ(describeMenu(menu("mnuFileDownload")), download);
    EXPECT_EQ(action("mnuFileUploadData3")->isSeparator(), true);
    EXPECT_EQ(describeMenu(menu("mnuEdit")),
              (QStringList{"mnuEditOfflineEditing|Enable &Offline Editing|F2", "-",
                           "mnuEditCommPort|Co&mm Port|Ctrl+M", "-",
                           "mnuEditPasscode|Set-up Passcode|"}));
    EXPECT_EQ(describeMenu(menu("mnuView")),
              (QStringList{"mnuViewTargetBoardStatus|&Target Board Interface|", "-",
                           "mnuViewOnline|O&nline Data|F3", "mnuViewOffline|O&ffline Data|F4"}));
    EXPECT_EQ(
        describeMenu(menu("mnuWindow")),
        (QStringList{"mnuWindowForm0|&1 Main Display|", "mnuWindowForm1|&2 Set-up Parameters|",
                     "mnuWindowForm2|&3 Serial Communications|",
                     "mnuWindowForm3|&4 Machine Timing|", "mnuWindowForm4|&5 Shift Data|",
                     "mnuWindowForm5|&6 I/O States|", "mnuWindowForm6|&7 Trend|", "-",
                     "mnuWindowCommTraffic|Comm &Traffic|", "mnuWindowPlant|&Plant|"}));
    EXPECT_EQ(describeMenu(menu("mnuHelp")), (QStringList{"mnuHelpHelpTopics|&Help Topics|Ctrl+H",
                                                          "-", "mnuHelpAbout|&About TELVANE|"}));
}

TEST_F(MainWindow, StartUpChecksAndEnabledStates) {
    startMainWindow();
    EXPECT_TRUE(action("mnuViewOffline")->isChecked());
    EXPECT_FALSE(action("mnuViewOnline")->isChecked());
    EXPECT_TRUE(action("mnuWindowForm0")->isChecked());
    EXPECT_FALSE(action("mnuEditOfflineEditing")->isChecked());
    for (const char* on :
         {"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "mnuFileExport",
          "mnuFileUpload", "mnuFileDownload", "mnuFileExit", "mnuEditOfflineEditing",
          "mnuEditCommPort", "mnuViewOnline", "mnuViewOffline", "mnuWindowForm0",
          "mnuHelpHelpTopics", "mnuHelpAbout", "mnuFileDownloadProgram"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    // Commands whose windows this fixture does not install, Print Set-up,
    // which never works, and the passcode, which needs the board.
    for (const char* off :
         {"mnuFilePrint", "mnuFilePrintSetup", "mnuEditPasscode", "mnuViewTargetBoardStatus",
          "mnuWindowForm1", "mnuWindowForm5", "mnuWindowPlant"})
        EXPECT_FALSE(action(off)->isEnabled()) << off;
}

TEST_F(MainWindow, OnlineAndOfflineByKeys) {
    startMainWindow();
    QTest::keyClick(main.get(), Qt::Key_F3);
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_TRUE(main->link().OnlineMode());
    EXPECT_TRUE(action("mnuViewOnline")->isChecked());
    EXPECT_FALSE(action("mnuViewOffline")->isChecked());
    EXPECT_TRUE(action("mnuEditPasscode")->isEnabled());
    EXPECT_EQ(port.opens(), 1);
    EXPECT_EQ(port.settings().baud, "19200");
    EXPECT_TRUE(takeTrace().startsWith("hFF b55"));
    tick();
    EXPECT_EQ(panelText("STATUS"), "System Message:  All Faults Normal");
    QTest::keyClick(main.get(), Qt::Key_F4);
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_FALSE(main->link().OnlineMode());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(action("mnuViewOffline")->isChecked());
    EXPECT_FALSE(action("mnuEditPasscode")->isEnabled());
    EXPECT_FALSE(action("mnuViewOnline")->isChecked());
    tick();
    EXPECT_EQ(panelText("STATUS"), "System Message:  Program is Currently OFFLINE");
    action("mnuViewOnline")->trigger();
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    action("mnuViewOffline")->trigger();
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
}

TEST_F(MainWindow, OnlyTheModePanelToggles) {
    startMainWindow();
    for (const char* other : {"STATUS", "DATE", "TIME"}) {
        QTest::mouseDClick(panel(other), Qt::LeftButton);
        EXPECT_EQ(panelText("MODE"), "OFFLINE") << other;
    }
    EXPECT_EQ(port.opens(), 0);
    QTest::mouseDClick(panel("MODE"), Qt::LeftButton);
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_TRUE(main->link().OnlineMode());
    QTest::mouseDClick(panel("MODE"), Qt::LeftButton);
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_FALSE(main->link().OnlineMode());
}

TEST_F(MainWindow, APortThatCannotBeOpenedSaysWhyAndStaysOffline) {
    startMainWindow();
    port.failOpen(2, "Permission denied\n\nYour user may not use /dev/ttyS0. Ask for membership "
                     "of the group \"dialout\"");
    QTest::keyClick(main.get(), Qt::Key_F3);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Comm Port Error");
    EXPECT_TRUE(prompt.shown()[0].text.contains("Permission denied"));
    EXPECT_TRUE(prompt.shown()[0].text.contains("dialout"));
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_FALSE(main->link().OnlineMode());
    EXPECT_TRUE(action("mnuViewOffline")->isChecked());
    tick();
    EXPECT_EQ(panelText("STATUS"),
              "System Message:  Comm Fault with K2700  (Comm Port: Find Board)");
}

TEST_F(MainWindow, OfflineEditingToggles) {
    startMainWindow();
    QTest::keyClick(main.get(), Qt::Key_F2);
    EXPECT_TRUE(main->shared().OfflineEditing);
    EXPECT_TRUE(action("mnuEditOfflineEditing")->isChecked());
    QTest::keyClick(main.get(), Qt::Key_F2);
    EXPECT_FALSE(main->shared().OfflineEditing);
}

TEST_F(MainWindow, ChoosingTheViewAlreadyShownDoesNothing) {
    startMainWindow();
    ViewBase* before = main->currentViewWidget();
    action("mnuWindowForm0")->trigger();
    pump(50);
    EXPECT_EQ(main->currentViewWidget(), before);
    EXPECT_TRUE(before->loop().LoopRunning());
    EXPECT_TRUE(action("mnuWindowForm0")->isChecked());
}

// A view of a later window, standing in to test the switch.
class OtherView final : public ViewBase {
public:
    explicit OtherView(ViewContext& context) : ViewBase(context, "frmOther", "Other") {}
    void PrepareOnline() override {}
    void PrepareOffline() override {}
    QList<PollItem> PollItems() override { return {{QStringLiteral("W0"), {}}}; }
    void MemoryPass() override {}
};

TEST_F(MainWindow, ShowViewClosesTheOldViewAndShowsOneAtATime) {
    views.Register(4, [](ViewContext& c) { return new OtherView(c); });
    startMainWindow();
    EXPECT_TRUE(action("mnuWindowForm4")->isEnabled());
    QPointer<ViewBase> display = main->currentViewWidget();
    action("mnuWindowForm4")->trigger();
    EXPECT_EQ(main->CurrentView(), 4);
    EXPECT_TRUE(action("mnuWindowForm4")->isChecked());
    EXPECT_FALSE(action("mnuWindowForm0")->isChecked());
    ASSERT_TRUE(pumpUntil([&] { return display.isNull(); }));
    EXPECT_EQ(main->findChildren<ViewBase*>().size(), 1);
    EXPECT_EQ(main->currentViewWidget()->objectName(), "frmOther");
    action("mnuWindowForm0")->trigger();
    EXPECT_EQ(main->currentViewWidget()->objectName(), "frmMain");
}

TEST_F(MainWindow, AViewClosedBeforeItsLoopBeganNeverStartsIt) {
    views.Register(4, [](ViewContext& c) { return new OtherView(c); });
    startMainWindow();
    main->ShowView(4);
    QPointer<ViewBase> other = main->currentViewWidget();
    main->ShowView(0); // before the event loop ran
    QDialog modal;     // holds the closed view's deletion back
    modal.setModal(true);
    modal.show();
    pump(50);
    ASSERT_FALSE(other.isNull());
    EXPECT_FALSE(other->loop().LoopRunning());
    modal.close();
    ASSERT_TRUE(pumpUntil([&] { return other.isNull(); }));
}

TEST_F(MainWindow, AViewClosedWhileItsReadWaitsInAMessageBoxEndsSafely) {
    views.Register(4, [](ViewContext& c) { return new OtherView(c); });
    startMainWindow();
    goOnline();
    QPointer<ViewBase> display = main->currentViewWidget();
    ASSERT_TRUE(pumpUntil([&] { return display->loop().PassesCompleted() > 0; }));
    board.faults().silentFromByte = board.bytesReceived();
    bool stillThere = false;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        if (main->CurrentView() == 0) {
            main->ShowView(4); // the user picks another window while the box is up
            pump(100);         // the box's own event loop runs on
            stillThere = !display.isNull() && display->InStep();
        }
    };
    ASSERT_TRUE(pumpUntil([&] { return !prompt.shown().isEmpty(); }));
    EXPECT_TRUE(stillThere); // not deleted under its own step
    ASSERT_TRUE(pumpUntil([&] { return display.isNull(); }));
    EXPECT_EQ(main->CurrentView(), 4);
}

TEST_F(MainWindow, HelpTopicsShowOurHelpPage) {
    startMainWindow();
    QTest::keyClick(main.get(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_EQ(prompt.shown().size(), 1); // no help folder here
    EXPECT_EQ(prompt.shown()[0].title, "TELVANE");
    EXPECT_TRUE(prompt.shown()[0].text.contains("Help/TELVANE.hlp"));
    QDir(folder.path()).mkpath("help"); // any case of the folder's name
    ASSERT_TRUE(QFile::copy(QStringLiteral(TELVANE_SOURCE_DIR) + "/Help/TELVANE.html",
                            folder.filePath("help/TELVANE.html")));
    QTest::keyClick(main.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(prompt.shown().size(), 1);
    auto* help = main->findChild<HelpWindow*>("frmHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->source(), folder.filePath("help/TELVANE.html"));
    // Esc closes it from the page, and so does its close button.
    auto* page = help->findChild<QWidget*>("txtHelp");
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    action("mnuHelpHelpTopics")->trigger();
    ASSERT_TRUE(help->isVisible());
    auto* close = help->findChild<QPushButton*>("cmdClose");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "&Close");
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(MainWindow, AboutShowsTitleVersionAndSupport) {
    startMainWindow();
    action("mnuHelpAbout")->trigger();
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "About TELVANE");
    EXPECT_TRUE(prompt.shown()[0].text.contains("\r\nVersion 1.0.0 (TELVANE_R1.0.0)\r\n"))
        << prompt.shown()[0].text.toStdString();
    EXPECT_TRUE(prompt.shown()[0].text.contains("support"));
    EXPECT_EQ(prompt.shown()[0].icon, Prompt::Icon::Information);
}

TEST_F(MainWindow, ExitClosesTheLinkAndTheView) {
    startMainWindow();
    goOnline();
    QPointer<ViewBase> display = main->currentViewWidget();
    takeTrace();
    action("mnuFileExit")->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(main->link().OnlineMode());
    // The goodbye attention byte.
    EXPECT_TRUE(takeTrace().contains(QRegularExpression("hFF b[0-9A-F]{2}$")));
    EXPECT_FALSE(display->loop().LoopRunning());
    ASSERT_TRUE(pumpUntil([&] { return display.isNull(); }));
    EXPECT_FALSE(backgroundTimer()->isActive());
}

} // namespace
