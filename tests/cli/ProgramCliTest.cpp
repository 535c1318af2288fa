// telvane-cli's program-download and program-upload against telvane-boardsim
// over a real pseudo-terminal.
#include "CliFixture.h"

#include <QFile>

namespace {

class ProgramCli : public CliFixture {
protected:
    void project(const QByteArray& hex) {
        writeFile("proj/CUP.kvl", "DPROJECT\r\n");
        writeFile("proj/CUP.rev", "ABC3:03\r\n");
        writeFile("proj/CUP.hex", hex);
    }
    QString kvl() const { return home.filePath("proj/CUP.kvl"); }
    QByteArray contents(const QString& name) const {
        QFile f(home.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

const QByteArray ThreeRecords = ":0440000011121314\r\n:0440100021222324\r\n"
                                ":0440200031323334\r\n:00000001FF\r\n";

TEST_F(ProgramCli, DownloadAnswersItsQuestionYesAndUploadReadsTheIdentBack) {
    startBoard();
    project(ThreeRecords);
    auto r = run({"program-download", kvl()});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.startsWith("telvane-cli: Program Download - [ABC]: Program to be loaded into module"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("Program Download: Program Download Complete!\n"))
        << r.err.toStdString();
    r = run({"read", "B16400", "B16419", "B61424", "B61427", "B61432", "B61433"});
    EXPECT_EQ(r.out, "33\n52\n65\n0\n58\n3\n");

    writeFile("up/UP.kvl", "ZPROJECT\r\n"); // a board without program memory here
    r = run({"program-upload", home.filePath("up/UP.kvl")});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "telvane-cli: Program Upload: Program Upload Complete!\n");
    EXPECT_EQ(contents("up/UP.rev"), QByteArray("ABC\0\0\0\0\0"
                                                "3:03\r\n",
                                                14));
    EXPECT_EQ(contents("up/UP.hex"), ":00000001FF\r\n");
}

TEST_F(ProgramCli, ABadRecordSumExitsOneAndABadFileTwo) {
    startBoard({"--program-bad-sum-at", "1"});
    project(ThreeRecords);
    auto r = run({"program-download", kvl()});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("Program Download: Checksum Error, Program Download Halted!\n"))
        << r.err.toStdString();
    project(":0440000011121314\r\n:04401000212223\r\n");
    r = run({"program-download", kvl()});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.endsWith(
        "Program Dump: Currently Selected Program is Invalid.\n\nProgram Download Halted!\n"))
        << r.err.toStdString();
    r = run({"program-upload", home.filePath("none/NONE.kvl")});
    EXPECT_EQ(r.exit, 2);
}

} // namespace
