// The telvane program itself against telvane-boardsim over a pseudo-terminal,
// driven by a script of key presses and clicks (TELVANE_DRIVE).
#include "BoardProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(Program, GoesOnlineShowsTheMachineAndItsAlarmsResetsThemAndExits) {
    BoardProcess board({"--baud", "19200", "--raise-alarm", "2:7"});
    ASSERT_TRUE(board.started());
    const ProgramHome home(board.pty());
    const ProcessResult result = RunProgram(
        "telvane", {}, home,
        {"print frmMDIMain", "print MODE", "wait 600", "print STATUS",
         // Online with F3; values and the alarm arrive.
         "key F3", "waitfor MODE ONLINE", "waitfor STATUS Faults Active in PLC",
         "waitfor txtMessageDisplay Cup Jam Station: 7", "waitfor lblDisplay4 12",
         "print lblDisplay0", "print lblDisplay2", "print lblDisplay5", "print txtMessageDisplay",
         // Alarm Reset by its access key.
         "key Alt+R", "waitfor STATUS All Faults Normal", "waitfor txtMessageDisplay System Normal",
         "print txtMessageDisplay",
         // Offline by a double click on the mode panel, then exit.
         "dblclick MODE", "waitfor MODE OFFLINE", "wait 600", "print STATUS", "print lblDisplay0",
         "close"});
    EXPECT_EQ(result.exit, 0);
    const QStringList out = result.lines();
    const QString deg = QString(QChar(0x00B0));
    const QStringList expected{
        "frmMDIMain=TELVANE - [unnamed]",
        "MODE=OFFLINE",
        "STATUS=System Message:  Program is Currently OFFLINE",
        "lblDisplay0=0", // a jam stops the machine
        "lblDisplay2=1,234,567",
        "lblDisplay5=27" + deg,
        "txtMessageDisplay=***** SYSTEM ALARM *****\\n Cup Jam Station: 7\\n\\n",
        "txtMessageDisplay=-- System Normal --\\nSet-up Program is Currently ONLINE",
        "STATUS=System Message:  Program is Currently OFFLINE",
        "lblDisplay0=-"};
    EXPECT_EQ(out, expected) << out.join('\n').toStdString();
}

} // namespace
