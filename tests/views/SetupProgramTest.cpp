// The set-up parameters view in the telvane program itself, against
// telvane-boardsim over a pseudo-terminal, driven by a script (TELVANE_DRIVE).
#include "BoardProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupProgram, ReadsTheBoardAndWritesUpDownClicksOverARealPort) {
    BoardProcess board;
    ASSERT_TRUE(board.started());
    const ProgramHome home(board.pty());
    const ProcessResult result = RunProgram(
        "telvane", {}, home,
        {"key F3", "waitfor MODE ONLINE", "click mnuWindowForm1", "waitfor txtSetup4 250",
         "print frmSetup", "print txtSetup0", "print txtSetup3", "print txtSetup5",
         // Up and back down: the board and memory end as they began.
         "click updSetup3Up", "waitfor txtSetup3 101", "print txtSetup3", "click updSetup3Down",
         "waitfor txtSetup3 100", "print txtSetup3",
         // Offline: memory, where the clicks were stored too.
         "key F4", "waitfor MODE OFFLINE", "wait 300", "print txtSetup0", "print txtSetup3",
         "close"});
    EXPECT_EQ(result.exit, 0);

    const QStringList out = result.lines();
    const QString deg = QString(QChar(0x00B0));
    const QStringList expected{"frmSetup=Set-Up",   "txtSetup0=180" + deg, "txtSetup3=100",
                               "txtSetup5=-",       "txtSetup3=101",       "txtSetup3=100",
                               "txtSetup0=0" + deg, "txtSetup3=100"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
