// The program download: the board's ident block, the confirmation, the
// records on the wire with their sums, and every way it stops.
#include "ProgramTransferFixture.h"

#include "ProgramTransfer.h"

#include <QDir>

namespace {

const QByteArray ExampleProgram = ":03200000010203D7\r\n:00000001FF\r\n";
const QString Invalid =
    "Program Dump|Currently Selected Program is Invalid.\n\nProgram Download Halted!|"
    "Exclamation|Ok";
const QString Complete = "Program Download|Program Download Complete!|Information|Ok";
const QString NotComplete = "Program Download|Program Download Not Complete!|Critical|Ok";

// Three records of four bytes at 4000, 4010 and 4020.
QByteArray threeRecords() {
    return ":044000001112131472\r\n"
           ":0440100021222324\r\n"
           ":0440200031323334\r\n"
           ":00000001FF\r\n";
}

class ProgramDownload : public ProgramTransferFixture {
protected:
    // The confirmation is answered Yes; the traffic before it is forgotten.
    bool download() {
        prompt.queue(Prompt::Answer::Yes);
        prompt.onShown = [this](const ScriptedPrompt::Shown& s) {
            if (s.buttons == Prompt::Buttons::YesNoCancel)
                port.clearTrace();
        };
        return link.DumpProgram();
    }
};

TEST_F(ProgramDownload, RecordExampleOnTheWireAndTheConfirmation) {
    board.memory().setText(ProgramTransfer::IdentAddress, "CUPR2700", 8);
    board.memory().setByte(ProgramTransfer::IdentAddress + 8, 0x3A);
    board.memory().setByte(ProgramTransfer::IdentAddress + 9, 4);
    selectDownload('D', ExampleProgram);
    ASSERT_TRUE(link.ValidProgram());
    EXPECT_TRUE(download());

    const QStringList all = shown();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0], "Program Download - [ABC]|"
                      "Program to be loaded into module (on disk):\r\n"
                      "  Program Ident: \t\tABC\r\n"
                      "  Program Revision: \t\t3\r\n"
                      "  Program Checksum: \t58\r\n"
                      "  Target Board: \t\tK2700(PLC)\r\n\r\n"
                      "Program currently loaded in module:\r\n"
                      "  Program Ident: \t\tCUPR2700\r\n"
                      "  Program Revision: \t\t4\r\n"
                      "  Program Checksum: \t58\r\n\r\n"
                      "Entire program file will be dumped to the PLC.\r\n"
                      "All outputs are off while program dump occurrs.\r\n\r\n"
                      "Do You Wish to Continue?\r\n|Question|YesNoCancel");
    EXPECT_EQ(all[1], Complete);

    const QString trace = takeTrace();
    // Arm (B8181 = 86), clear the fault code, attention, attention, mode 3.
    EXPECT_TRUE(trace.contains("h02 b55 h1F b1F hF5 bF5 h56 b56 "
                               "h1F b1F hF0 bF0 h00 b00 hFF b55 hFF b55 h03 b55 "))
        << trace.toStdString();
    // The record streams without answers and the board answers its sum; the
    // end record is never sent: the attention that ends loading follows.
    EXPECT_TRUE(trace.contains("h03 b55 h03 h20 h00 h01 h02 h03 b29 hFF b55 hFF b55 h02 b55"))
        << trace.toStdString();
    EXPECT_EQ(trace.count(" b29"), 1);
    EXPECT_EQ(board.memory().byte(0x2000), 1);
    EXPECT_EQ(board.memory().byte(0x2002), 3);
    EXPECT_EQ(board.memory().byte(8176), 0);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_FALSE(link.ValidProgram()); // a new download needs the project chosen again
    EXPECT_FALSE(link.InProgramMode());
    EXPECT_FALSE(link.WritingIdent());
    EXPECT_EQ(link.CurrentProgramAdd(), "2000H");
}

