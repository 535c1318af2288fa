// "Download &Program": the questions and refusals of the program command, and
// the progress window that streams the records one per step.
#include "AppFixture.h"
#include "LinkFixture.h"
#include "ScriptedFileDialogs.h"
#include "frmDownloadProg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

namespace {

const QString OfflineQuestion =
    "Program Offline|Program is Currently OFFLINE\r\n\r\nDo You Wish to Switch to ONLINE MODE "
    "to Continue?|Question|YesNo";
const QString KvlDialog = "Open|Korvel Files (*.kvl *.KVL)|";

class ProgramCommand : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow(true);
        main->context().setFileDialogs(dialogs);
        prompt.clear();
    }
    QString path(const QString& name) const { return folder.filePath("proj/" + name); }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QDir(folder.path()).mkpath("proj");
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A project for a K2700 with records at 2000, 2010, ... (count of them).
    void project(int records = 3) {
        writeFile("PRESS.kvl", "DPROJECT\r\n");
        writeFile("PRESS.rev", "PRESS3:03\r\n");
        QByteArray hex;
        for (int r = 0; r < records; ++r)
            hex += ":04" + QByteArray::number(0x2000 + 16 * r, 16).toUpper() + "00010203" +
                   QByteArray::number(r % 10).rightJustified(2, '0') + "\r\n";
        hex += ":00000001FF\r\n";
        writeFile("PRESS.hex", hex);
    }
    QStringList shown() {
        const QStringList all = describeAll(prompt);
        prompt.clear();
        return all;
    }
    QString downloadQuestion() const {
        return "Program Download|You are about to download \"PRESS.kvl\" to the "
               "K2700.\r\n\r\nDo you wish to continue?|Question|YesNo";
    }

    ScriptedFileDialogs dialogs;
};

TEST_F(ProgramCommand, OfflineQuestionAnsweredNoStopsThere) {
    prompt.queue(Prompt::Answer::No);
    main->ProgramFileCommand(0);
    EXPECT_EQ(shown(), QStringList{OfflineQuestion});
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(panelText("MODE"), "OFFLINE");
    EXPECT_EQ(takeTrace(), "");
}

TEST_F(ProgramCommand, OfflineQuestionAnsweredYesGoesOnlineThenACancelledDialogStops) {
    main->shared().Files.gProgramFilePath = path("OLD.kvl");
    prompt.queue(Prompt::Answer::Yes);
    main->ProgramFileCommand(0);
    EXPECT_EQ(shown(), QStringList{OfflineQuestion});
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_EQ(dialogs.shown(), QStringList{KvlDialog + path("OLD.kvl")});
    EXPECT_EQ(main->shared().Files.gProgramFilePath, path("OLD.kvl"));
}

TEST_F(ProgramCommand, AProjectThatFailsItsChecksStops) {
    goOnline();
    writeFile("PLS.kvl", "EPROJECT\r\n");
    dialogs.queue(path("PLS.kvl"));
    main->ProgramFileCommand(0);
    const QStringList all = shown();
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all[0].startsWith("PLS Program Download|PLS file is a PLS target board program."));
    EXPECT_EQ(main->shared().Files.gProgramFilePath, path("PLS.kvl"));
    // A revision file that is not there.
    writeFile("NOREV.kvl", "DPROJECT\r\n");
    dialogs.queue(path("NOREV.kvl"));
    main->ProgramFileCommand(0);
    ASSERT_EQ(shown().size(), 1);
    EXPECT_EQ(takeTrace().contains("h1F b1F hF5"), false); // nothing armed
}

TEST_F(ProgramCommand, DownloadQuestionAnsweredNoOpensNoWindow) {
    goOnline();
    project();
    dialogs.queue(path("PRESS.kvl"));
    prompt.queue(Prompt::Answer::No);
    main->ProgramFileCommand(0);
    EXPECT_EQ(shown(), QStringList{downloadQuestion()});
    EXPECT_TRUE(backgroundTimer()->isActive());
    EXPECT_TRUE(main->link().ValidProgram());
    EXPECT_EQ(board.memory().byte(0x2000), 0);
}

TEST_F(ProgramCommand, DownloadRunsInItsWindowOneRecordPerStep) {
    goOnline();
    project(40);
    dialogs.queue(path("PRESS.kvl"));
    prompt.queue(Prompt::Answer::Yes); // the download question
    prompt.queue(Prompt::Answer::Yes); // the confirmation with both idents
    QStringList captions;
    QList<int> recordsSeen;
    bool timerWasOff = false;
    QTimer watcher;
    prompt.onShown = [&](const ScriptedPrompt::Shown& s) {
        if (s.buttons != Prompt::Buttons::YesNoCancel)
            return;
        // The window is up: watch it between the steps of the download.
        timerWasOff = !backgroundTimer()->isActive();
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto* window = qobject_cast<frmDownloadProg*>(QApplication::activeModalWidget());
            if (!window)
                return;
            window->Timer1_Timer();
            const QString caption = window->findChild<QLabel*>("lblWaitDisplay")->text();
            if (captions.isEmpty() || captions.last() != caption)
                captions.append(caption);
            recordsSeen.append(board.program().records());
            window->close(); // ignored while the transfer runs
        });
        watcher.start(0);
    };
    action("mnuFileDownloadProgram")->trigger();
    watcher.stop();

    const QStringList all = shown();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0], downloadQuestion());
    EXPECT_TRUE(all[1].startsWith("Program Download - [PRESS]|"));
    EXPECT_EQ(all[2], "Program Download|Program Download Complete!|Information|Ok");
    EXPECT_TRUE(timerWasOff);
    EXPECT_TRUE(backgroundTimer()->isActive());
    EXPECT_EQ(panelText("MODE"), "ONLINE");
    EXPECT_EQ(board.memory().byte(0x2000 + 16 * 39 + 3), 9);
    // The event loop ran between records: the window saw them one by one.
    recordsSeen.removeAll(0);
    recordsSeen.removeAll(40);
    EXPECT_GE(recordsSeen.size(), 20);
    EXPECT_TRUE(captions.contains("Writing to Program Address: 2000H"));
    EXPECT_TRUE(captions.contains("Writing to Program Address: 2100H"));
    EXPECT_TRUE(captions.contains("Writing Program Ident ... "));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ProgramCommand, TheUploadWindowReadsIntoTheProject) {
    goOnline();
    writeFile("UP.kvl", "ZPROJECT\r\n"); // no program memory: only the end record
    main->link().setUploadFile(path("UP.kvl"));
    main->link().setInUploadMode(true);
    frmDownloadProg window(main->context(), main.get());
    window.SetTransferMode(1);
    EXPECT_EQ(window.findChild<QLabel*>("lblWaitDisplay")->text(), "Reading Program at Address: ");
    window.exec();
    EXPECT_TRUE(window.Complete());
    EXPECT_EQ(window.TransferMode(), 0);
    QFile hex(path("UP.hex"));
    ASSERT_TRUE(hex.open(QIODevice::ReadOnly));
    EXPECT_EQ(hex.readAll(), ":00000001FF\r\n");
}

} // namespace
