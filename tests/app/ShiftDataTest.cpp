// The shift data view against the simulated board: both tabs, the poll of
// the visible tab only, the offline display from memory, and the end-of-shift
// flag that the mouse holds.
#include "AppFixture.h"
#include "BoardTraffic.h"
#include "MouseHoldButton.h"
#include "ViewBase.h"
#include "frmData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTest>

namespace {

constexpr int EndOfShiftByte = 36; // F32: bit 0 of byte 36

class ShiftData : public AppFixture {
protected:
    ShiftData() {
        board.cupper().hold(true);
        auto& m = board.memory();
        m.setDword(1100, 1'234'567);
        m.setWord(1104, 1234);
        m.setDword(1200, 7'654'321);
        m.setWord(1204, 21);
        for (int station = 0; station < 16; ++station) {
            m.setWord(1108 + 2 * station, 100 + station);
            m.setWord(1208 + 2 * station, 200 + station);
        }
        views.Register(ViewTable::ShiftData,
                       [](ViewContext& context) { return new frmData(context); });
    }
    void openView(bool online) {
        startMainWindow();
        main->activateWindow();
        QApplication::setActiveWindow(main.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        if (online)
            goOnline();
        action("mnuWindowForm4")->trigger();
        ASSERT_TRUE(pumpUntil([this] {
            return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
        }));
    }
    frmData* view() const { return qobject_cast<frmData*>(main->currentViewWidget()); }
    QLabel* data(int i) const { return view()->lblData(i); }
    QTabBar* tabs() const { return view()->findChild<QTabBar*>(QStringLiteral("tbsData")); }
    MouseHoldButton* button() const {
        return view()->findChild<MouseHoldButton*>(QStringLiteral("cmdEndofShift"));
    }
    bool passes(int n = 1) { return RunPasses(view()->loop(), n); }
    BoardTraffic traffic() { return decoder.feed(takeTrace()); }
    // The values written to the end-of-shift flag, in order.
    QList<int> flagWrites(const BoardTraffic& t) const {
        QList<int> out;
        for (const auto& [address, byte] : t.writes)
            if (address == EndOfShiftByte)
                out.append(byte & 1);
        return out;
    }

    TrafficDecoder decoder;
};

TEST_F(ShiftData, TheWindowMenuOpensTheViewWithItsCaptions) {
    openView(false);
    EXPECT_EQ(main->CurrentView(), ViewTable::ShiftData);
    EXPECT_EQ(action("mnuWindowForm4")->text(), "&5 Shift Data");
    EXPECT_EQ(view()->windowTitle(), "Shift Data");
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view()->parentWidget())->isMaximized());
    EXPECT_EQ(tabs()->tabText(0), "&Current Shift");
    EXPECT_EQ(tabs()->tabText(1), "&Last Shift");
    const char* const frames[] = {"Current Shift", "Die Jams per Station", "Last Shift",
                                  "Die Jams per Station"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(view()->findChild<QGroupBox*>(QStringLiteral("fraShiftData%1").arg(i))->title(),
                  frames[i]);
    EXPECT_EQ(view()->findChild<QGroupBox*>("fraEndofShift")->title(), "End of Shift");
    EXPECT_EQ(button()->text(), "T&ransfer Data");
    for (int shift = 0; shift < 2; ++shift) {
        auto description = [&](int i) {
            return view()
                ->findChild<QLabel*>(QStringLiteral("lblDescription%1").arg(18 * shift + i))
                ->text();
        };
        EXPECT_EQ(description(0), "Total Strokes:");
        EXPECT_EQ(description(1), "Total Die Jams:");
        for (int station = 1; station <= 16; ++station)
            EXPECT_EQ(description(1 + station), QStringLiteral("#%1").arg(station));
    }
    EXPECT_TRUE(view()->findChild<QWidget*>("fraData0")->isVisible());
    EXPECT_FALSE(view()->findChild<QWidget*>("fraData1")->isVisible());
}

TEST_F(ShiftData, OnlineReadsOnlyTheVisibleTab) {
    openView(true);
    traffic();
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(data(0)->text(), "1,234,567");
    EXPECT_EQ(data(1)->text(), "1,234");
    EXPECT_EQ(data(2)->text(), "100");
    EXPECT_EQ(data(17)->text(), "115");
    EXPECT_EQ(data(18)->text(), "-"); // the hidden tab is not read
    const BoardTraffic t = traffic();
    for (const int address : t.reads)
        EXPECT_TRUE(address >= 1100 && address < 1140) << address;
    EXPECT_TRUE(t.writes.isEmpty());
}

TEST_F(ShiftData, ATabSwitchMidPassReadsTheNewTabNext) {
    openView(true);
    traffic();
    // Run, one event at a time, until a pass is among the stations of the
    // current shift and not yet at its end.
    QList<int> pass;
    QElapsedTimer timer;
    timer.start();
    while (!(pass.contains(1116) && !pass.contains(1138)) && timer.elapsed() < WaitLimitMs) {
        QCoreApplication::processEvents();
        for (const int address : traffic().reads) {
            if (address == 1103) // the strokes, read whole from their highest byte
                pass.clear();
            pass.append(address);
        }
    }
    ASSERT_TRUE(pass.contains(1116) && !pass.contains(1138));
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(1).center());
    EXPECT_EQ(view()->FirstPolled(), 18);
    EXPECT_EQ(view()->LastPolled(), 35);
    EXPECT_TRUE(view()->findChild<QWidget*>("fraData1")->isVisible());
    EXPECT_FALSE(view()->findChild<QWidget*>("fraData0")->isVisible());
    ASSERT_TRUE(passes(1));
    const BoardTraffic t = traffic();
    ASSERT_FALSE(t.reads.isEmpty());
    EXPECT_EQ(t.reads.first(), 1203);
    for (const int address : t.reads)
        EXPECT_TRUE(address >= 1200 && address < 1240) << address;
    EXPECT_EQ(data(18)->text(), "7,654,321");
    EXPECT_EQ(data(35)->text(), "215");
}

