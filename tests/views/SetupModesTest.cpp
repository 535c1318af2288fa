// The set-up parameters view as a whole: its window, the three modes, the
// switch, and a failing link.
#include "OnOffSwitch.h"
#include "SetupFixture.h"
#include "UpDown.h"
#include "ViewBase.h"
#include "frmSetup.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class SetupModes : public SetupFixture {
protected:
    void clickSwitch() {
        QTest::mouseClick(chk(), Qt::LeftButton, {}, QPoint(6, chk()->height() / 2));
    }
    void toggleOfflineEditing() { QTest::keyClick(main.get(), Qt::Key_F2); }
    QStringList controlNames() const {
        QStringList names{"fraParameters0", "fraParameters1", "fraParameters2",
                          "chkBrakeWearCompEnable"};
        for (int i = 0; i < frmSetup::FieldCount; ++i)
            names << QStringLiteral("lblSetup%1").arg(i) << QStringLiteral("txtSetup%1").arg(i)
                  << QStringLiteral("updSetup%1").arg(i);
        return names;
    }
    bool controlsEnabled(bool enabled) const {
        for (const QString& name : controlNames())
            if (control(name)->isEnabled() != enabled)
                return false;
        return true;
    }
};

TEST_F(SetupModes, TheWindowMenuOpensTheViewWithItsControls) {
    openView();
    EXPECT_TRUE(action("mnuWindowForm1")->isEnabled());
    EXPECT_TRUE(action("mnuWindowForm1")->isChecked());
    EXPECT_EQ(main->CurrentView(), 1);
    EXPECT_EQ(view()->windowTitle(), "Set-Up");
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view()->parentWidget())->isMaximized());
    QAction* editing = action("mnuEditOfflineEditing");
    EXPECT_EQ(editing->text(), "Enable &Offline Editing");
    EXPECT_EQ(editing->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_TRUE(editing->isEnabled() && editing->isCheckable() && !editing->isChecked());

    const char* const labels[] = {"TDC Stop Position (L&ow Speed):",
                                  "TDC Stop Position (H&igh Speed):",
                                  "&Maximum Allowed Stopping Response (deg):",
                                  "Low &Speed (SPM):",
                                  "High S&peed (SPM):",
                                  "&Maximum Speed (full scale calibration):",
                                  "&Idle Speed (Cupper Stopped):"};
    const int maxima[] = {359, 359, 999, 899, 999, 999, 999};
    for (int i = 0; i < frmSetup::FieldCount; ++i) {
        auto* label = view()->findChild<QLabel*>(QStringLiteral("lblSetup%1").arg(i));
        EXPECT_EQ(label->text(), labels[i]);
        EXPECT_EQ(label->buddy(), txt(i));
        EXPECT_EQ(upd(i)->Min(), 0);
        EXPECT_EQ(upd(i)->Max(), maxima[i]);
    }
    EXPECT_EQ(chk()->text(), "&Brake Wear Compensation Enable:");
    EXPECT_EQ(tabs()->tabText(0), "&Cupper Setup Parameters");
    EXPECT_EQ(tabs()->tabText(1), "&Lubrication Parameters");
    EXPECT_EQ(control("fraSetup0")->windowTitle(), "Set Cupper Parameters");
    EXPECT_EQ(control("fraSetup1")->windowTitle(), "Set Lubrication Parameters");
    const char* const frames[] = {"Cupper Running Speeds", "Brake Wear Compensation",
                                  "Lubricator Speed References"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(view()->findChild<QGroupBox*>(QStringLiteral("fraParameters%1").arg(i))->title(),
                  frames[i]);
    EXPECT_EQ(view()->findChild<QPushButton*>("cmdDefault")->text(), "-");
    EXPECT_TRUE(control("fraSetup0")->isVisible());
    EXPECT_FALSE(control("fraSetup1")->isVisible());
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return txt(3)->isEnabled(); }));
    QTest::keyClick(main.get(), Qt::Key_S, Qt::AltModifier); // "Low &Speed"
    EXPECT_EQ(focused(), "txtSetup3");
}

