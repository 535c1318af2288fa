// telvane-cli's output that cannot be written, against telvane-boardsim over
// a real pseudo-terminal.
#include "CliFixture.h"
#include "SdtFormat.h"
#include "SharedState.h"

#include <QProcess>
#include <csignal>
#include <unistd.h>

namespace {

class OutputCli : public CliFixture {
protected:
    void start(QProcess& cli, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TELVANE_HOME"), home.path());
        cli.setProcessEnvironment(env);
        cli.start(BuildProgram(QStringLiteral("telvane-cli")), QStringList{"--device", pty} + args);
    }
};

TEST_F(OutputCli, AFullDiskFailsEveryPrintingCommandAndSaysWhy) {
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    startBoard();
    for (const QStringList& args :
         {QStringList{"watch", "W182", "W1040", "--every", "10", "--count", "20"},
          {"read", "W1020", "W1022"},
          {"--help"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess cli;
        cli.setStandardOutputFile(QStringLiteral("/dev/full"));
        start(cli, args);
        ASSERT_TRUE(cli.waitForFinished(30000));
        EXPECT_EQ(cli.exitCode(), 1);
        EXPECT_EQ(cli.readAllStandardError(),
                  "telvane-cli: cannot write the output: No space left on device\n");
    }

    // diff's 1 says "different": its output that fails is trouble, 2.
    SharedState state;
    InitRegisterMap(state);
    writeFile("a.sdt", SdtFormat::encode(state.DefaultData));
    QProcess cli;
    cli.setStandardOutputFile(QStringLiteral("/dev/full"));
    start(cli, {"diff", home.filePath("a.sdt"), home.filePath("a.sdt"), "--csv"});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 2);
}

// "telvane-cli ... 2>&1 | head -c 0" from a shell, whose SIGPIPE is the
// default: a message to a reader that has gone neither kills the command
// (signal 13) nor changes what it exits with.
TEST_F(OutputCli, AMessageToAReaderThatHasGoneLeavesTheExitStatusAsItWas) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    QProcess cli;
    cli.setChildProcessModifier([fd = fds[1]] {
        std::signal(SIGPIPE, SIG_DFL);
        dup2(fd, STDERR_FILENO);
    });
    cli.start(BuildProgram(QStringLiteral("telvane-cli")), {"write", "XYZ", "5"});
    ASSERT_TRUE(cli.waitForFinished(30000));
    close(fds[1]);
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 2);
}

// "watch ... | head -n 2": once head has the header and the first row and
// ends, watch ends at once, although its next sample is ten minutes off, and
// quietly.
TEST_F(OutputCli, WatchEndsQuietlyAsSoonAsItsReaderGoesAway) {
    startBoard();
    QProcess cli;
    QProcess head;
    cli.setStandardOutputProcess(&head);
    head.start(QStringLiteral("head"), {"-n", "2"});
    start(cli, {"watch", "W182", "--every", "600000"});
    ASSERT_TRUE(head.waitForFinished(30000));
    EXPECT_EQ(head.readAllStandardOutput().count('\n'), 2);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(cli.readAllStandardError(), "");
}

} // namespace
