// telvane-cli upload and download of groups, against telvane-boardsim over a
// real pseudo-terminal: the file after each, and the file left alone on failure.
#include "CliFixture.h"
#include "SdtFormat.h"
#include "SharedState.h"

#include <QFile>

namespace {

using TransferCli = CliFixture;

std::optional<SetupRecord> readRecord(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return SdtFormat::decode(f.readAll());
}

SetupRecord defaults() {
    SharedState state;
    InitRegisterMap(state);
    return state.DefaultData;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(TransferCli, UploadCreatesTheFileFromTheDefaultsAndDownloadSendsItBack) {
    startBoard();
    ASSERT_EQ(run({"write", "W1020", "123"}).exit, 0);
    const QString sdt = home.filePath("cupper.sdt");
    auto r = run({"upload", "setup", sdt});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, ""); // no progress line: standard error is no terminal here
    auto record = readRecord(sdt);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ValueTable[39], 123);
    EXPECT_EQ(record->VersionTag, BuildVersionTag());
    SetupRecord expected = defaults();
    expected.VersionTag = record->VersionTag;
    expected.ValueTable.replace(39, 123);
    for (int i = 38; i <= 48; ++i)
        expected.ValueTable.replace(i, record->ValueTable[i]);
    EXPECT_EQ(*record, expected); // only the group changed

    record->ValueTable[41] = 280;
    ASSERT_TRUE(home.writeFile("cupper.sdt", SdtFormat::encode(*record)));
    r = run({"download", "setup", sdt});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(run({"read", "W1024"}).out, "280\n");
}

TEST_F(TransferCli, TimingGoesToTheBoardAndComesBack) {
    startBoard();
    SetupRecord sent = defaults();
    sent.ChannelSetpoint[5] = {10, 300};
    sent.ChannelSetpoint[6] = {0, 0};
    sent.PlsConfig1 = 4;
    ASSERT_TRUE(home.writeFile("sent.sdt", SdtFormat::encode(sent)));
    auto r = run({"download", "timing", home.filePath("sent.sdt")});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(run({"pls-recall", "6"}).out, "2 0\n");

    r = run({"upload", "all", home.filePath("back.sdt")});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    const auto back = readRecord(home.filePath("back.sdt"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ChannelSetpoint, sent.ChannelSetpoint);
    EXPECT_EQ(back->PlsConfig1, 4);
    EXPECT_EQ(back->PlsConfig0, sent.PlsConfig0);
}

TEST_F(TransferCli, AFailedUploadLeavesTheFileExactlyAsItWas) {
    startBoard({"--silent-after", "150"});
    SetupRecord old = defaults();
    old.ValueTable[39] = 99;
    const QByteArray bytes = SdtFormat::encode(old);
    ASSERT_TRUE(home.writeFile("old.sdt", bytes));
    const auto r = run({"upload", "all", home.filePath("old.sdt")});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("TELVANE: Error Processing Request\n\nProcess Not Complete\n"
                               "telvane-cli: upload did not complete; "))
        << r.err.toStdString();
    EXPECT_EQ(fileBytes(home.filePath("old.sdt")), bytes);
}

TEST_F(TransferCli, AFileThatCannotBeSavedIsBlamedNotTheLink) {
    startBoard();
    // A folder that is not there: refused before the board is read.
    auto r = run({"upload", "setup", "/nonexistent/dir/x.sdt"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith(
        "telvane-cli: cannot save /nonexistent/dir/x.sdt: there is no folder /nonexistent/dir\n"))
        << r.err.toStdString();
    // A folder where nobody, root included, can create a file: read, then not saved.
    r = run({"upload", "setup", "/proc/x.sdt"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: TELVANE: Unable to save /proc/x.sdt.\n\n"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith(
        "telvane-cli: upload failed: the board was read, but /proc/x.sdt could not be saved\n"))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("link")) << r.err.toStdString();
}

TEST_F(TransferCli, AFileThatCannotBeReadIsWarnedAboutAndNothingIsSent) {
    // A silent board: any traffic would end in a communication error.
    startBoard({"--silent-after", "0"});
    ASSERT_TRUE(home.writeFile("junk.sdt", "not a set-up file"));
    auto r = run({"download", "all", home.filePath("junk.sdt")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("junk.sdt is not a set-up data file that can be read."))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("Communication Error"));

    r = run({"download", "setup", home.filePath("missing.sdt")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("Unable to open ")) << r.err.toStdString();

    // An upload never replaces a file that is not a set-up file.
    r = run({"upload", "setup", home.filePath("junk.sdt")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(fileBytes(home.filePath("junk.sdt")), "not a set-up file");

    r = run({"upload", "everything", home.filePath("new.sdt")});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("GROUP is setup, timing, shift or all")) << r.err.toStdString();
    EXPECT_EQ(run({"upload", "setup"}).exit, 2);
}

} // namespace
