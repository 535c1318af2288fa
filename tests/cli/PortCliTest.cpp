// telvane-cli find and port: the board looked for on pseudo-terminals, and
// the port settings file read and written from the command line.
#include "CliFixture.h"

namespace {

using PortCli = CliFixture;

TEST_F(PortCli, FindPrintsEachBoardWithItsSpeedAndReportsPortsItCannotOpen) {
    startBoard({"--baud", "9600"});
    BoardProcess fast({"--baud", "19200"});
    ASSERT_TRUE(fast.started());
    auto r = run({"find", pty, "/dev/telvane-no-such-port", fast.pty()}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, pty + " 9600\n" + fast.pty() + " 19200\n");
    EXPECT_EQ(r.err, "telvane-cli: /dev/telvane-no-such-port: does not exist\n");

    board.reset(); // its pseudo-terminal is gone
    r = run({"find", "/dev/null"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "telvane-cli: /dev/null: not a serial port: Inappropriate ioctl for device\n"
                     "telvane-cli: No port could be opened: /dev/null (not a serial port: "
                     "Inappropriate ioctl for device).\n");
}

} // namespace
