// The DF1 communication set-up view: its window, the status rows online, the
// driver warning, the PLC type list and the two fields in the three modes.
#include "Df1Fixture.h"
#include "FieldEditor.h"
#include "UpDown.h"
#include "frm8470DF1.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

using Writes = QList<QPair<int, int>>;

const QString DriverWarning =
    QStringLiteral("The DF1 Serial Communications Driver is Not Enabled in the K2700.");

class Df1View : public Df1Fixture {
protected:
    // A board whose driver reports a bit of everything.
    void setStatus() {
        auto& m = memory();
        m.setByte(4023, 34);
        m.setByte(4021, 6);
        m.setByte(4022, 33);
        m.setWord(4016, 1234);
        m.setByte(4014, 1);
        m.setByte(4026, 26);
        m.setBit(4302, 6, true);
        m.setByte(4303, 0);
        m.setByte(4018, 0x10);
        m.setByte(4019, 0x1B);
        m.setWord(4304, 777);
    }
    void online() {
        openView();
        goOnline();
        ASSERT_TRUE(passes(1));
        traffic();
    }
    int warnings() const {
        int n = 0;
        for (const auto& shown : prompt.shown())
            n += shown.text == DriverWarning;
        return n;
    }
    bool statusRowsEnabled(bool enabled) const {
        for (int i = 0; i < frm8470DF1::StatusRows; ++i)
            if (status(i)->isEnabled() != enabled || description(i)->isEnabled() != enabled)
                return false;
        return control("fraSetup0")->isEnabled() == enabled &&
               control("fraSetup1")->isEnabled() == enabled;
    }
    bool parametersEnabled(bool enabled) const {
        for (int i = frm8470DF1::PlcTypeRow; i < frm8470DF1::RegisterCount; ++i)
            if (description(i)->isEnabled() != enabled)
                return false;
        for (int i = 0; i < frm8470DF1::FieldCount; ++i)
            if (txt(i)->isEnabled() != enabled || upd(i)->isEnabled() != enabled)
                return false;
        return control("fraSetup2")->isEnabled() == enabled && list()->isEnabled() == enabled;
    }
};

TEST_F(Df1View, TheWindowListOpensTheViewWithItsCaptions) {
    openView();
    EXPECT_EQ(action("mnuWindowForm2")->text(), "&3 Serial Communications");
    EXPECT_TRUE(action("mnuWindowForm2")->isChecked());
    EXPECT_EQ(main->CurrentView(), 2);
    EXPECT_EQ(view()->windowTitle(), "R8470DF1");
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view()->parentWidget())->isMaximized());
    const char* const frames[] = {"R8470-DF1 Communication Status", "A/B Link Layer Status",
                                  "DF1 Communication Set-up"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(view()->findChild<QGroupBox*>(QStringLiteral("fraSetup%1").arg(i))->title(),
                  frames[i]);
    const char* const captions[] = {"R8470 Configuration Status:",
                                    "Transmit Data Status",
                                    "Transmit Data Status (prev.):",
                                    "Current Transaction:",
                                    "Active Command:",
                                    "Number of BYTES Received:",
                                    "Received Command BIT Status",
                                    "Status:",
                                    "Current Transaction Received:",
                                    "&PLC Type:",
                                    "&Destination Node:",
                                    "Desination File &Number:"};
    const char* const addresses[] = {"B4023",   "B4021", "B4022", "W4016",   "B4014", "B4026",
                                     "B4302.6", "B4303", "W4304", "B4001.0", "B4050", "B4011"};
    for (int i = 0; i < frm8470DF1::RegisterCount; ++i) {
        EXPECT_EQ(description(i)->text(), captions[i]);
        EXPECT_EQ(view()->RegisterAddress(i), addresses[i]);
    }
    // Status rows sit in their frames.
    EXPECT_TRUE(control("fraSetup0")->isAncestorOf(status(6)));
    EXPECT_TRUE(control("fraSetup1")->isAncestorOf(status(7)));
    EXPECT_TRUE(control("fraSetup1")->isAncestorOf(status(8)));
    EXPECT_EQ(description(9)->buddy(), list());
    EXPECT_EQ(description(10)->buddy(), txt(0));
    EXPECT_EQ(description(11)->buddy(), txt(1));
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->itemText(0), "PLC5");
    EXPECT_EQ(list()->itemText(1), "SLC500");
    for (int i = 0; i < frm8470DF1::FieldCount; ++i) {
        EXPECT_EQ(upd(i)->Min(), 0);
        EXPECT_EQ(upd(i)->Max(), 255);
    }
    EXPECT_EQ(view()->findChild<QPushButton*>("cmdDefault")->text(), "-");
}

