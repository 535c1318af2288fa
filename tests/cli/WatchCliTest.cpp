// telvane-cli watch against telvane-boardsim over a real pseudo-terminal.
#include "CliFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

using WatchCli = CliFixture;

const QRegularExpression Row(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,\d+,\d+$)");

TEST_F(WatchCli, WritesTheHeaderAndOneRowPerSample) {
    startBoard();
    const auto r = run({"watch", "w182", "W1040", "--every", "20", "--count", "3"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_EQ(lines[0], "time,W182,W1040");
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(Row.match(line).hasMatch()) << line.toStdString();
}

TEST_F(WatchCli, SigtermEndsItCleanlyWithEveryRowWritten) {
    startBoard();
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVANE_HOME"), home.path());
    cli.setProcessEnvironment(env);
    cli.start(BuildProgram("telvane-cli"), {"--device", pty, "watch", "W182", "W1040"});
    QByteArray out;
    QElapsedTimer safety;
    safety.start();
    while (out.count('\n') < 4 && safety.elapsed() < 30000) {
        cli.waitForReadyRead(1000);
        out += cli.readAllStandardOutput();
    }
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(30000));
    out += cli.readAllStandardOutput();
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    ASSERT_TRUE(out.endsWith('\n'));
    const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(Row.match(line).hasMatch()) << line.toStdString();
}

TEST_F(WatchCli, ALostLinkEndsItWithTheRowsSoFarAndExitOne) {
    // The greeting and a few rows, then silence.
    startBoard({"--silent-after", "40"});
    const auto r = run({"watch", "W182", "W1040"});
    EXPECT_EQ(r.exit, 1);
    const QStringList lines = r.lines();
    ASSERT_GE(lines.size(), 2) << r.out.toStdString();
    EXPECT_EQ(lines[0], "time,W182,W1040");
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(Row.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(r.err.contains("watch failed: the link to the board failed on " + pty))
        << r.err.toStdString();
}

TEST_F(WatchCli, BadArgumentsAreUsageErrorsAndNothingIsSent) {
    for (const QStringList& args : {QStringList{"watch"},
                                    {"watch", "Q12"},
                                    {"watch", "W182", "--every", "-5"},
                                    {"watch", "W182", "--count", "0"},
                                    {"watch", "W182", "--duration"},
                                    {"watch", "W182", "--often", "3"}}) {
        const auto r = run(args, false);
        EXPECT_EQ(r.exit, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
