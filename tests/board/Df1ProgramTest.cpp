// The DF1 set-up view in the telvane program itself, against telvane-boardsim
// over a pseudo-terminal, driven by a script (TELVANE_DRIVE).
#include "BoardProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(Df1Program, ShowsTheDriverStatusAndWritesUpDownClicksOverARealPort) {
    BoardProcess board;
    ASSERT_TRUE(board.started());
    const ProgramHome home(board.pty());
    const ProcessResult result =
        RunProgram("telvane", {}, home,
                   {"key F3", "waitfor MODE ONLINE", "click mnuWindowForm2", "waitfor txtSetup1 10",
                    "print frm8470DF1", "print lblDisplay0", "print cboSetup", "print txtSetup0",
                    // Up and back down: the board and memory end as they began.
                    "click updSetup1Up", "waitfor txtSetup1 11", "print txtSetup1",
                    "click updSetup1Down", "waitfor txtSetup1 10", "print txtSetup1",
                    // Offline: memory, where the clicks were stored too; no status.
                    "key F4", "waitfor MODE OFFLINE", "wait 300", "print txtSetup1",
                    "print lblDisplay0", "close"});
    EXPECT_EQ(result.exit, 0);

    const QStringList out = result.lines();
    const QStringList expected{"frm8470DF1=R8470DF1", "lblDisplay0=(2) Success",
                               "cboSetup=SLC500",     "txtSetup0=1",
                               "txtSetup1=11",        "txtSetup1=10",
                               "txtSetup1=10",        "lblDisplay0=-"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