TEST_F(SetupModes, FieldsOfEveryGroupLineUpAndTheFocusButtonIsNotSeen) {
    openView();
    const auto left = [&](int i) { return txt(i)->mapTo(view(), QPoint(0, 0)).x(); };
    const int x = left(3);
    for (const int i : {4, 0, 1, 2})
        EXPECT_EQ(left(i), x) << "txtSetup" << i;
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(1).center());
    ASSERT_TRUE(pumpUntil([&] { return control("fraSetup1")->isVisible(); }));
    for (const int i : {5, 6})
        EXPECT_EQ(left(i), x) << "txtSetup" << i;

    // Nothing of it shows, yet it takes the focus.
    auto* focusButton = view()->findChild<QPushButton*>("cmdDefault");
    EXPECT_TRUE(focusButton->isVisible());
    EXPECT_TRUE(focusButton->size().isEmpty());
    EXPECT_TRUE(focusButton->isFlat());
    focusButton->setFocus();
    EXPECT_EQ(focused(), "cmdDefault");
}

TEST_F(SetupModes, OfflineItShowsMemoryAndOfflineEditingEnablesItWithinACycle) {
    openView();
    ASSERT_TRUE(pumpUntil([&] { return txt(2)->text() == "300" + Deg; }));
    EXPECT_TRUE(controlsEnabled(false));
    EXPECT_EQ(txt(0)->text(), "0" + Deg);
    EXPECT_EQ(txt(3)->text(), "100");
    EXPECT_EQ(txt(6)->text(), "75");
    EXPECT_EQ(chk()->checkState(), Qt::Unchecked);
    entry(44) = 260;
    EXPECT_TRUE(pumpUntil([&] { return txt(5)->text() == "260"; }));

    frmSetup* const shown = view();
    toggleOfflineEditing();
    EXPECT_TRUE(action("mnuEditOfflineEditing")->isChecked());
    EXPECT_TRUE(main->shared().OfflineEditing);
    EXPECT_TRUE(pumpUntil([&] { return controlsEnabled(true); },
                          2 * RefreshLoop::DefaultOfflineIntervalMs));
    EXPECT_EQ(view(), shown);

    // Edits change CurrentData only: nothing is sent, nothing else changes.
    click(txt(4));
    keys("333");
    key(Qt::Key_Return);
    EXPECT_EQ(entry(43), 333);
    clickArrow(6, +1);
    EXPECT_EQ(entry(45), 76);
    clickSwitch();
    EXPECT_EQ(entry(38), 1);
    EXPECT_EQ(main->shared().SavedData.ValueTable[43], 250);
    EXPECT_EQ(boardWord(1028), 250);
    EXPECT_EQ(port.trace(), "");
    EXPECT_TRUE(pumpUntil([&] { return txt(6)->text() == "76"; }));

    // Switched off again, an edit in progress is dropped, not committed.
    click(txt(3));
    keys("999");
    toggleOfflineEditing();
    EXPECT_TRUE(pumpUntil([&] { return controlsEnabled(false) && txt(3)->text() == "100"; }));
    EXPECT_EQ(entry(42), 100);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(SetupModes, FileNewDropsTheEditInProgressAndShowsTheNewValues) {
    openView();
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return controlsEnabled(true); }));
    entry(43) = 260;
    main->shared().SavedData = main->shared().CurrentData;
    ASSERT_TRUE(pumpUntil([&] { return txt(4)->text() == "260"; }));
    click(txt(4));
    keys("333");
    action("mnuFileNew")->trigger();
    EXPECT_FALSE(view()->EditActive(4));
    EXPECT_EQ(txt(4)->text(), "250"); // the default, at once
    // The typed text is gone: moving on commits nothing into the new data.
    key(Qt::Key_Tab);
    pump(2 * RefreshLoop::DefaultOfflineIntervalMs);
    EXPECT_EQ(entry(43), 250);
    EXPECT_EQ(txt(4)->text(), "250");
    EXPECT_EQ(main->SaveChangesPrompt(), 0);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(SetupModes, GoingOnlineShowsDashesAndGrayUntilTheFirstPassAndWritesNothing) {
    openView();
    QStringList history; // the seven texts and the switch at every change
    auto snapshot = [&] {
        QStringList now;
        for (int i = 0; i < frmSetup::FieldCount; ++i)
            now << txt(i)->text();
        now << QString::number(chk()->checkState());
        history << now.join(u'|');
    };
    for (int i = 0; i < frmSetup::FieldCount; ++i)
        QObject::connect(txt(i), &QLineEdit::textChanged, snapshot);
    QObject::connect(chk(), &QCheckBox::stateChanged, snapshot);
    goOnline();
    traffic();
    ASSERT_TRUE(passes(1));
    EXPECT_TRUE(history.contains("-|-|-|-|-|-|-|1"));
    EXPECT_TRUE(history.contains("180" + Deg + "|-|-|-|-|-|-|1"));
    EXPECT_TRUE(history.contains("180" + Deg + "|-|-|-|-|-|-|2"));
    EXPECT_EQ(history.back(), "180" + Deg + "|175" + Deg + "|300" + Deg + "|120|250|-|-|2");
    EXPECT_TRUE(view()->SwitchReady());
    EXPECT_TRUE(controlsEnabled(true));
    EXPECT_TRUE(traffic().writes.isEmpty());
}

