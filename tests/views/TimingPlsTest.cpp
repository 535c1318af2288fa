// The machine timing view's status bar, resolver offset, PLS configuration,
// and its offline modes.
#include "TimingFixture.h"
#include "UpDown.h"
#include "ViewContext.h"
#include "frmTiming.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

using Answer = Prompt::Answer;
using Icon = Prompt::Icon;
using Buttons = Prompt::Buttons;

constexpr qint64 Second = 1'000'000;

class TimingPls : public TimingFixture {
protected:
    bool offsetGroupEnabled() const {
        return control("fraTmg1")->isEnabled() && tmg(0)->isEnabled() &&
               control("updTmg0")->isEnabled() && button("cmdSetOffset")->isEnabled();
    }
    bool offsetGroupDisabled() const {
        return !control("fraTmg1")->isEnabled() && !tmg(0)->isEnabled() &&
               !button("cmdSetOffset")->isEnabled();
    }
    void showConfigTab() { view()->findChild<QTabBar*>("tbsTiming")->setCurrentIndex(1); }
};

TEST_F(TimingPls, TheStatusBarShowsTheResolverAndTheConfigurationTabTheBoard) {
    openOnline();
    EXPECT_EQ(panel(1), "RPM: 0");
    EXPECT_EQ(panel(2), "Position: 140");
    EXPECT_EQ(panel(3), "Offset: 10");
    EXPECT_EQ(panel(4), "Scale: 360");
    const char* const config[] = {"8", "2", "11", "0", "0", "0", "0", "0", "0", "17"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(cfg(i)->text(), config[i]) << i;
        EXPECT_TRUE(cfg(i)->isEnabled());
    }
    EXPECT_EQ(main->shared().CurrentData.PlsConfig0, 16); // memory is not changed
    EXPECT_TRUE(button("cmdResetPLSConfig")->isEnabled());
}

TEST_F(TimingPls, TheOffsetGroupFollowsTheMachineThroughItsCycle) {
    openView();
    goOnline();
    ASSERT_TRUE(passes(2));
    EXPECT_TRUE(offsetGroupEnabled()); // held standing
    // The machine runs its cycle from the start: it stands four seconds,
    // inches, stops, runs up to speed and brakes to a stand again.
    board.cupper().hold(false);
    board.pls().run();
    clock.advanceUs(6 * Second);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(panel(1), "RPM: 12");
    EXPECT_NE(panel(2), "Position: 888");
    EXPECT_TRUE(offsetGroupDisabled());
    clock.advanceUs(24 * Second);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(panel(1), "RPM: 180");
    EXPECT_EQ(panel(2), "Position: 888");
    EXPECT_TRUE(offsetGroupDisabled());
    clock.advanceUs(26 * Second);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(panel(1), "RPM: 0");
    EXPECT_TRUE(offsetGroupEnabled());
    const QString standing = panel(2);
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(panel(2), standing);
}

TEST_F(TimingPls, ASpeedThatIsNoSixteenBitNumberCountsAsRunning) {
    openOnline();
    ASSERT_TRUE(offsetGroupEnabled());
    board.pls().run();
    board.pls().setMachineSpeed(40000);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(panel(1), "RPM: 40000");
    EXPECT_EQ(panel(2), "Position: 888");
    EXPECT_TRUE(offsetGroupDisabled());
}

TEST_F(TimingPls, SetOffsetStoresTheOffsetTheBoardReadsBack) {
    openOnline();
    click(tmg(0));
    keys("100");
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), "cmdSetOffset");
    prompt.queue(Answer::Yes);
    key(Qt::Key_Return); // a second Enter presses the button
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Set Offset");
    EXPECT_EQ(prompt.shown()[0].text,
              "You are about to Change the Resolver Offset.\n\nDo you wish to continue?");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Question);
    EXPECT_EQ(prompt.shown()[0].buttons, Buttons::YesNoCancel);
    // Count 150, offset 10: position 140 becomes 100 with offset 50.
    EXPECT_EQ(board.pls().offset(), 50);
    EXPECT_EQ(board.pls().position(), 100);
    EXPECT_EQ(main->shared().CurrentData.PlsOffset, 50);
    EXPECT_EQ(tmg(0)->text(), "100");
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(panel(2), "Position: 100");
    EXPECT_EQ(panel(3), "Offset: 50");

    // No: nothing is sent and the box shows 0.
    click(tmg(0));
    keys("20");
    click(button("cmdSetOffset"));
    EXPECT_EQ(tmg(0)->text(), "0");
    EXPECT_EQ(board.pls().offset(), 50);
}

