// telvane-cli through a serial device server: Debian's ser2net in front of
// telvane-boardsim's pseudo-terminal.
#include "CliFixture.h"
#include "Ser2netProcess.h"

#include <QFile>

namespace {

using NetworkCli = CliFixture;

TEST_F(NetworkCli, FindAsksAnRfc2217ServerAtBothSpeedsARawOneOnceAndNamesOneNotThere) {
    startBoard({"--baud", "9600"});
    // Both servers open their port at 9600: only the speed the search sets
    // keeps the board from answering the first question. Each has a board of
    // its own: a server sets its port back a moment after its client left,
    // under whoever uses that port next.
    BoardProcess rawBoard({"--baud", "9600"});
    ASSERT_TRUE(rawBoard.started());
    Ser2netProcess telnet(pty, Ser2netProcess::Mode::Rfc2217, 9600);
    Ser2netProcess raw(rawBoard.pty(), Ser2netProcess::Mode::Raw, 9600);
    ASSERT_TRUE(telnet.started() && raw.started());
    const QString nobody = QString("socket://127.0.0.1:%1").arg(Ser2netProcess::freePort());
    const auto r = run({"find", telnet.url(), raw.url(), nobody}, false);
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, telnet.url() + " 9600\n" + raw.url() + " server\n");
    EXPECT_EQ(r.err, "telvane-cli: " + nobody + ": connection refused by " + nobody.mid(9) + "\n");
}

TEST_F(NetworkCli, AnUploadTheServerCutsOffHalfwayFailsNamingItAndWritesNothing) {
    startBoard({"--hang-up-after", "150"});
    Ser2netProcess server(pty, Ser2netProcess::Mode::Raw, 19200);
    ASSERT_TRUE(server.started());
    const QString sdt = home.filePath("cut.sdt");
    const auto r = run({"--device", server.url(), "upload", "all", sdt}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("COMM Port and PROG Port.\n\nconnection closed by 127.0.0.1:" +
                               QString::number(server.port()) + "\n"))
        << r.err.toStdString();
    EXPECT_TRUE(
        r.err.endsWith("telvane-cli: upload did not complete; " + sdt + " was left as it was\n"))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(sdt));
}

} // namespace
