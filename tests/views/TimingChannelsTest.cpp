// The machine timing view's channels: setpoint edits under the field editing
// protocol, the channel number box, recall and clear, and downloads.
#include "TimingFixture.h"
#include "UpDown.h"
#include "frmTiming.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

using Answer = Prompt::Answer;
using Icon = Prompt::Icon;
using Buttons = Prompt::Buttons;

class TimingChannels : public TimingFixture {};

TEST_F(TimingChannels, TheWindowListOpensTheViewWithItsControls) {
    openView();
    EXPECT_EQ(action("mnuWindowForm3")->text(), "&4 Machine Timing");
    EXPECT_TRUE(action("mnuWindowForm3")->isChecked());
    EXPECT_EQ(view()->windowTitle(), "Machine Timing");
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view()->parentWidget())->isMaximized());
    const char* const labels[] = {
        "TDC (High) Timing (CH0&0):",      "TDC (Mid) Timing (CH0&1):",
        "TDC (Low) Timing (CH0&2):",       "Air Strip (High) Timing (CH0&3):",
        "Air Strip (Mid) Timing (CH0&4):", "Air Strip (Low) Timing (CH0&5):",
        "Cup Drop Window Timing (CH0&6):", "PLC Timing (CH0&7):"};
    for (int n = 0; n < 8; ++n) {
        auto* label = view()->findChild<QLabel*>(QStringLiteral("lblChannel%1").arg(n));
        EXPECT_EQ(label->text(), labels[n]);
        EXPECT_EQ(label->buddy(), box(n));
        for (int index : {n, n + 16}) {
            EXPECT_EQ(upd(index)->Min(), 0);
            EXPECT_EQ(upd(index)->Max(), 359);
        }
    }
    EXPECT_EQ(box(8), nullptr); // box indices 8 to 15 do not exist
    EXPECT_EQ(view()->findChild<QLabel*>("lblChannel8")->text(), "ON");
    EXPECT_EQ(view()->findChild<QLabel*>("lblChannel9")->text(), "OFF");
    auto* tabs = view()->findChild<QTabBar*>("tbsTiming");
    EXPECT_EQ(tabs->tabText(0), "&Timing Channels");
    EXPECT_EQ(tabs->tabText(1), "&PLS Configuration");
    EXPECT_EQ(control("fraTiming0")->windowTitle(), "Set Timing Channels");
    EXPECT_EQ(control("fraTiming1")->windowTitle(), "PLS Configuration");
    const char* const frames[] = {"Timing Channels", "Resolver &Offset", "P&LS Channel",
                                  "PLS Configuration", "Speed Compensation"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(view()->findChild<QGroupBox*>(QStringLiteral("fraTmg%1").arg(i))->title(),
                  frames[i]);
    EXPECT_EQ(button("cmdRecallChan")->text(), "&Recall Channel");
    EXPECT_EQ(button("cmdClearChan")->text(), "&Clear Channel");
    EXPECT_EQ(button("cmdSetOffset")->text(), "Set &Offset");
    EXPECT_EQ(button("cmdResetPLSConfig")->text(), "&Reset PLS Config");
    EXPECT_EQ(button("cmdDefault")->text(), "-");
    const char* const captions[] = {"Number of PLS Channels:",
                                    "PLS Program:",
                                    "CH00 (msec):",
                                    "CH01 (msec):",
                                    "CH02 (msec):",
                                    "CH03 (msec):",
                                    "CH04 (msec):",
                                    "CH05 (msec):",
                                    "CH06 (msec):",
                                    "CH07 (msec):"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(view()->findChild<QLabel*>(QStringLiteral("lblCfgDescription%1").arg(i))->text(),
                  captions[i]);
    auto* offsetUpDown = view()->findChild<UpDown*>("updTmg0");
    auto* channelUpDown = view()->findChild<UpDown*>("updTmg1");
    EXPECT_EQ(offsetUpDown->Max(), 359);
    EXPECT_EQ(channelUpDown->Max(), 7);
    EXPECT_TRUE(control("fraTiming0")->isVisible());
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(control("fraTiming1")->isVisible());
    EXPECT_FALSE(control("fraTiming0")->isVisible());
}

TEST_F(TimingChannels, OnlineItShowsTheBoardsSetpointsAndLeavesMemoryAlone) {
    const auto before = [this] { return main->shared().CurrentData; };
    openView();
    const auto memory = before();
    goOnline();
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(box(0)->text(), "10");
    EXPECT_EQ(box(16)->text(), "100");
    EXPECT_EQ(box(1)->text(), "20");
    EXPECT_EQ(box(17)->text(), "200");
    EXPECT_EQ(box(3)->text(), "300");
    EXPECT_EQ(box(19)->text(), "30");
    for (int n : {2, 4, 5, 6, 7}) {
        EXPECT_EQ(box(n)->text(), "****") << n;
        EXPECT_EQ(box(n + 16)->text(), "****") << n;
    }
    EXPECT_EQ(main->shared().CurrentData, memory);
    EXPECT_TRUE(box(0)->isEnabled());
    EXPECT_TRUE(button("cmdClearChan")->isEnabled());
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(TimingChannels, ASetpointOutOfRangeOrEqualToItsPartnerIsRefused) {
    openOnline();
    enter(box(0), "360");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Set-up");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 0 and 359 can be Entered");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Information);
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtChannel0"; }));
    EXPECT_EQ(box(0)->text(), "10");
    EXPECT_EQ(box(0)->selectedText(), "10");

    enter(box(0), "12abc");
    EXPECT_EQ(prompt.shown().size(), 2); // not numeric: the same message
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtChannel0"; }));

    prompt.clear();
    enter(box(16), "10");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Set-up");
    EXPECT_EQ(prompt.shown()[0].text, "ON Setpoint cannot Equal OFF Setpoint");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Information);
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtChannel16"; }));
    EXPECT_EQ(box(16)->text(), "100");
    EXPECT_EQ(board.pls().channel(0).on, 10);
    EXPECT_EQ(board.pls().channel(0).off, 100);
    EXPECT_NE(setpoint(0, 1), 10);
    EXPECT_FALSE(plsCommands().contains(27));
}