TEST_F(Df1View, OnlineEveryStatusRowIsDecodedOneReadPerStep) {
    setStatus();
    online();
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(status(0)->text(), "(34) Invalid Slot ADD");
    EXPECT_EQ(status(1)->text(), "(6) Message Packet Error");
    EXPECT_EQ(status(2)->text(), "(33) Unknown Status");
    EXPECT_EQ(status(3)->text(), "1234");
    EXPECT_EQ(status(4)->text(), "Write");
    EXPECT_EQ(status(5)->text(), "26");
    EXPECT_EQ(status(6)->text(), "Reply");
    EXPECT_EQ(status(7)->text(), "(00) Success - No Error");
    EXPECT_EQ(status(8)->text(), "777");
    EXPECT_TRUE(statusRowsEnabled(true));
    EXPECT_TRUE(parametersEnabled(true));
    // One pass: the rows and the set-up, in order; no reply codes while the
    // link status is zero, and the driver flag only once per preparation.
    // The two counters are read whole: high byte, low byte, high byte again.
    const BoardTraffic seen = traffic();
    const int start = int(seen.reads.indexOf(4023));
    ASSERT_GE(start, 0);
    EXPECT_EQ(seen.reads.mid(start, 16),
              (QList<int>{4023, 4021, 4022, 4017, 4016, 4017, 4014, 4026, 4302, 4303, 4305, 4304,
                          4305, 4001, 4050, 4011}));
    EXPECT_FALSE(seen.reads.contains(4018) || seen.reads.contains(4019));
    EXPECT_FALSE(seen.reads.contains(32 + 152 / 8));
    EXPECT_TRUE(seen.writes.isEmpty());

    memory().setByte(4023, 0);
    memory().setByte(4014, 7);
    memory().setBit(4302, 6, false);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(status(0)->text(), "(0) Unknown Status");
    EXPECT_EQ(status(4)->text(), "(7) Unknown Status");
    EXPECT_EQ(status(6)->text(), "Command");
}

TEST_F(Df1View, ALinkErrorIsNamedByItsStsAndExtStsCodes) {
    setStatus();
    online();
    memory().setByte(4303, 2);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(status(7)->text(), "(10) Illegal Command or Format");
    const BoardTraffic pass = traffic();
    const int at = int(pass.reads.indexOf(4303));
    ASSERT_GE(at, 0);
    EXPECT_EQ(pass.reads.mid(at, 4), (QList<int>{4303, 4018, 4019, 4305}));

    memory().setByte(4018, 0xF0);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(status(7)->text(), "(F0-1B) Another Node is the Program Owner");
    memory().setByte(4019, 0x20);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(status(7)->text(), "(F0-20) - Not Used");
    memory().setByte(4018, 0x09);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(status(7)->text(), "(9) - Not Used");
    // Back to no error: the codes are no longer read.
    memory().setByte(4303, 0);
    ASSERT_TRUE(passes(2));
    traffic();
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(status(7)->text(), "(00) Success - No Error");
    const BoardTraffic clean = traffic();
    EXPECT_FALSE(clean.reads.contains(4018));
    EXPECT_FALSE(clean.reads.contains(4019));
}

