// The program upload: the ident block into the revision file, the
// configuration registers, the program memory as records, and files that are
// replaced only when everything was read.
#include "ProgramTransferFixture.h"

#include "ProgramTransfer.h"

#include <QDir>

namespace {

class ProgramUpload : public ProgramTransferFixture {
protected:
    void selectUpload(char code) {
        file("CUP.kvl", QByteArray(1, code) + "PROJECT\r\n");
        link.setUploadFile(path("CUP.kvl"));
        link.setInUploadMode(true);
    }
    void setIdent(const QByteArray& ident, int checksum, int revision) {
        board.memory().setText(ProgramTransfer::IdentAddress, ident, 8);
        board.memory().setByte(ProgramTransfer::IdentAddress + 8, checksum);
        board.memory().setByte(ProgramTransfer::IdentAddress + 9, revision);
    }
};

TEST_F(ProgramUpload, BoardFourGives512RecordsAndTheEndRecord) {
    for (int a = 0x2000; a < 0x4000; ++a)
        board.memory().setByte(a, a * 7);
    setIdent("CUPR2700", 0x3A, 0xB4);
    selectUpload('4');
    EXPECT_TRUE(link.UploadProgram());
    EXPECT_EQ(shown(), QStringList{"Program Upload|Program Upload Complete!|Information|Ok"});

    const QList<QByteArray> lines = contents("CUP.hex").split('\n');
    ASSERT_EQ(lines.size(), 514); // 512 records, the end record, nothing after the last CR LF
    EXPECT_EQ(lines[0],
              ":10200000" + QByteArray("00070E151C232A31383F464D545B6269").toUpper() + "\r");
    EXPECT_EQ(lines[511].left(9), ":103FF000");
    EXPECT_EQ(lines[512], ":00000001FF\r");
    EXPECT_EQ(lines[513], "");
    for (const QByteArray& line : lines.mid(0, 512))
        ASSERT_EQ(line.size(), 1 + 8 + 32 + 1) << line.constData();
    EXPECT_EQ(contents("CUP.rev"), "CUPR27003:;4\r\n"); // 3A, B4 in MarkHEX
    EXPECT_FALSE(QFile::exists(path("CUP.lcf")));       // not a configured board
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_FALSE(link.InUploadMode());
    EXPECT_FALSE(link.ReadingIdent());
    EXPECT_EQ(link.CurrentProgramAdd(), "3FF0H");
}

TEST_F(ProgramUpload, IdentBytesBelow32GoIntoTheRevisionFile) {
    setIdent(QByteArray("AB\x01", 3), 5, 0x0C);
    selectUpload('Z'); // no program memory: only the end record
    EXPECT_TRUE(link.UploadProgram());
    EXPECT_EQ(contents("CUP.rev"), QByteArray("AB\x01\0\0\0\0\0"
                                              "050<\r\n",
                                              14));
    EXPECT_EQ(contents("CUP.hex"), ":00000001FF\r\n");
}

TEST_F(ProgramUpload, ConfiguredBoardWritesItsConfigurationLine) {
    board.memory().setByte(8190, 5);  // A = 2
    board.memory().setByte(8189, 7);  // B = 7
    board.memory().setByte(8188, 10); // C = 2
    selectUpload('8');
    EXPECT_TRUE(link.UploadProgram());
    EXPECT_EQ(contents("CUP.lcf"), "F" + QByteArray(34, '0') + "2007" + "2000%\r\n");
    // What the upload wrote, the download reads back.
    link.setDownloadFile(path("CUP.kvl"));
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_EQ(link.Project().ConfigDigits(), (std::array<int, 3>{2, 7, 2}));
}

TEST_F(ProgramUpload, AFailureLeavesTheOldFilesUntouched) {
    file("CUP.rev", "OLD3:03\r\n");
    file("CUP.hex", ":00000001FF\r\n");
    file("CUP.lcf", "old configuration\r\n");
    selectUpload('8');
    board.faults().silentFromByte = board.bytesReceived() + 600; // within the records
    EXPECT_FALSE(link.UploadProgram());
    const QStringList all = shown();
    ASSERT_FALSE(all.isEmpty());
    EXPECT_EQ(all.last(), "Program Upload|Program Upload Not Complete!\n\nHEX file not "
                          "created.|Critical|Ok");
    EXPECT_EQ(contents("CUP.rev"), "OLD3:03\r\n");
    EXPECT_EQ(contents("CUP.hex"), ":00000001FF\r\n");
    EXPECT_EQ(contents("CUP.lcf"), "old configuration\r\n");
    EXPECT_EQ(QDir(programFolder() + "/proj").entryList(QDir::Files).size(), 4);
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_FALSE(link.InUploadMode());
}

// A configuration register the board never gave is no digit for the file, and
// a project that is gone names no board: either way nothing is written.
TEST_F(ProgramUpload, AFailedConfigurationReadOrAVanishedProjectWritesNothing) {
    selectUpload('8');
    board.faults().wrongEchoWhen = [](qint64, quint8 byte) { return byte == 0x1F; }; // B8190..
    EXPECT_FALSE(link.UploadProgram());
    EXPECT_EQ(shown(), QStringList{"Program Upload|Program Upload Not Complete!\n\nHEX file not "
                                   "created.|Critical|Ok"});
    EXPECT_FALSE(link.CommError());
    EXPECT_EQ(QDir(programFolder() + "/proj").entryList(QDir::Files), QStringList{"CUP.kvl"});

    board.faults().wrongEchoWhen = nullptr;
    link.setOnlineMode(true);
    selectUpload('8');
    QFile::remove(path("CUP.kvl"));
    EXPECT_FALSE(link.UploadProgram());
    const QStringList all = texts();
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all[0].startsWith("RSComm-Upload Program|Error Number = ")) << all[0].toStdString();
    EXPECT_TRUE(QDir(programFolder() + "/proj").entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(link.InUploadMode());
}

TEST_F(ProgramUpload, NothingWithoutUploadModeAndARefusalOffline) {
    selectUpload('4');
    link.setInUploadMode(false);
    EXPECT_FALSE(link.UploadProgram());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(takeTrace(), "");
    link.setInUploadMode(true);
    link.setOnlineMode(false);
    EXPECT_FALSE(link.UploadProgram());
    EXPECT_EQ(shown(), QStringList{"Program Upload|Program is Currently OFFLINE.\n\nSwitch to "
                                   "ONLINE MODE to Continue.|Information|Ok"});
    EXPECT_FALSE(link.InUploadMode());
    EXPECT_FALSE(QFile::exists(path("CUP.hex")));
}

TEST_F(ProgramUpload, ADownloadedProgramComesBackAsItWent) {
    file("CUP.kvl", "4PROJECT\r\n");
    file("CUP.rev", "PRESS1 ?;07\r\n");
    QByteArray hex;
    for (int r = 0; r < 512; ++r) {
        hex += QStringLiteral(":10%1")
                   .arg(0x2000 + r * 16, 4, 16, QLatin1Char('0'))
                   .toUpper()
                   .toLatin1() +
               "00";
        for (int i = 0; i < 16; ++i)
            hex += QStringLiteral("%1")
                       .arg((r * 31 + i * 5) & 0xFF, 2, 16, QLatin1Char('0'))
                       .toUpper()
                       .toLatin1();
        hex += "\r\n";
    }
    hex += ":00000001FF\r\n";
    file("CUP.hex", hex);
    link.setDownloadFile(path("CUP.kvl"));
    prompt.queue(Prompt::Answer::Yes);
    ASSERT_TRUE(link.DumpProgram());
    ASSERT_TRUE(link.OnlineMode());
    link.setUploadFile(path("CUP.kvl"));
    link.setInUploadMode(true);
    ASSERT_TRUE(link.UploadProgram());
    EXPECT_EQ(contents("CUP.hex"), hex);
    EXPECT_EQ(contents("CUP.rev"), QByteArray("PRESS1\0\0?;07\r\n", 14));
}

} // namespace