TEST_F(TimingPls, AnOffsetOutOfRangeNeverReachesTheBoard) {
    openOnline();
    enter(tmg(0), "400");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Resolver Offset");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 0 and 359 can be Entered");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Information);
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtTmg0"; }));
    EXPECT_EQ(tmg(0)->text(), "0");
    keys("99999");
    click(button("cmdSetOffset"));
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtTmg0"; }));
    EXPECT_EQ(titles(), QStringList(2, "Resolver Offset"));
    EXPECT_FALSE(plsCommands().contains(42));
    EXPECT_EQ(board.pls().offset(), 10);
}

TEST_F(TimingPls, ARefusedOffsetIsReportedAndAFailedReadBackKeepsTheOldOffset) {
    openOnline();
    main->shared().CurrentData.PlsOffset = 7;
    board.faults().plsRefuseByteIndex = 0;
    click(tmg(0));
    keys("90");
    prompt.queue(Answer::Yes);
    click(button("cmdSetOffset"));
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[1].title, "Resolver Offset");
    EXPECT_EQ(prompt.shown()[1].text, "Unable to Successfully Set the Resolver Offset");
    EXPECT_EQ(prompt.shown()[1].icon, Icon::Critical);
    EXPECT_EQ(tmg(0)->text(), "0");
    EXPECT_EQ(main->shared().CurrentData.PlsOffset, 7);

    // The board takes the offset, then falls silent before it can be read back.
    board.faults().plsRefuseByteIndex = -1;
    const int before = board.pls().offset();
    board.faults().wrongEchoWhen = [this, before](qint64 index, quint8) {
        if (board.pls().offset() != before && board.mode() == BoardSimulator::Mode::Idle &&
            board.faults().silentFromByte < 0)
            board.faults().silentFromByte = index + 1;
        return false;
    };
    prompt.clear();
    click(tmg(0));
    keys("90");
    prompt.queue(Answer::Yes);
    click(button("cmdSetOffset"));
    EXPECT_NE(board.pls().offset(), before);
    EXPECT_EQ(main->shared().CurrentData.PlsOffset, 7);
    EXPECT_EQ(tmg(0)->text(), "90");
    EXPECT_TRUE(pumpUntil([&] { return panel(1) == "RPM: -"; })); // offline now
}

TEST_F(TimingPls, ABoardThatReportsNoScaleGetsNoOffset) {
    openOnline();
    board.pls().setScaleFactor(0);
    click(tmg(0));
    keys("45");
    prompt.queue(Answer::Yes);
    click(button("cmdSetOffset"));
    ASSERT_EQ(prompt.shown().size(), 2);
    EXPECT_EQ(prompt.shown()[1].text, "Unable to Successfully Set the Resolver Offset");
    EXPECT_FALSE(plsCommands().contains(42));
    EXPECT_EQ(tmg(0)->text(), "0");
    EXPECT_EQ(main->shared().CurrentData.PlsOffset, 0);
}