TEST_F(ProgramDownload, ThreeCharacterIdentIsPaddedWithZeroBytes) {
    board.memory().setText(ProgramTransfer::IdentAddress, "ZZZZZZZZ", 8);
    selectDownload('D', threeRecords(), "  ABC 3:03\r\n");
    ASSERT_TRUE(download());
    const auto& m = board.memory();
    const QByteArray expected("ABC\0\0\0\0\0", 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(m.byte(ProgramTransfer::IdentAddress + i), quint8(expected[i])) << i;
    EXPECT_EQ(m.byte(ProgramTransfer::IdentAddress + 8), 58);
    EXPECT_EQ(m.byte(ProgramTransfer::IdentAddress + 9), 3);
    EXPECT_EQ(m.byte(0x4000), 0x11);
    EXPECT_EQ(m.byte(0x4023), 0x34);
    EXPECT_EQ(board.program().records(), 3);
}

TEST_F(ProgramDownload, BoardIdentBytesBelow32AreLeftOutOfTheQuestion) {
    board.memory().setText(ProgramTransfer::IdentAddress,
                           QByteArray("AB\x01"
                                      "C\x1F",
                                      5),
                           8);
    selectDownload('D', ExampleProgram);
    prompt.queue(Prompt::Answer::No);
    EXPECT_FALSE(link.DumpProgram());
    const auto all = prompt.shown();
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all[0].text.contains("loaded in module:\r\n  Program Ident: \t\tABC\r\n"))
        << all[0].text.toStdString();
    // No: nothing written, still online, the project still selected.
    EXPECT_EQ(board.memory().byte(8181), 0);
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_FALSE(link.InProgramMode());
}

TEST_F(ProgramDownload, AnInvalidFileIsRefusedBeforeTheBoardIsTouched) {
    const QByteArray cases[] = {
        "03200000010203D7\r\n:00000001FF\r\n",        // first line without ":"
        ":0440000011121314\r\n:04401000212223\r\n",   // shorter than its count
        ":0440000011121314\r\n:0440100021222G24\r\n", // not a hex digit
        ":0440000011121314\r\n:024010022122\r\n",     // record type 02
        ":044000001112131473\r\n",                    // record checksum wrong
    };
    for (const QByteArray& hex : cases) {
        selectDownload('D', hex);
        ASSERT_TRUE(link.ValidProgram());
        EXPECT_FALSE(download());
        EXPECT_EQ(takeTrace(), "") << hex.constData();
        const QStringList all = shown();
        ASSERT_EQ(all.size(), 2);
        EXPECT_EQ(all[1], Invalid);
        EXPECT_FALSE(link.ValidProgram());
        EXPECT_TRUE(link.OnlineMode());
        EXPECT_FALSE(link.InProgramMode());
        EXPECT_EQ(board.memory().byte(0x4000), 0);
    }
}

TEST_F(ProgramDownload, BadRecordSumStopsTheDownload) {
    board.faults().programBadSumRecord = 1;
    selectDownload('D', threeRecords());
    EXPECT_FALSE(download());
    EXPECT_EQ(shown().last(), "Program Download|Checksum Error, Program Download Halted!|"
                              "Exclamation|Ok");
    EXPECT_EQ(board.program().records(), 2); // the third record was not sent
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_FALSE(link.InProgramMode());
    EXPECT_EQ(board.memory().byte(ProgramTransfer::IdentAddress), quint8('C')); // ident untouched
}

TEST_F(ProgramDownload, SilentBoardMidProgramIsAChecksumError) {
    board.memory().setText(ProgramTransfer::IdentAddress, "CUPR2700", 8);
    board.faults().programSilentFromRecord = 1;
    selectDownload('D', threeRecords());
    const qint64 before = clock.nowMs();
    EXPECT_FALSE(download());
    EXPECT_EQ(shown().last(), "Program Download|Checksum Error, Program Download Halted!|"
                              "Exclamation|Ok");
    EXPECT_GE(clock.nowMs() - before, 1000); // the record sum was awaited one second
    EXPECT_LT(clock.nowMs() - before, 1500);
    EXPECT_EQ(board.memory().byte(0x4020), 0); // the third record was not sent
    EXPECT_FALSE(link.OnlineMode());
}

TEST_F(ProgramDownload, ConfiguredBoardGetsItsRegistersBeforeTheRecords) {
    // Digits A = 2, B = 7, C = 1 at characters 36, 39 and 40.
    file("CUP.lcf", "F" + QByteArray(34, '0') + "2" + "00" + "71" + "000%\r\n");
    selectDownload('8', ExampleProgram);
    ASSERT_TRUE(link.ValidProgram());
    EXPECT_TRUE(download());
    EXPECT_EQ(board.memory().byte(8188), 5); // C = 1
    EXPECT_EQ(board.memory().byte(8189), 7); // B itself
    EXPECT_EQ(board.memory().byte(8190), 5); // A = 2
    const QString trace = takeTrace();
    const auto at = [&](const char* s) { return trace.indexOf(s); };
    // B8188, B8189, B8190 in this order, then attention and the mode byte.
    EXPECT_LT(at("h1F b1F hFC bFC h05"), at("h1F b1F hFD bFD h07"));
    EXPECT_LT(at("h1F b1F hFD bFD h07"), at("h1F b1F hFE bFE h05"));
    EXPECT_LT(at("h1F b1F hFE bFE h05 b05 hFF b55 h03 b55"), at("h03 h20 h00"));
    EXPECT_GE(at("h1F b1F hFE bFE h05 b05 hFF b55 h03 b55"), 0) << trace.toStdString();
}

