// Group upload and download from the File menu: the questions, the offer to
// go online, and the progress window that performs the transfer.
#include "AppFixture.h"
#include "LinkFixture.h"
#include "frmProcessing.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

const QString NotComplete =
    QStringLiteral("TELVANE|Error Processing Request\r\n\r\nProcess Not Complete|Exclamation|Ok");
const QString UploadQuestion =
    QStringLiteral("Data Upload|You are about to Upload Data from the PLC\r\n\r\nDo You Wish to "
                   "Continue?|Question|YesNo");
const QString DownloadQuestion =
    QStringLiteral("Data Download|You are about to Download Data to the PLC\r\n\r\nDo You Wish to "
                   "Continue?|Question|YesNo");
const QString OnlineQuestion = QStringLiteral(
    "Program Offline|Program is Currently OFFLINE\r\n\r\nDo You Wish to Switch to ONLINE MODE "
    "to Continue?|Question|YesNo");

// Notes what the progress window shows while it is the active modal window.
class ProgressWatcher {
public:
    ProgressWatcher() {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* w = qobject_cast<frmProcessing*>(QApplication::activeModalWidget());
            if (!w)
                return;
            ++seen;
            captions.insert(w->findChild<QLabel*>(QStringLiteral("lblProcessing"))->text());
            maximum = w->findChild<QProgressBar*>(QStringLiteral("prgProcessing"))->maximum();
        });
        m_timer.start();
    }
    int seen = 0;
    QSet<QString> captions;
    int maximum = -1;

private:
    QTimer m_timer;
};

class TransferWindowTest : public AppFixture {
protected:
    SharedState& shared() { return main->shared(); }
    void choose(const char* item) { action(item)->trigger(); }
};

TEST_F(TransferWindowTest, NoAtTheOnlineQuestionShowsNoWindowAndSendsNothing) {
    startMainWindow();
    shared().CurrentData.ValueTable[39] = 5;
    prompt.queue(Prompt::Answer::Yes);
    prompt.queue(Prompt::Answer::No);
    ProgressWatcher watcher;
    choose("mnuFileUploadData0");
    EXPECT_EQ(describeAll(prompt), (QStringList{UploadQuestion, OnlineQuestion}));
    EXPECT_EQ(watcher.seen, 0);
    EXPECT_EQ(port.opens(), 0);
    EXPECT_EQ(shared().CurrentData.ValueTable[39], 5);
    EXPECT_TRUE(shared().Files.gUploadNOW.size() > 0); // the upload was confirmed

    // No at the first question: not even the online question.
    prompt.clear();
    choose("mnuFileDownloadData4");
    EXPECT_EQ(describeAll(prompt), (QStringList{DownloadQuestion}));
    EXPECT_EQ(port.opens(), 0);
}

TEST_F(TransferWindowTest, UploadFromTheMenuFillsMemoryAndTellsTheViews) {
    startMainWindow();
    goOnline();
    board.memory().setWord(1020, 180);
    board.memory().setByte(4050, 9);
    shared().DataReplaced = false;
    prompt.queue(Prompt::Answer::Yes);
    ProgressWatcher watcher;
    choose("mnuFileUploadData0");
    EXPECT_EQ(describeAll(prompt), (QStringList{UploadQuestion}));
    EXPECT_GT(watcher.seen, 0);
    EXPECT_EQ(watcher.captions,
              (QSet<QString>{QStringLiteral("Uploading Set-up Parameters, Please Standby...")}));
    EXPECT_EQ(watcher.maximum, 12);
    EXPECT_EQ(shared().CurrentData.ValueTable[39], 180);
    EXPECT_EQ(shared().CurrentData.ValueTable[47], 9);
    EXPECT_TRUE(shared().DataReplaced);
    EXPECT_EQ(shared().TransferRequest, 0);
    EXPECT_FALSE(QApplication::activeModalWidget());
}

TEST_F(TransferWindowTest, YesAtTheOnlineQuestionGoesOnlineAndDownloads) {
    startMainWindow();
    shared().CurrentData.ValueTable[1] = 321;
    prompt.queue(Prompt::Answer::Yes);
    prompt.queue(Prompt::Answer::Yes);
    choose("mnuFileDownloadData2");
    EXPECT_EQ(describeAll(prompt), (QStringList{DownloadQuestion, OnlineQuestion}));
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_EQ(board.memory().word(1104), 321);
    EXPECT_EQ(shared().TransferRequest, 12);
    EXPECT_FALSE(shared().TimingDownloaded);
}