TEST_F(TimingPls, ResetPlsConfigSendsMemoryAndShowsWhatTheBoardThenHolds) {
    openOnline();
    SetupRecord& data = main->shared().CurrentData;
    data.PlsConfig0 = 12;
    data.PlsConfig1 = 5;
    data.PlsConfig2to9 = {1, 2, 3, 4, 5, 6, 7, 8};
    data.PlsScale = 720;
    showConfigTab();
    click(button("cmdResetPLSConfig"));
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(board.pls().configValue(0), 5);
    EXPECT_EQ(board.pls().configValue(4), 4);
    EXPECT_EQ(board.pls().configValue(5), 0);
    EXPECT_EQ(board.pls().configValue(6), 5);
    EXPECT_EQ(board.pls().configValue(18), 12);
    EXPECT_EQ(board.pls().scaleFactor(), 720);
    const char* const shown[] = {"12", "5", "1", "2", "3", "4", "5", "6", "7", "8"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(cfg(i)->text(), shown[i]) << i;
}

TEST_F(TimingPls, ARefusedResetOffersRetryAndCancelMarksTheValues) {
    openOnline();
    showConfigTab();
    main->shared().CurrentData.PlsConfig1 = 9;
    board.faults().plsRefuseByteIndex = 0;
    prompt.queue(Answer::Retry);
    prompt.onShown = [this](const ScriptedPrompt::Shown&) {
        board.faults().plsRefuseByteIndex = -1;
    };
    click(button("cmdResetPLSConfig"));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "PLS Config Download");
    EXPECT_EQ(prompt.shown()[0].text, "Unable to Reset PLS Configuration Parameters");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Question);
    EXPECT_EQ(prompt.shown()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(cfg(1)->text(), "9"); // the retry went through

    // A value from a file that no byte holds is refused before it is sent.
    prompt.onShown = nullptr;
    prompt.clear();
    main->shared().CurrentData.PlsConfig1 = 300;
    takeTrace();
    click(button("cmdResetPLSConfig"));
    ASSERT_EQ(prompt.shown().size(), 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(cfg(i)->text(), "---") << i;
    EXPECT_FALSE(plsCommands().contains(59));
}

TEST_F(TimingPls, OfflineTheViewShowsMemoryAndOnlyChannelsCanBeEdited) {
    openView();
    const SetupRecord& memory = main->shared().CurrentData;
    EXPECT_EQ(panel(1), "RPM: -");
    EXPECT_EQ(panel(2), "Position: -");
    EXPECT_EQ(panel(3), "Offset: 0");
    EXPECT_EQ(panel(4), "Scale: 360");
    EXPECT_FALSE(control("sbrMachineTiming")->isEnabled());
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(box(n)->text(), QString::number(memory.ChannelSetpoint[size_t(n)][0]));
        EXPECT_EQ(box(n + 16)->text(), QString::number(memory.ChannelSetpoint[size_t(n)][1]));
        EXPECT_FALSE(box(n)->isEnabled());
    }
    EXPECT_EQ(box(2)->text(), "200");
    EXPECT_EQ(cfg(0)->text(), "16");
    EXPECT_FALSE(cfg(0)->isEnabled());
    for (const char* name : {"cmdResetPLSConfig", "cmdSetOffset", "cmdRecallChan", "cmdClearChan"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(tmg(1)->isEnabled());
    EXPECT_FALSE(tmg(0)->isEnabled());

    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return box(0)->isEnabled(); }));
    EXPECT_TRUE(button("cmdClearChan")->isEnabled());
    EXPECT_TRUE(tmg(1)->isEnabled());
    EXPECT_FALSE(button("cmdRecallChan")->isEnabled());
    EXPECT_FALSE(button("cmdResetPLSConfig")->isEnabled());
    EXPECT_FALSE(offsetGroupEnabled());
    EXPECT_FALSE(cfg(0)->isEnabled());
}

TEST_F(TimingPls, OfflineEditsChangeMemoryOnly) {
    openView();
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return box(0)->isEnabled(); }));
    takeTrace();
    enter(box(0), "45");
    EXPECT_EQ(setpoint(0, 0), 45);
    QTest::mouseClick(upd(17)->downButton(), Qt::LeftButton);
    EXPECT_EQ(setpoint(1, 1), QString(box(17)->text()).toInt());
    click(tmg(1));
    keys("2");
    prompt.queue(Answer::Yes);
    click(button("cmdClearChan"));
    EXPECT_EQ(box(2)->text(), "****");
    EXPECT_EQ(box(18)->text(), "****");
    EXPECT_EQ(setpoint(2, 0), 0);
    EXPECT_EQ(setpoint(2, 1), 0);
    EXPECT_EQ(takeTrace(), "");
    EXPECT_EQ(board.pls().channel(0).on, 10);
    EXPECT_EQ(main->shared().SavedData.ChannelSetpoint[2][0], 200);
}

TEST_F(TimingPls, ReplacedDataDropsTheEditAndShowsTheNewValues) {
    openView();
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return box(1)->isEnabled(); }));
    click(box(1));
    keys("77");
    setpoint(1, 0) = 55;
    main->shared().CurrentData.PlsScale = 720;
    view()->context().NotifyDataReplaced();
    EXPECT_EQ(box(1)->text(), "55");
    EXPECT_EQ(panel(4), "Scale: 720");
    EXPECT_FALSE(main->shared().DataReplaced);
    key(Qt::Key_Tab);
    pump(2 * RefreshLoop::DefaultOfflineIntervalMs);
    EXPECT_EQ(setpoint(1, 0), 55);
    EXPECT_TRUE(prompt.shown().isEmpty());

    // The flag alone, as set by a transfer, is seen by the next offline cycle.
    setpoint(3, 1) = 99;
    main->shared().DataReplaced = true;
    EXPECT_TRUE(pumpUntil([&] { return box(19)->text() == "99"; }));
    EXPECT_FALSE(main->shared().DataReplaced);
}

TEST_F(TimingPls, ABoardThatFallsSilentTakesTheViewOfflineToMemory) {
    openOnline();
    board.faults().silentFromByte = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return panel(1) == "RPM: -"; }));
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_EQ(box(2)->text(), QString::number(setpoint(2, 0)));
    EXPECT_FALSE(box(0)->isEnabled());
}

} // namespace