TEST_F(SetupModes, OnlyAUserClickOnTheSwitchWritesIt) {
    openView();
    goOnline();
    ASSERT_TRUE(passes(1));
    traffic();
    board.memory().setBit(1018, 0, false);
    ASSERT_TRUE(pumpUntil([&] { return chk()->checkState() == Qt::Unchecked; }));
    ASSERT_TRUE(passes(1));
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(entry(38), 0);
    clickSwitch();
    EXPECT_EQ(chk()->checkState(), Qt::Checked);
    EXPECT_TRUE(board.memory().bit(1018, 0));
    EXPECT_EQ(entry(38), 1);
    const auto writes = traffic().writes;
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].first, 1018);
}

TEST_F(SetupModes, AFailedReadLeavesTheSwitchAndTheFieldsAsTheyWere) {
    openView();
    goOnline();
    ASSERT_TRUE(passes(1));
    board.memory().setBit(1018, 0, false);
    board.memory().setWord(1020, 90);
    board.memory().setWord(1026, 99);
    // Every read of bytes 1018..1023 (address high byte 3) is misheard: the
    // switch and fields 0 and 1 fail, twice each.
    struct {
        bool afterAttention = false;
        int position = 0;
    } wire;
    board.faults().wrongEchoWhen = [wire](qint64, quint8 byte) mutable {
        if (byte == 0xFF || wire.afterAttention) { // a handshake starts the records anew
            wire.afterAttention = byte == 0xFF;
            wire.position = 0;
            return false;
        }
        const bool high = wire.position++ % 2 == 0;
        return high && byte == 0x03;
    };
    traffic();
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(txt(3)->text(), "99");
    EXPECT_EQ(txt(0)->text(), "180" + Deg);
    EXPECT_EQ(chk()->checkState(), Qt::Checked);
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_FALSE(board.memory().bit(1018, 0));
}

TEST_F(SetupModes, ASwitchValueOtherThanZeroOrOneStaysGrayedAndWritesNothing) {
    openView();
    toggleOfflineEditing();
    entry(38) = 7;
    ASSERT_TRUE(pumpUntil([&] { return chk()->isEnabled() && chk()->isGrayed(); }));
    EXPECT_FALSE(view()->SwitchReady());
    clickSwitch();
    EXPECT_EQ(entry(38), 7);
    EXPECT_TRUE(pumpUntil([&] { return chk()->isGrayed(); }));
    entry(38) = 1;
    EXPECT_TRUE(pumpUntil([&] { return chk()->checkState() == Qt::Checked; }));
    EXPECT_TRUE(view()->SwitchReady());
}

TEST_F(SetupModes, ACommErrorDuringAPassTakesTheProgramOfflineAndShowsMemory) {
    openView();
    goOnline();
    ASSERT_TRUE(passes(1));
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    EXPECT_FALSE(main->link().OnlineMode());
    EXPECT_EQ(prompt.shown().size(), 2);
    EXPECT_TRUE(pumpUntil([&] { return txt(3)->text() == "100" && txt(0)->text() == "0" + Deg; }));
    EXPECT_TRUE(controlsEnabled(false));
}

TEST_F(SetupModes, ClosingTheViewStopsItsLoopAndCommitsNoEdit) {
    openView();
    goOnline();
    ASSERT_TRUE(passes(1));
    click(txt(3));
    keys("77");
    traffic();
    QPointer<frmSetup> closed = view();
    action("mnuWindowForm0")->trigger();
    ASSERT_TRUE(closed);
    EXPECT_FALSE(closed->loop().LoopRunning());
    pump(100);
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(boardWord(1026), 120);
    EXPECT_EQ(entry(42), 100);
    EXPECT_EQ(main->CurrentView(), 0);
}

} // namespace
