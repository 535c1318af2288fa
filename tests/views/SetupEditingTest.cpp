// The field editing protocol in the set-up parameters view, key by key,
// online against the simulated board.
#include "FieldEditor.h"
#include "SetupFixture.h"
#include "frmSetup.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

namespace {

using Writes = QList<QPair<int, int>>;

class SetupEditing : public SetupFixture {
protected:
    void SetUp() override {
        openView();
        goOnline();
        ASSERT_TRUE(passes(1));
        traffic();
    }
    void expectRangeMessage(int shownCount, const QString& text) {
        ASSERT_EQ(prompt.shown().size(), shownCount);
        const auto& box = prompt.shown().back();
        EXPECT_EQ(box.title, "Set-up");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, Prompt::Icon::Information);
        EXPECT_EQ(box.buttons, Prompt::Buttons::Ok);
    }
};

TEST_F(SetupEditing, TypingAndEnterCommitWriteAndMoveOn) {
    EXPECT_EQ(txt(0)->text(), "180" + Deg);
    EXPECT_EQ(txt(3)->text(), "120");
    click(txt(3));
    EXPECT_TRUE(view()->EditActive(3));
    EXPECT_EQ(txt(3)->selectedText(), "120");
    keys("321");
    key(Qt::Key_Return);
    EXPECT_EQ(focused(), "txtSetup4"); // Enter moves on as Tab does
    EXPECT_FALSE(view()->EditActive(3));
    EXPECT_TRUE(view()->EditActive(4));
    EXPECT_EQ(entry(42), 321);
    EXPECT_EQ(boardWord(1026), 321);
    EXPECT_EQ(traffic().writes, (Writes{{1026, 0x41}, {1027, 0x01}}));
    EXPECT_TRUE(prompt.shown().isEmpty());
    // A click into the field being edited selects the whole text again.
    click(txt(4));
    keys("9");
    click(txt(4));
    EXPECT_EQ(txt(4)->selectedText(), "9");
}

TEST_F(SetupEditing, EscRestoresTheStartValueAndASecondEscLeavesTheField) {
    click(txt(0));
    keys("45");
    key(Qt::Key_Escape);
    EXPECT_EQ(txt(0)->text(), "180"); // plain decimal, no degree sign
    EXPECT_EQ(txt(0)->selectedText(), "180");
    EXPECT_EQ(focused(), "txtSetup0");
    EXPECT_TRUE(view()->editor().EscPending());
    keys("4"); // any other key: the next Esc is a first one again
    EXPECT_FALSE(view()->editor().EscPending());
    key(Qt::Key_Escape);
    EXPECT_EQ(focused(), "txtSetup0");
    EXPECT_TRUE(traffic().writes.isEmpty());
    key(Qt::Key_Escape);
    EXPECT_EQ(focused(), "cmdDefault");
    EXPECT_FALSE(view()->EditActive(0));
    // Leaving commits the restored value.
    EXPECT_EQ(traffic().writes, (Writes{{1020, 180}, {1021, 0}}));
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(txt(0)->text(), "180" + Deg);
}

TEST_F(SetupEditing, ARejectedEntryShowsTheRangeMessageAndKeepsTheUserInTheField) {
    click(txt(0));
    keys("400");
    key(Qt::Key_Return);
    expectRangeMessage(1, "Only a Number Between 0 and 359 can be Entered");
    EXPECT_EQ(txt(0)->text(), "180" + Deg);
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; }));
    EXPECT_EQ(txt(0)->selectedText(), "180" + Deg);
    EXPECT_TRUE(view()->EditActive(0));
    EXPECT_FALSE(view()->EditActive(1)); // passed through, never entered
    // Not numeric, empty, below Min, above Max by a fraction or an exponent.
    int shown = 1;
    for (const QString typed : {"12abc", "", "-1", "359.5", "1e3"}) {
        if (typed.isEmpty())
            key(Qt::Key_Backspace);
        keys(typed);
        key(Qt::Key_Tab);
        expectRangeMessage(++shown, "Only a Number Between 0 and 359 can be Entered");
        ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; })) << typed.toStdString();
    }
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(txt(0)->text(), "180" + Deg);
    EXPECT_TRUE(traffic().writes.isEmpty());
    EXPECT_EQ(boardWord(1020), 180);
    click(txt(3));
    keys("900");
    key(Qt::Key_Return);
    expectRangeMessage(++shown, "Only a Number Between 0 and 899 can be Entered");
}