TEST_F(TimingChannels, AnAcceptedSetpointProgramsTheChannelAndMemory) {
    openOnline();
    enter(box(16), "150.4");
    EXPECT_EQ(box(16)->text(), "150");
    EXPECT_EQ(setpoint(0, 1), 150);
    EXPECT_EQ(board.pls().channel(0).on, 10);
    EXPECT_EQ(board.pls().channel(0).off, 150);
    // The scale read, the clear record, then the setpoints.
    const QList<int> commands = plsCommands();
    EXPECT_EQ(commands.count(27), 2);
    EXPECT_LT(commands.indexOf(24), commands.indexOf(27));

    // A value left unchanged programs nothing.
    click(box(16));
    key(Qt::Key_Return);
    EXPECT_FALSE(plsCommands().contains(27));

    // A channel the board reports as not programmed: its markers count as 0.
    click(box(2));
    key(Qt::Key_Tab);
    click(box(2));
    keys("0");
    key(Qt::Key_Return);
    EXPECT_FALSE(plsCommands().contains(27));
    EXPECT_TRUE(prompt.shown().isEmpty());
    enter(box(2), "100");
    EXPECT_EQ(board.pls().channel(2).kind, PlsBoard::Channel::Kind::Setpoints);
    EXPECT_EQ(board.pls().channel(2).on, 100);
    EXPECT_EQ(board.pls().channel(2).off, 0);
    EXPECT_EQ(setpoint(2, 0), 100);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(TimingChannels, AnUpDownClickProgramsAtOnceAndARefusalIsReported) {
    openOnline();
    QTest::mouseClick(upd(1)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(1)->text(), "21");
    EXPECT_EQ(board.pls().channel(1).on, 21);
    EXPECT_EQ(setpoint(1, 0), 21);
    EXPECT_EQ(focused(), "cmdDefault");

    board.faults().plsRefuseByteIndex = 0;
    enter(box(17), "222");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Channel Setpoint");
    EXPECT_EQ(prompt.shown()[0].text, "Unable to Successfully Program Setpoint for Channel CH01.");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Critical);
    EXPECT_EQ(setpoint(1, 1), 222); // memory keeps the value
    EXPECT_EQ(board.pls().channel(1).kind, PlsBoard::Channel::Kind::Setpoints);
    EXPECT_EQ(board.pls().channel(1).off, 200);
}

// A channel not programmed ("****") or not recalled ("---") shows no value:
// its arrows and a Tab through its box program and store nothing.
TEST_F(TimingChannels, AMarkedBoxStepsAndCommitsNothing) {
    openOnline();
    const auto memory = main->shared().CurrentData;
    ASSERT_EQ(box(2)->text(), "****");
    QTest::mouseClick(upd(2)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(2)->text(), "****");
    board.faults().plsRecallHighByte = 17;
    click(tmg(1));
    keys("3");
    click(button("cmdRecallChan"));
    ASSERT_EQ(box(3)->text(), "---");
    QTest::mouseClick(upd(19)->downButton(), Qt::LeftButton);
    click(box(3));
    key(Qt::Key_Tab);
    EXPECT_EQ(box(3)->text(), "---");
    EXPECT_EQ(titles(), QStringList{"Channel Recall"});
    EXPECT_EQ(main->shared().CurrentData, memory);
    EXPECT_EQ(board.pls().channel(2).kind, PlsBoard::Channel::Kind::None);
    EXPECT_EQ(board.pls().channel(3).on, 300);
    EXPECT_EQ(board.pls().channel(3).off, 30);
}