TEST_F(Df1View, TheDriverWarningShowsOncePerPreparation) {
    memory().setFlag(152, false);
    openView();
    EXPECT_EQ(warnings(), 0); // offline nothing is read
    // The warning comes before any row is read; the rows show no value yet.
    QStringList rowsAtWarning;
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        for (int i = 0; i < frm8470DF1::StatusRows; ++i)
            rowsAtWarning << status(i)->text();
    };
    goOnline();
    ASSERT_TRUE(passes(3));
    EXPECT_EQ(rowsAtWarning, QStringList(frm8470DF1::StatusRows, "-"));
    ASSERT_EQ(warnings(), 1);
    const auto& box = prompt.shown().back();
    EXPECT_EQ(box.title, "WARNING!!");
    EXPECT_EQ(box.icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompt::Buttons::Ok);
    // The window goes on regardless.
    EXPECT_EQ(status(3)->text(), "0");
    EXPECT_EQ(list()->currentIndex(), 1);

    goOffline();
    ASSERT_TRUE(pumpUntil([&] { return view()->loop().OfflinePrepared(); }));
    memory().setFlag(152, true);
    goOnline();
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(warnings(), 1); // enabled now: no warning
    memory().setFlag(152, false);
    goOffline();
    ASSERT_TRUE(pumpUntil([&] { return view()->loop().OfflinePrepared(); }));
    goOnline();
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(warnings(), 2);
}

TEST_F(Df1View, OnlyAUserChoiceInTheListWritesThePlcType) {
    online();
    entry(46) = 5;                        // untouched by the passes
    EXPECT_EQ(list()->currentIndex(), 1); // the simulated board's SLC500
    EXPECT_TRUE(view()->ListReady());
    EXPECT_FALSE(view()->EditActive(frm8470DF1::ListEdit));
    // The board changes it: the list follows, nothing goes back.
    memory().setBit(4001, 0, false);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(entry(46), 5) << "a poll is no edit of memory";
    EXPECT_FALSE(view()->EditActive(frm8470DF1::ListEdit));

    choose(1);
    EXPECT_EQ(list()->currentIndex(), 1);
    EXPECT_TRUE(view()->EditActive(frm8470DF1::ListEdit));
    EXPECT_TRUE(memory().bit(4001, 0));
    EXPECT_EQ(entry(46), 1);
    const Writes writes = traffic().writes;
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(writes[0].first, 4001);

    // While the list has the focus the passes leave it alone; Esc leaves it.
    memory().setBit(4001, 0, false);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(list()->currentIndex(), 1);
    key(Qt::Key_Escape);
    EXPECT_EQ(focused(), "cmdDefault");
    EXPECT_FALSE(view()->EditActive(frm8470DF1::ListEdit));
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_TRUE(traffic().writes.isEmpty());
}

TEST_F(Df1View, AFailedReadLeavesTheListAsItWas) {
    online();
    entry(46) = 5;
    ASSERT_EQ(list()->currentIndex(), 1);
    memory().setBit(4001, 0, false);
    memory().setByte(4303, 5);
    memory().setByte(4018, 0x70);
    // Every read of bytes 0F00..0FFF (the list, the fields and most status
    // rows) is misheard twice; rows 6 to 8 still read.
    board.faults().wrongEchoWhen = MishearAddressesFrom(0x0F);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(list()->currentIndex(), 1);
    EXPECT_EQ(entry(46), 5);
    EXPECT_EQ(txt(0)->text(), "1");
    EXPECT_EQ(status(0)->text(), "(2) Success");
    // Row 7's codes live at 0FB2 and 0FB3: the row keeps what it showed.
    EXPECT_EQ(status(7)->text(), "(00) Success - No Error");
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_FALSE(memory().bit(4001, 0));

    board.faults().wrongEchoWhen = {};
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_EQ(status(7)->text(), "(70) Processor is in Program Mode");
}