TEST_F(ProgramDownload, IdentWriteThatFinallyFailsIsNotComplete) {
    selectDownload('D', ExampleProgram);
    // After the record, every address byte of the ident block is misheard.
    board.faults().wrongEchoWhen = [this](qint64, quint8 byte) {
        return board.program().records() == 1 && byte == 0xEF;
    };
    EXPECT_FALSE(download());
    const QStringList all = shown();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[1], "Program Download|Could Not Send Program Ident and Revision to PLC!|"
                      "Critical|Ok");
    EXPECT_EQ(all[2], NotComplete);
    EXPECT_FALSE(link.CommError());
    EXPECT_FALSE(link.OnlineMode());
}

// The board answers the last 255 only after it was sent again: that late 85 is
// the answer awaited, and the download goes on to the ident.
TEST_F(ProgramDownload, ALateAnswerToTheLastAttentionStillEndsProgramLoading) {
    selectDownload('D', ExampleProgram);
    prompt.queue(Prompt::Answer::Yes);
    ProgramTransfer job(link, ProgramTransfer::Direction::Download);
    while (job.Step() && (job.RecordCount() == 0 || job.RecordsDone() < job.RecordCount())) {
    }
    ASSERT_EQ(job.RecordsDone(), 1);
    board.faults().dropAnswerAt = board.bytesReceived(); // the 255 after the last record
    while (job.Step()) {
    }
    EXPECT_TRUE(job.Complete());
    EXPECT_EQ(shown().last(), Complete);
    EXPECT_EQ(board.memory().byte(ProgramTransfer::IdentAddress), quint8('A'));
    EXPECT_TRUE(link.OnlineMode());
}

TEST_F(ProgramDownload, Refusals) {
    // Offline.
    selectDownload('D', ExampleProgram);
    link.setOnlineMode(false);
    EXPECT_FALSE(link.DumpProgram());
    EXPECT_EQ(shown(), QStringList{"Program Download|Program is Currently OFFLINE.\n\nSwitch to "
                                   "ONLINE MODE to Continue.|Information|Ok"});
    link.setOnlineMode(true);
    // No valid program selected.
    link.setDownloadFile(path("NONE.kvl"));
    EXPECT_FALSE(link.DumpProgram());
    EXPECT_EQ(shown(), QStringList{"Program Download|Currently Selected Program is "
                                   "Invalid.\n\nProgram Download Halted!|Exclamation|Ok"});
    EXPECT_FALSE(link.InProgramMode());
    EXPECT_EQ(takeTrace(), "");
    // The program file is missing, or empty: nothing sent, still online.
    selectDownload('D', ExampleProgram);
    QFile::remove(path("CUP.hex"));
    EXPECT_FALSE(download());
    EXPECT_EQ(shown().last(), "Program Download|" + QDir::toNativeSeparators(path("CUP.hex")) +
                                  " File Does Not Exist.\n\nProgram Downloaded Halted|"
                                  "Information|Ok");
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(takeTrace(), "");
    selectDownload('D', "");
    EXPECT_FALSE(download());
    EXPECT_EQ(shown().last(), "Program Download|" + QDir::toNativeSeparators(path("CUP.hex")) +
                                  " File is Not Valid\n\nProgram Downloaded Halted|"
                                  "Exclamation|Ok");
    EXPECT_TRUE(link.OnlineMode());
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(ProgramDownload, StepsOneRecordAtATime) {
    selectDownload('D', threeRecords());
    prompt.queue(Prompt::Answer::Yes);
    ProgramTransfer job(link, ProgramTransfer::Direction::Download);
    int steps = 0;
    while (job.Step() && job.RecordsDone() == 0 && steps < 100)
        ++steps;
    EXPECT_EQ(job.RecordCount(), 3);
    EXPECT_EQ(job.RecordsDone(), 1);
    EXPECT_EQ(board.program().records(), 1);
    EXPECT_TRUE(link.InProgramMode());
    EXPECT_FALSE(link.OnlineMode()); // the background polling stays off
    ASSERT_TRUE(job.Step());
    EXPECT_EQ(board.program().records(), 2);
    while (job.Step()) {
        if (link.WritingIdent()) {
            EXPECT_TRUE(link.InProgramMode());
        }
    }
    EXPECT_TRUE(job.Complete());
}

} // namespace