TEST_F(TimingChannels, TheChannelNumberIsValidatedBeforeAnyButtonUsesIt) {
    openOnline();
    enter(tmg(1), "8");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Resolver Offset");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 0 and 7 can be Entered");
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtTmg1"; }));
    EXPECT_EQ(tmg(1)->text(), "0");

    // Clicked or pressed by its access key, a button never sends channel 300.
    click(tmg(1));
    keys("300");
    click(button("cmdRecallChan"));
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtTmg1"; }));
    click(tmg(1));
    keys("300");
    QSignalSpy clicked(button("cmdClearChan"), &QAbstractButton::clicked);
    key(Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(clicked.wait(WaitLimitMs)); // the access key's animated click
    EXPECT_EQ(titles(), QStringList(3, "Resolver Offset"));
    EXPECT_FALSE(plsCommands().contains(9));
    EXPECT_EQ(board.pls().channel(3).kind, PlsBoard::Channel::Kind::Setpoints);
}

TEST_F(TimingChannels, RecallShowsTheBoardsSetpointsWithoutTouchingMemory) {
    openOnline();
    const qint16 memoryOn = setpoint(3, 0);
    board.pls().setSetpoints(3, 33, 66);
    click(tmg(1));
    keys("3.2");
    click(button("cmdRecallChan"));
    EXPECT_EQ(tmg(1)->text(), "3");
    EXPECT_EQ(box(3)->text(), "33");
    EXPECT_EQ(box(19)->text(), "66");
    EXPECT_EQ(setpoint(3, 0), memoryOn);
    EXPECT_EQ(plsCommands().count(9), 2);

    board.faults().plsRecallHighByte = 17;
    click(button("cmdRecallChan"));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Channel Recall");
    EXPECT_EQ(prompt.shown()[0].text, "Unable to Recall Channel ch3");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Information);
    EXPECT_EQ(box(3)->text(), "---");
    EXPECT_EQ(box(19)->text(), "---");
}

TEST_F(TimingChannels, ClearChannelAsksThenClearsTheBoardAndMemory) {
    openOnline();
    click(tmg(1));
    keys("1");
    click(button("cmdClearChan")); // answered No
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Clear Channel");
    EXPECT_EQ(prompt.shown()[0].text,
              "You are about to Clear Channel CH01.\n\nDo you wish to continue?");
    EXPECT_EQ(prompt.shown()[0].icon, Icon::Question);
    EXPECT_EQ(prompt.shown()[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(board.pls().channel(1).kind, PlsBoard::Channel::Kind::Setpoints);
    EXPECT_EQ(box(1)->text(), "20");

    prompt.queue(Answer::Yes);
    click(button("cmdClearChan"));
    EXPECT_EQ(board.pls().channel(1).kind, PlsBoard::Channel::Kind::None);
    EXPECT_EQ(box(1)->text(), "****");
    EXPECT_EQ(box(17)->text(), "****");
    EXPECT_EQ(setpoint(1, 0), 0);
    EXPECT_EQ(setpoint(1, 1), 0);
}

TEST_F(TimingChannels, ARefusedClearOffersRetryWithTheQuestionAgainThenMarksTheChannel) {
    openOnline();
    board.faults().plsRefuseByteIndex = 0;
    click(tmg(1));
    keys("0");
    prompt.queue(Answer::Yes);
    prompt.queue(Answer::Retry);
    prompt.queue(Answer::Yes); // then Cancel
    click(button("cmdClearChan"));
    ASSERT_EQ(prompt.shown().size(), 4);
    EXPECT_EQ(titles(), QStringList(4, "Clear Channel"));
    EXPECT_EQ(prompt.shown()[1].text, "Unable to Clear Channel");
    EXPECT_EQ(prompt.shown()[1].icon, Icon::Question);
    EXPECT_EQ(prompt.shown()[1].buttons, Buttons::RetryCancel);
    EXPECT_EQ(prompt.shown()[2].text, prompt.shown()[0].text);
    EXPECT_EQ(box(0)->text(), "---");
    EXPECT_EQ(box(16)->text(), "---");
    EXPECT_EQ(board.pls().channel(0).on, 10);
}

TEST_F(TimingChannels, AfterATimingDownloadTheOpenViewShowsTheBoardsSetpoints) {
    openOnline();
    board.pls().setSetpoints(5, 55, 155);
    board.pls().clearChannel(0);
    main->shared().TimingDownloaded = true;
    ASSERT_TRUE(passes(1));
    EXPECT_FALSE(main->shared().TimingDownloaded);
    EXPECT_EQ(box(5)->text(), "55");
    EXPECT_EQ(box(21)->text(), "155");
    EXPECT_EQ(box(0)->text(), "****");
}

} // namespace
