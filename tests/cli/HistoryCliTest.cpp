// The set-up history of telvane-cli: snapshots taken by upload and download
// against telvane-boardsim over a real pseudo-terminal, kept in a real
// SQLite file in the home's data folder; history, show and export.
#include "CliFixture.h"

#include <QFile>
#include <memory>

namespace {

using HistoryCli = CliFixture;

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString historyFile(const ProgramHome& home) {
    return home.dataFolder() + "/telvane/history.sqlite";
}

TEST_F(HistoryCli, UploadsAndDownloadsKeepSnapshotsThatExportAsTheFileByteForByte) {
    startBoard();
    ASSERT_EQ(run({"write", "W1020", "123"}).exit, 0);
    const QString sdt = home.filePath("cupper.sdt");
    auto r = run({"upload", "setup", sdt});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    r = run({"download", "all", sdt});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();

    r = run({"history"}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    const QStringList first = lines[0].split('\t');
    ASSERT_EQ(first.size(), 7);
    EXPECT_EQ(first[0], "1");
    EXPECT_TRUE(QDateTime::fromString(first[1], Qt::ISODate).isValid()) << first[1].toStdString();
    EXPECT_EQ(first.mid(2, 4), QStringList({pty, pty, "upload", "setup"}));
    EXPECT_EQ(lines[1].split('\t').mid(4, 2), QStringList({"download", "all"}));

    r = run({"history", "export", "1", home.filePath("again.sdt")}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(fileBytes(home.filePath("again.sdt")), fileBytes(sdt));

    // The values as diff prints its rows: name, address, value.
    r = run({"history", "show", "1"}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines().size(), 11);
    EXPECT_TRUE(r.lines().contains("TDC Stop Position (Low Speed)\tW1020\t123\u00B0"))
        << r.out.toStdString();
    r = run({"history", "show", "2"}, false);
    EXPECT_GT(r.lines().size(), 11 + 40); // the timing channels and the shift data too

    r = run({"history", "show", "3"}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: there is no snapshot 3 in " + historyFile(home) + "\n");
    r = run({"history", "export", "x", "y.sdt"}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: not a snapshot number: 'x'\n"));
}

TEST_F(HistoryCli, APressNameGroupsTheSnapshotsTakenOnItsDeviceFromThenOn) {
    startBoard();
    ASSERT_EQ(run({"upload", "setup", home.filePath("a.sdt")}).exit, 0);
    auto r = run({"port", "1", "19200", pty, "--name", "Press 7"}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("device=" + pty + "\npress=Press 7\n")) << r.out.toStdString();
    ASSERT_EQ(run({"upload", "timing", home.filePath("b.sdt")}).exit, 0);

    r = run({"history", "Press 7"}, false);
    ASSERT_EQ(r.lines().size(), 1) << r.out.toStdString();
    EXPECT_EQ(r.lines()[0].split('\t').mid(2, 4),
              QStringList({"Press 7", pty, "upload", "timing"}));
    // The one before the name stays under its device.
    EXPECT_EQ(run({"history", pty}, false).lines().size(), 1);
    EXPECT_TRUE(run({"port"}, false).out.endsWith("press=Press 7\n"));

    // A name that would break the list's lines or columns is refused before
    // anything is saved; blanks around a name are not kept.
    for (const QString& bad : {QString("Press\t8"), QString("Press\n8"), QString(65, 'P')}) {
        r = run({"port", "1", "19200", pty, "--name", bad}, false);
        EXPECT_EQ(r.exit, 2) << bad.toStdString();
        EXPECT_TRUE(r.err.contains("press name")) << r.err.toStdString();
    }
    EXPECT_TRUE(run({"port", "1", "19200", pty, "--name", "  Press 8 "}, false)
                    .out.endsWith("press=Press 8\n"));
}

TEST_F(HistoryCli, ASnapshotIsASideOfDiffAndTheBoardThatDiffReadIsKept) {
    startBoard();
    ASSERT_EQ(run({"write", "W1020", "123"}).exit, 0);
    ASSERT_EQ(run({"upload", "setup", home.filePath("a.sdt")}).exit, 0);
    ASSERT_EQ(run({"write", "W1020", "200"}).exit, 0);
    const QString changed = "TDC Stop Position (Low Speed)\tW1020\t123\u00B0\t200\u00B0\n";
    auto r = run({"diff", "history:1", "board", "--groups", "setup"});
    EXPECT_EQ(r.exit, 1) << r.err.toStdString();
    EXPECT_EQ(r.out, changed);
    r = run({"history"}, false);
    ASSERT_EQ(r.lines().size(), 2);
    EXPECT_EQ(r.lines()[1].split('\t').mid(4, 2), QStringList({"compare", "setup"}));
    EXPECT_EQ(run({"diff", "history:1", "history:2", "--groups", "setup"}, false).out, changed);

    r = run({"diff", "history:7", "board"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: there is no snapshot 7 in " + historyFile(home) + "\n");
    r = run({"diff", "history:x", "board"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: not a snapshot number: 'history:x'\n"));
}

TEST_F(HistoryCli, FourUploadsAtOnceKeepFourSnapshotsAndNoneWaitsInVain) {
    std::vector<std::unique_ptr<BoardProcess>> boards;
    std::vector<std::unique_ptr<QProcess>> uploads;
    for (int i = 0; i < 4; ++i) {
        boards.push_back(std::make_unique<BoardProcess>());
        ASSERT_TRUE(boards.back()->started());
    }
    for (int i = 0; i < 4; ++i) {
        auto& p = uploads.emplace_back(std::make_unique<QProcess>());
        p->setProcessEnvironment(ProgramEnvironment(home));
        p->start(BuildProgram("telvane-cli"),
                 {"--device", boards[size_t(i)]->pty(), "upload", "all",
                  home.filePath(QStringLiteral("press%1.sdt").arg(i))});
    }
    for (auto& p : uploads) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_EQ(p->readAllStandardError(), "");
    }
    const auto r = run({"history"}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    ASSERT_EQ(r.lines().size(), 4) << r.out.toStdString();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(r.out.contains("\t" + boards[size_t(i)]->pty() + "\tupload\tall\t"));
}

TEST_F(HistoryCli, AHistoryThatCannotBeKeptLeavesTheWorkAsItWasAndIsSaidOnce) {
    startBoard();
    // A damaged file: the upload's file and status as always; the file untouched.
    ASSERT_TRUE(home.writeFile(".local/share/telvane/history.sqlite", "damaged, not SQLite"));
    const QString sdt = home.filePath("cupper.sdt");
    auto r = run({"upload", "setup", sdt});
    EXPECT_EQ(r.exit, 0);
    const QString why = "cannot read " + historyFile(home) + ": file is not a database";
    EXPECT_EQ(r.err, "telvane-cli: the set-up history could not be kept: " + why + "\n");
    EXPECT_EQ(fileBytes(sdt).size(), 667);
    r = run({"download", "setup", sdt});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err.count("could not be kept"), 1);
    r = run({"history"}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: " + why + "\n");
    EXPECT_EQ(fileBytes(historyFile(home)), "damaged, not SQLite");

    // A data folder where nothing can be created.
    QProcessEnvironment env = ProgramEnvironment(home);
    env.insert("XDG_DATA_HOME", "/proc/telvane-data");
    r = RunProgramIn(env, "telvane-cli", {"--device", pty, "upload", "all", sdt});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "telvane-cli: the set-up history could not be kept: cannot create the "
                     "folder /proc/telvane-data/telvane for the set-up history\n");
    r = RunProgramIn(env, "telvane-cli", {"history", "show", "1"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("cannot create the folder")) << r.err.toStdString();
}

} // namespace