TEST_F(Df1View, TheFieldsKeepToTheirLimitsAndWriteWhatTheyStore) {
    online();
    EXPECT_EQ(txt(0)->text(), "1");
    EXPECT_EQ(txt(1)->text(), "10");
    click(txt(0));
    EXPECT_TRUE(view()->EditActive(0));
    keys("256");
    key(Qt::Key_Return);
    ASSERT_EQ(prompt.shown().size(), 1);
    const auto& box = prompt.shown().back();
    EXPECT_EQ(box.title, "R8470DF1 Set-up");
    EXPECT_EQ(box.text, "Only a Number Between 0 and 255 can be Entered");
    EXPECT_EQ(box.icon, Prompt::Icon::Information);
    EXPECT_EQ(box.buttons, Prompt::Buttons::Ok);
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; }));
    EXPECT_EQ(txt(0)->text(), "1");
    EXPECT_TRUE(view()->EditActive(0));
    EXPECT_TRUE(traffic().writes.isEmpty());

    // Not a number: the same message.
    keys("12x");
    key(Qt::Key_Return);
    ASSERT_EQ(prompt.shown().size(), 2);
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; }));
    EXPECT_EQ(txt(0)->text(), "1");

    // While the user types, the passes leave the field alone.
    keys("255");
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(txt(0)->text(), "255");
    traffic();
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), "txtSetup1");
    EXPECT_EQ(entry(47), 255);
    EXPECT_EQ(memory().byte(4050), 255);
    EXPECT_EQ(traffic().writes, (Writes{{4050, 255}}));

    // Esc restores the start value; a second Esc leaves the field.
    keys("99");
    key(Qt::Key_Escape);
    EXPECT_EQ(txt(1)->text(), "10");
    EXPECT_EQ(focused(), "txtSetup1");
    key(Qt::Key_Escape);
    EXPECT_EQ(focused(), "cmdDefault");
    EXPECT_EQ(entry(48), 10);

    // An arrow steps the shown value and writes it; never past the limit.
    click(upd(1)->upButton());
    EXPECT_EQ(txt(1)->text(), "11");
    EXPECT_EQ(entry(48), 11);
    EXPECT_EQ(memory().byte(4011), 11);
    memory().setByte(4050, 0);
    ASSERT_TRUE(passes(2));
    click(upd(0)->downButton());
    EXPECT_EQ(txt(0)->text(), "0");
    // The second Esc left the field with its start value, committed again.
    EXPECT_EQ(traffic().writes, (Writes{{4011, 10}, {4011, 11}}));
}

// Fields whose reads fail show "-" for good: no value to step or commit.
TEST_F(Df1View, AFieldShowingADashStepsAndCommitsNothing) {
    board.faults().wrongEchoWhen = MishearAddressesFrom(0x0F);
    memory().setByte(4050, 7);
    online();
    entry(47) = 3;
    entry(48) = 4;
    ASSERT_EQ(txt(0)->text(), "-");
    click(upd(0)->upButton());
    click(txt(1));
    key(Qt::Key_Tab);
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(txt(0)->text(), "-");
    EXPECT_EQ(txt(1)->text(), "-");
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(entry(47), 3);
    EXPECT_EQ(entry(48), 4);
    EXPECT_EQ(memory().byte(4050), 7);
}