TEST_F(ShiftData, TheMouseHoldsTheEndOfShiftFlag) {
    openView(true);
    ASSERT_TRUE(passes(1));
    traffic();
    QTest::mousePress(button(), Qt::LeftButton);
    EXPECT_TRUE(board.memory().flag(32));
    BoardTraffic t = traffic();
    EXPECT_EQ(flagWrites(t), QList<int>{1});
    ASSERT_TRUE(passes(1)); // held over a whole pass: still no second write
    EXPECT_TRUE(flagWrites(traffic()).isEmpty());
    QTest::mouseRelease(button(), Qt::LeftButton);
    EXPECT_FALSE(board.memory().flag(32));
    EXPECT_EQ(flagWrites(traffic()), QList<int>{0});
    // Any mouse button holds it.
    QTest::mousePress(button(), Qt::RightButton);
    QTest::mouseRelease(button(), Qt::RightButton);
    EXPECT_EQ(flagWrites(traffic()), (QList<int>{1, 0}));
}

TEST_F(ShiftData, TheKeyboardActivatesTheButtonWithoutWriting) {
    openView(true);
    ASSERT_TRUE(passes(1));
    button()->setFocus();
    ASSERT_TRUE(button()->hasFocus());
    traffic();
    QTest::keyClick(button(), Qt::Key_Space);
    QTest::keyClick(button(), Qt::Key_Return);
    QTest::keyClick(button(), Qt::Key_Enter);
    QTest::keyClick(view(), Qt::Key_R, Qt::AltModifier); // its access key
    ASSERT_TRUE(passes(1));
    EXPECT_TRUE(flagWrites(traffic()).isEmpty());
    EXPECT_FALSE(board.memory().flag(32));
}

TEST_F(ShiftData, LosingTheMouseGrabReleasesTheFlag) {
    openView(true);
    ASSERT_TRUE(passes(1));
    traffic();
    // Another window takes over while the button is held.
    QTest::mousePress(button(), Qt::LeftButton);
    ASSERT_TRUE(board.memory().flag(32));
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(board.memory().flag(32));
    // The release that follows in the other window writes nothing more.
    QTest::mouseRelease(button(), Qt::LeftButton);
    EXPECT_EQ(flagWrites(traffic()), (QList<int>{1, 0}));

    // The view closes while the button is held.
    QApplication::setActiveWindow(main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QTest::mousePress(button(), Qt::LeftButton);
    ASSERT_TRUE(board.memory().flag(32));
    action("mnuWindowForm0")->trigger();
    ASSERT_TRUE(pumpUntil([this] { return main->CurrentView() == ViewTable::MainDisplay; }));
    EXPECT_FALSE(board.memory().flag(32));
}

TEST_F(ShiftData, OfflineShowsMemoryWithRegionalGrouping) {
    openView(false);
    auto& values = main->shared().CurrentData.ValueTable;
    values[0] = 1234;
    values[1] = 5;
    values[17] = 99;
    values[18] = 1'234'567;
    values[35] = 12;
    ASSERT_TRUE(pumpUntil([&] { return data(0)->text() == "1,234"; }));
    EXPECT_EQ(data(1)->text(), "5");
    EXPECT_EQ(data(2)->text(), "0");
    EXPECT_EQ(data(17)->text(), "99");
    // Both tabs are filled, the hidden one too.
    EXPECT_EQ(data(18)->text(), "1,234,567");
    EXPECT_EQ(data(35)->text(), "12");
    EXPECT_FALSE(button()->isEnabled());
    for (const char* name : {"fraEndofShift", "fraShiftData0", "fraShiftData3", "lblDescription0",
                             "lblDescription35", "lblData0", "lblData20"})
        EXPECT_FALSE(view()->findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_EQ(port.trace(), "");

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    values[0] = 1'234'567;
    const bool german = pumpUntil([&] { return data(0)->text() == "1.234.567"; });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(german);

    // Online again: the controls come back, "-" until their first value.
    goOnline();
    ASSERT_TRUE(pumpUntil([this] { return button()->isEnabled(); }));
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(data(0)->text(), "1,234,567"); // the board's own count
    EXPECT_EQ(data(18)->text(), "-");
}

TEST_F(ShiftData, ALinkFailureEndsThePassAndShowsMemory) {
    openView(true);
    ASSERT_TRUE(passes(1));
    main->shared().CurrentData.ValueTable[0] = 42;
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    ASSERT_TRUE(pumpUntil([&] { return data(0)->text() == "42"; }));
    EXPECT_FALSE(button()->isEnabled());
    // The button is dead while the link has failed.
    traffic();
    QTest::mousePress(button(), Qt::LeftButton);
    QTest::mouseRelease(button(), Qt::LeftButton);
    EXPECT_EQ(port.trace(), "");
}

} // namespace