TEST_F(SetupEditing, LimitsAreInclusiveAndOnePastEitherIsRefused) {
    struct Limit {
        int field;
        int address;
        int max;
    };
    int shown = 0;
    for (const Limit limit : {Limit{0, 1020, 359}, Limit{2, 1024, 999}, Limit{3, 1026, 899}}) {
        const QString name = QStringLiteral("txtSetup%1").arg(limit.field);
        for (const int value : {0, limit.max}) {
            click(txt(limit.field));
            keys(QString::number(value));
            key(Qt::Key_Tab);
            EXPECT_EQ(prompt.shown().size(), shown) << name.toStdString() << " " << value;
            EXPECT_EQ(boardWord(limit.address), value) << name.toStdString();
        }
        click(txt(limit.field));
        for (const int value : {-1, limit.max + 1}) {
            keys(QString::number(value));
            key(Qt::Key_Tab);
            expectRangeMessage(++shown, FieldEditor::RangeMessage(0, limit.max));
            ASSERT_TRUE(pumpUntil([&] { return focused() == name; })) << value;
        }
        EXPECT_EQ(boardWord(limit.address), limit.max);
        key(Qt::Key_Escape);
        key(Qt::Key_Escape);
        EXPECT_EQ(focused(), "cmdDefault");
        EXPECT_EQ(boardWord(limit.address), limit.max);
    }
}