// A timer that moves the focus while the link waits for a slow board (the
// refused field's deferred refocus) ends an edit: it is written once the
// link is free, so that board and memory agree.
// A focus move while the link waits can only come from a timer: the field
// takes the focus back with its edit, and what the user then accepts is
// stored and written alike; nothing accepted waits unwritten for a close.
TEST_F(Df1View, AFieldTheFocusLeavesWhileTheLinkWaitsKeepsItsEdit) {
    online();
    click(txt(0));
    keys("42");
    QObject scope; // ends the timers with the test
    bool movedWhileBusy = false;
    std::function<void()> moveWhenBusy = [&] {
        if (!main->link().Busy()) {
            QTimer::singleShot(0, &scope, moveWhenBusy);
            return;
        }
        movedWhileBusy = true;
        txt(1)->setFocus(Qt::OtherFocusReason);
    };
    QTimer::singleShot(0, &scope, moveWhenBusy);
    // The answer to the next byte is lost: the link waits a second for it.
    board.faults().dropAnswerAt = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return movedWhileBusy && !main->link().Busy(); }));
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; }));
    EXPECT_TRUE(view()->EditActive(0));
    EXPECT_EQ(txt(0)->text(), "42");
    EXPECT_NE(entry(47), 42);
    key(Qt::Key_Return);
    EXPECT_FALSE(view()->EditActive(0));
    EXPECT_EQ(entry(47), 42);
    EXPECT_EQ(memory().byte(4050), 42);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(Df1View, OfflineWithoutEditingEverythingIsDisabled) {
    openView();
    entry(46) = 0;
    entry(47) = 5;
    entry(48) = 17;
    ASSERT_TRUE(pumpUntil([&] { return txt(1)->text() == "17"; }));
    EXPECT_TRUE(statusRowsEnabled(false));
    EXPECT_TRUE(parametersEnabled(false));
    for (int i = 0; i < frm8470DF1::StatusRows; ++i)
        EXPECT_EQ(status(i)->text(), "-") << i;
    EXPECT_EQ(txt(0)->text(), "5");
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_TRUE(takeTrace().isEmpty());

    // Offline editing enables the set-up within one cycle; the status stays off.
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return parametersEnabled(true); }));
    EXPECT_TRUE(statusRowsEnabled(false));
}

TEST_F(Df1View, OfflineEditingStoresInMemoryOnly) {
    memory().setBit(4001, 0, false);
    openView();
    entry(46) = 0;
    entry(47) = 4;
    toggleOfflineEditing();
    ASSERT_TRUE(pumpUntil([&] { return parametersEnabled(true) && view()->ListReady(); }));
    EXPECT_EQ(list()->currentIndex(), 0);
    choose(1);
    EXPECT_EQ(entry(46), 1);
    click(txt(1));
    keys("42");
    key(Qt::Key_Return);
    EXPECT_EQ(entry(48), 42);
    click(upd(0)->upButton());
    EXPECT_EQ(entry(47), 5);
    EXPECT_TRUE(takeTrace().isEmpty()) << "nothing reaches the board offline";
    EXPECT_FALSE(memory().bit(4001, 0));

    // Online the board's own values show again; the choice made offline
    // is not sent.
    goOnline();
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_EQ(txt(1)->text(), "10");
    EXPECT_TRUE(traffic().writes.isEmpty());
}

TEST_F(Df1View, APlcTypeOtherThanZeroOrOneShowsNoSelectionAndWritesNothing) {
    openView();
    toggleOfflineEditing();
    entry(46) = 7;
    ASSERT_TRUE(pumpUntil([&] { return parametersEnabled(true) && view()->ListReady(); }));
    EXPECT_EQ(list()->currentIndex(), -1);
    ASSERT_TRUE(pumpUntil([&] { return view()->loop().OfflinePrepared(); }));
    pump(150);
    EXPECT_EQ(entry(46), 7);
    EXPECT_EQ(list()->currentIndex(), -1);
    // A user's choice mends it.
    choose(0);
    EXPECT_EQ(entry(46), 0);
    EXPECT_TRUE(takeTrace().isEmpty());
}

TEST_F(Df1View, ACommErrorTakesTheProgramOfflineAndTheViewShowsMemory) {
    online();
    entry(47) = 3;
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    EXPECT_TRUE(pumpUntil([&] { return txt(0)->text() == "3" && status(0)->text() == "-"; }));
    EXPECT_TRUE(statusRowsEnabled(false));
    EXPECT_TRUE(parametersEnabled(false));
}

} // namespace
