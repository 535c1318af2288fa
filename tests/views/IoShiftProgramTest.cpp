// The shift data and I/O states views in the telvane program itself, against
// telvane-boardsim over a pseudo-terminal, driven by a script (TELVANE_DRIVE).
#include "BoardProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(IoShiftProgram, ShowsTheBoardsShiftDataAndIoOverARealPort) {
    BoardProcess board;
    ASSERT_TRUE(board.started());
    const ProgramHome home(board.pty());
    const ProcessResult result = RunProgram(
        "telvane", {}, home,
        {"key F3", "waitfor MODE ONLINE", "click mnuWindowForm5", "waitfor lblSlot00State5 ON",
         "print frmDisplayIO", "print lblk2710State9", "print lblk2710State10",
         "print lblSlot00State5", "print lblSlot00State13", "click mnuWindowForm4",
         "waitfor lblData1 31", "print frmData", "print lblData1", "print lblData19", "key Alt+L",
         "waitfor lblData19 24", "print lblData19",
         // Transfer Data: the board ends the shift, the last shift gets its counts.
         "click cmdEndofShift", "waitfor lblData19 31", "print lblData19", "key Alt+C",
         "waitfor lblData1 0", "print lblData1", "close"});
    EXPECT_EQ(result.exit, 0);

    const QStringList out = result.lines();
    const QStringList expected{"frmDisplayIO=I/O Status",
                               "lblk2710State9=360",
                               "lblk2710State10=0",
                               "lblSlot00State5=ON",
                               "lblSlot00State13=off",
                               "frmData=Shift Data",
                               "lblData1=31",
                               "lblData19=-",
                               "lblData19=24",
                               "lblData19=31",
                               "lblData1=0"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