TEST_F(TransferWindowTest, ALinkThatDoesNotComeUpEndsWithTheNotCompleteMessage) {
    startMainWindow();
    port.failOpen(2, QStringLiteral("Permission denied"));
    prompt.queue(Prompt::Answer::Yes);
    prompt.queue(Prompt::Answer::Yes);
    choose("mnuFileUploadData4");
    const QStringList shown = describeAll(prompt);
    ASSERT_GE(shown.size(), 3);
    EXPECT_EQ(shown.back(), NotComplete);
    EXPECT_EQ(board.bytesReceived(), 0);
    EXPECT_EQ(shared().CurrentData, shared().DefaultData);
}

TEST_F(TransferWindowTest, ATimingDownloadThatFailsSaysSoAndMarksTheTimingDownloaded) {
    startMainWindow();
    goOnline();
    shared().CurrentData.PlsScale = -1;
    shared().TransferRequest = DataTransfer::DownloadTiming;
    frmProcessing window(main->context(), main.get());
    window.show();
    ASSERT_TRUE(pumpUntil([&] { return window.Finished(); }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(describeAll(prompt), (QStringList{NotComplete}));
    EXPECT_TRUE(shared().TimingDownloaded);
    EXPECT_EQ(board.pls().channel(0).on, 120); // the channels still went
}

TEST_F(TransferWindowTest, CancelMidTransferStopsAtTheNextEntryWithoutAMessage) {
    startMainWindow();
    goOnline();
    // Entry 5 cannot be written: the link's entry alert opens while the
    // transfer is under way, and Cancel is clicked behind it.
    shared().CurrentData.ValueTable[5] = -1;
    for (int i = 0; i < 38; ++i)
        shared().CurrentData.ValueTable[i] = 40 + i;
    shared().CurrentData.ValueTable[5] = -1;
    shared().TransferRequest = DataTransfer::DownloadShift;
    frmProcessing window(main->context(), main.get());
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        window.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    };
    window.show();
    ASSERT_TRUE(pumpUntil([&] { return window.Finished(); }));
    prompt.onShown = nullptr;
    EXPECT_EQ(window.transfer().Value(), 6);
    EXPECT_EQ(board.memory().word(1112), 44); // entry 4 went
    EXPECT_NE(board.memory().word(1116), 46); // entry 6 never did
    // The refused entry makes the transfer incomplete, and says so.
    const QStringList shown = describeAll(prompt);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("ENTRY ALERT|")));
    EXPECT_EQ(shown[1], NotComplete);
}

TEST_F(TransferWindowTest, TheCloseBoxCancelsAndTheWindowStaysUntilTheTransferEnds) {
    startMainWindow();
    goOnline();
    shared().CurrentData.ValueTable[41] = 280;
    shared().TransferRequest = DataTransfer::DownloadAll;
    frmProcessing window(main->context(), main.get());
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblProcessing"))->text(),
              "Downloading Data, Please Standby...");
    EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("prgProcessing"))->maximum(), 81);
    EXPECT_EQ(window.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text(), "&Cancel");
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(pumpUntil([&] { return window.Finished(); }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.transfer().Value(), 0);
    EXPECT_NE(board.memory().word(1024), 280);
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(TransferWindowTest, ABoardFallingSilentMidTransferEndsWithTheMessage) {
    startMainWindow();
    goOnline();
    board.memory().setWord(1104, 17);
    // Silent from the 60th byte of the transfer on.
    board.faults().silentFromByte = board.bytesReceived() + 60;
    shared().TransferRequest = DataTransfer::UploadShift;
    frmProcessing window(main->context(), main.get());
    window.show();
    ASSERT_TRUE(pumpUntil([&] { return window.Finished(); }));
    EXPECT_EQ(describeAll(prompt).back(), NotComplete);
    EXPECT_EQ(shared().CurrentData.ValueTable[1], 17);
    EXPECT_LT(window.transfer().Value(), 38);
}

} // namespace
