// The main display against the simulated board: values, their formatting,
// the offline display from memory, alarms, Alarm Reset and a failing link.
#include "AppFixture.h"
#include "DisplayFormat.h"
#include "MovingWord.h"
#include "ViewBase.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QString Deg = QString(QChar(0x00B0));

class MainDisplay : public AppFixture {
protected:
    MainDisplay() { board.cupper().hold(true); }
    void setRegisters(int speed, int position, qint64 strokes, int jams, int low, int high) {
        auto& m = board.memory();
        m.setWord(182, speed);
        m.setWord(180, position);
        m.setDword(1100, strokes);
        m.setWord(1104, jams);
        m.setWord(1040, low);
        m.setWord(1042, high);
    }
    bool shows(int index, const QString& text) {
        return pumpUntil([&] { return display(index)->text() == text; });
    }
    QPushButton* button(const char* name) { return main->findChild<QPushButton*>(name); }
};

TEST(DisplayFormat, GroupsWholeNumbersAndAddsTheDegreeSign) {
    EnsureApplication();
    EXPECT_EQ(DisplayFormat::GroupedWhole("1200000"), "1,200,000");
    EXPECT_EQ(DisplayFormat::GroupedWhole(" 12345 "), "12,345");
    EXPECT_EQ(DisplayFormat::GroupedWhole("999"), "999");
    EXPECT_EQ(DisplayFormat::GroupedWhole("2.5"), "2"); // halves to even
    EXPECT_EQ(DisplayFormat::GroupedWhole("-1234"), "-1,234");
    EXPECT_EQ(DisplayFormat::GroupedWhole("junk"), "0");
    EXPECT_EQ(DisplayFormat::GroupedWhole(qint64(655359999)), "655,359,999");
    EXPECT_EQ(DisplayFormat::Degrees(" 123 "), "123" + Deg);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(DisplayFormat::GroupedWhole("1200000"), "1.200.000");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(MainDisplay, ShowsTheBoardsValuesOnline) {
    setRegisters(12, 123, 1'200'000, 12345, 14, 29);
    startMainWindow();
    goOnline();
    EXPECT_TRUE(shows(0, "12"));
    EXPECT_TRUE(shows(1, "123" + Deg));
    EXPECT_TRUE(shows(2, "1,200,000"));
    EXPECT_TRUE(shows(3, "12,345"));
    EXPECT_TRUE(shows(4, "14" + Deg));
    EXPECT_TRUE(shows(5, "29" + Deg));
    for (const char* name : {"fraDisplay0", "fraDisplay4", "lblDescription0", "lblDescription1"})
        EXPECT_TRUE(main->findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_TRUE(button("cmdAlarmReset")->isEnabled());
    EXPECT_EQ(button("cmdAlarmReset")->text(), "Alarm &Reset");
    EXPECT_EQ(main->findChild<QGroupBox*>("fraDisplay1")->title(), "Machine Position");
    EXPECT_EQ(main->currentViewWidget()->windowTitle(), "Main Display");
}

TEST_F(MainDisplay, PositionReads888AboveSpeed30) {
    setRegisters(31, 123, 0, 0, 0, 0);
    startMainWindow();
    goOnline();
    EXPECT_TRUE(shows(1, "888" + Deg));
    board.memory().setWord(182, 30);
    EXPECT_TRUE(shows(1, "123" + Deg));
    EXPECT_TRUE(shows(0, "30"));
}

TEST_F(MainDisplay, TheLiveMachineMoves) {
    board.cupper().hold(false);
    startMainWindow();
    goOnline();
    const QString strokes = display(2)->text();
    // Virtual time runs with the traffic: half a minute of polling.
    ASSERT_TRUE(pumpUntil([&] { return display(0)->text() == "180"; }, 20000));
    EXPECT_TRUE(shows(1, "888" + Deg));
    ASSERT_TRUE(pumpUntil([&] { return display(2)->text() != strokes; }, 20000));
}

TEST_F(MainDisplay, AValueThatMovesUnderTheReadIsShownWhole) {
    setRegisters(10, 255, 0, 0, 0, 0);
    startMainWindow();
    goOnline();
    RefreshLoop& loop = main->currentViewWidget()->loop();
    ASSERT_TRUE(RunPasses(loop, 1));
    MoveUnderTheRead(board, 180, [](BoardMemory& m) { m.setWord(180, 256); });
    ASSERT_TRUE(RunPasses(loop, 1));
    EXPECT_EQ(display(1)->text(), "256" + Deg); // its bytes read apart: 511
}

// Counts the paint events a widget gets.
struct PaintCount : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(MainDisplay, ANewValueRepaintsItsLabelAloneAndTheFrameLooksAsWithAClearOne) {
    setRegisters(12, 123, 0, 0, 0, 0);
    startMainWindow();
    goOnline();
    ASSERT_TRUE(shows(1, "123" + Deg));
    auto* frame = main->findChild<QGroupBox*>("fraDisplay1");
    QLabel* label = display(1);
    ASSERT_TRUE(label->autoFillBackground());
    const QImage filled = frame->grab().toImage();
    label->setAutoFillBackground(false);
    EXPECT_EQ(frame->grab().toImage(), filled);
    label->setAutoFillBackground(true);

    PaintCount framePaints, labelPaints;
    frame->installEventFilter(&framePaints);
    label->installEventFilter(&labelPaints);
    board.memory().setWord(180, 124);
    ASSERT_TRUE(shows(1, "124" + Deg));
    ASSERT_TRUE(pumpUntil([&] { return labelPaints.count > 0; }));
    EXPECT_EQ(framePaints.count, 0);
}

TEST_F(MainDisplay, OfflineShowsTheLastShiftFromMemory) {
    startMainWindow();
    auto& values = main->shared().CurrentData.ValueTable;
    values[0] = 999; // the current shift is not shown offline
    values[18] = 1'234'567;
    values[19] = 42;
    values[36] = 15;
    values[37] = 33;
    EXPECT_TRUE(shows(2, "1,234,567"));
    EXPECT_TRUE(shows(3, "42"));
    EXPECT_TRUE(shows(4, "15" + Deg));
    EXPECT_TRUE(shows(5, "33" + Deg));
    EXPECT_EQ(display(0)->text(), "-");
    EXPECT_EQ(display(1)->text(), "-");
    for (const char* name :
         {"fraDisplay0", "fraDisplay4", "lblDisplay2", "lblDescription1", "cmdAlarmReset"})
        EXPECT_FALSE(main->findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_TRUE(button("cmdDefault")->hasFocus() || !main->isActiveWindow());
    EXPECT_EQ(port.trace(), "");
}

TEST_F(MainDisplay, AlarmsShowAndAlarmResetClearsThem) {
    board.cupper().raiseAlarm(Cupper::DieJam, 3);
    board.cupper().raiseAlarm(Cupper::CoilStockOverride);
    startMainWindow();
    goOnline();
    tick(4); // phases 1 to 4
    EXPECT_EQ(panelText("STATUS"), "System Message:  Faults Active in PLC");
    const QString expected = "***** SYSTEM ALARM *****\n Die Jam (No Cup Drop) Station: 3\n\n"
                             "***** SYSTEM ALARM *****\n Turn Coil Stock Override Switch to Off "
                             "\n\n";
    ASSERT_TRUE(pumpUntil([&] { return message() == expected; })) << message().toStdString();
    QTest::mouseClick(button("cmdAlarmReset"), Qt::LeftButton);
    tick(2); // phases 0 and 1: the all-clear bit reads 1 again
    EXPECT_EQ(panelText("STATUS"), "System Message:  All Faults Normal");
    ASSERT_TRUE(pumpUntil(
        [&] { return message() == "-- System Normal --\nSet-up Program is Currently ONLINE"; }));
    EXPECT_FALSE(board.cupper().anyStopAlarm());
}

TEST_F(MainDisplay, ALinkFailureTakesTheProgramOffline) {
    setRegisters(10, 45, 5000, 3, 12, 27);
    startMainWindow();
    goOnline();
    ASSERT_TRUE(shows(1, "45" + Deg));
    tick();
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Retry);
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    ASSERT_EQ(prompt.shown().size(), 2);
    for (const auto& shown : prompt.shown()) {
        EXPECT_EQ(shown.title, "WARNING - Communication Error!");
        EXPECT_EQ(shown.buttons, Prompt::Buttons::RetryCancel);
    }
    EXPECT_FALSE(main->link().OnlineMode());
    EXPECT_TRUE(main->link().CommError());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(action("mnuViewOffline")->isChecked());
    EXPECT_TRUE(shows(0, "-"));
    EXPECT_TRUE(shows(1, "-"));
    tick();
    EXPECT_EQ(panelText("STATUS"), "System Message:  Comm Fault with K2700");
    EXPECT_EQ(main->shared().SystemMessage, "Set-up Program is Currently OFFLINE");
    ASSERT_TRUE(pumpUntil([&] { return message() == "Set-up Program is Currently OFFLINE"; }));
    // Online again once the board answers: OpenRSComm clears the failure.
    board.faults().silentFromByte = -1;
    QTest::keyClick(main.get(), Qt::Key_F3);
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_FALSE(main->link().CommError());
    EXPECT_TRUE(shows(1, "45" + Deg));
}

} // namespace
