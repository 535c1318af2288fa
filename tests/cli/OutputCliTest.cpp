// telvane-cli's output that cannot be written, against telvane-boardsim over
// a real pseudo-terminal.
#include "CliFixture.h"

#include <QProcess>

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