TEST_F(SetupEditing, TheDegreeSignIsStrippedAndFractionsRoundHalfToEven) {
    click(txt(0));
    key(Qt::Key_Tab); // left unchanged: "180°" commits 180
    EXPECT_EQ(view()->editor().committed(0), "180");
    EXPECT_EQ(traffic().writes, (Writes{{1020, 180}, {1021, 0}}));
    EXPECT_EQ(focused(), "txtSetup1");
    keys("200" + Deg);
    key(Qt::Key_Return);
    EXPECT_EQ(boardWord(1022), 200);
    EXPECT_EQ(entry(40), 200);
    click(txt(3));
    keys("12.5"); // the integer stored is the one written, never 125
    key(Qt::Key_Return);
    EXPECT_EQ(boardWord(1026), 12);
    EXPECT_EQ(entry(42), 12);
    click(txt(3));
    keys(" 13.5 ");
    key(Qt::Key_Return);
    EXPECT_EQ(boardWord(1026), 14);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(SetupEditing, PollsLeaveAnEditAloneAndLeavingByMouseCommitsIt) {
    click(txt(3));
    keys("55");
    board.memory().setWord(1026, 321);
    board.memory().setWord(1028, 222);
    ASSERT_TRUE(passes(2));
    EXPECT_EQ(txt(3)->text(), "55");
    EXPECT_EQ(view()->editor().committed(3), "120");
    EXPECT_EQ(txt(4)->text(), "222");
    EXPECT_TRUE(traffic().reads.contains(1026)); // still read, only not shown
    // A click on the window's background or a frame is no leaving.
    QTest::mouseClick(view(), Qt::LeftButton, {},
                      QPoint(view()->width() - 3, view()->height() - 3));
    QTest::mouseClick(control("fraParameters1"), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(focused(), "txtSetup3");
    EXPECT_TRUE(view()->EditActive(3));
    EXPECT_EQ(txt(3)->text(), "55");
    EXPECT_TRUE(traffic().writes.isEmpty());
    click(txt(4));
    EXPECT_EQ(focused(), "txtSetup4");
    EXPECT_EQ(traffic().writes, (Writes{{1026, 55}, {1027, 0}}));
    EXPECT_EQ(entry(42), 55);
}

TEST_F(SetupEditing, UpDownClicksStepTheCommittedValueAndWriteItAtOnce) {
    clickArrow(3, +1);
    EXPECT_EQ(boardWord(1026), 121);
    EXPECT_EQ(entry(42), 121);
    EXPECT_EQ(focused(), "cmdDefault");
    EXPECT_EQ(txt(3)->text(), "120"); // the shown text follows at the next refresh
    ASSERT_TRUE(passes(1));
    EXPECT_EQ(txt(3)->text(), "121");
    clickArrow(3, -1);
    clickArrow(3, -1);
    EXPECT_EQ(boardWord(1026), 119);
    // In the field being edited, the typed value is committed, then stepped.
    click(txt(3));
    keys("200");
    clickArrow(3, +1);
    EXPECT_EQ(boardWord(1026), 201);
    EXPECT_EQ(focused(), "cmdDefault");
    // At Max nothing moves and nothing is written; above it, back within.
    board.memory().setWord(1024, 999);
    board.memory().setWord(1020, 500);
    ASSERT_TRUE(passes(1));
    traffic();
    clickArrow(2, +1);
    EXPECT_TRUE(traffic().writes.isEmpty());
    clickArrow(0, +1);
    EXPECT_EQ(boardWord(1020), 359);
    // A refused edit elsewhere keeps the user there; nothing is stepped.
    click(txt(4));
    keys("x");
    clickArrow(3, +1);
    EXPECT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(boardWord(1026), 201);
    EXPECT_TRUE(pumpUntil([&] { return focused() == "txtSetup4"; }));
}

TEST_F(SetupEditing, ATabChangeEndsThePassAndOnlyTheShownTabIsPolled) {
    ASSERT_TRUE(passes(1));
    const BoardTraffic first = traffic();
    EXPECT_TRUE(
        first.readsOnly({1018, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029}));
    EXPECT_TRUE(first.reads.contains(1018));
    // By its access key, with an edit in progress on the page it hides.
    click(txt(3));
    keys("321");
    QTest::keyClick(main.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(control("fraSetup1")->isVisible());
    EXPECT_FALSE(control("fraSetup0")->isVisible());
    ASSERT_TRUE(passes(2));
    const BoardTraffic second = traffic();
    EXPECT_EQ(second.writes, (Writes{{1026, 0x41}, {1027, 0x01}}));
    EXPECT_EQ(second.reads.mid(0, 4), (QList<int>{1032, 1033, 1034, 1035}));
    EXPECT_TRUE(second.readsOnly({1032, 1033, 1034, 1035}));
    EXPECT_EQ(txt(5)->text(), "240");
    EXPECT_EQ(txt(6)->text(), "70");
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(0).center());
    EXPECT_TRUE(control("fraSetup0")->isVisible());
    ASSERT_TRUE(passes(1));
    EXPECT_FALSE(traffic().reads.contains(1032));
    EXPECT_EQ(txt(3)->text(), "321");
}

TEST_F(SetupEditing, TheRangeMessageRunsOnceThoughItsBoxTakesTheFocus) {
    click(txt(0));
    keys("abc");
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        QDialog box(main.get());
        box.setModal(true);
        box.show();
        QApplication::setActiveWindow(&box);
        pump(20);
        box.close();
        QApplication::setActiveWindow(main.get());
    };
    key(Qt::Key_Tab);
    prompt.onShown = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return focused() == "txtSetup0"; }));
    EXPECT_EQ(prompt.shown().size(), 1);
    EXPECT_FALSE(view()->EditActive(1));
    EXPECT_TRUE(traffic().writes.isEmpty());
}

TEST_F(SetupEditing, CtrlXInAFieldIsTheExportCommandNotCut) {
    QAction* exportItem = action("mnuFileExport");
    QObject::disconnect(exportItem, &QAction::triggered, nullptr, nullptr);
    exportItem->setEnabled(true);
    int exports = 0;
    QObject::connect(exportItem, &QAction::triggered, [&] { ++exports; });
    click(txt(3));
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(txt(3)->text(), "120");
}

} // namespace
