#include "AppFixture.h"
#include "FileDialogs.h"
#include "LinkFixture.h"
#include "ScriptedFileDialogs.h"
#include "SdtFormat.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class SetupFiles : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        prompt.clear();
    }
    SetupRecord& current() { return main->shared().CurrentData; }
    void trigger(const char* name) { action(name)->trigger(); }
    QString path(const QString& name) const { return folder.filePath(name); }
    QByteArray fileBytes(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void change() { current().ValueTable[42] = 111; }
    QStringList shown() const { return describeAll(prompt); }

    ScriptedFileDialogs dialogs;
};

const QString SaveQuestion = "TELVANE|Save Changes to File?|Exclamation|YesNoCancel";

TEST_F(SetupFiles, SaveAsThenOpenGivesTheDataBackWithoutQuestions) {
    change();
    dialogs.queue(path("press4.sdt"));
    trigger("mnuFileSaveAs");
    EXPECT_EQ(dialogs.shown(),
              QStringList{"Save|Setup Files (*.sdt *.SDT)|" + folder.path() + "/"});
    EXPECT_EQ(fileBytes("press4.sdt").size(), 667);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [press4.sdt]");
    EXPECT_EQ(main->SaveChangesPrompt(), 0);

    prompt.queue(Prompt::Answer::No);
    current().ValueTable[42] = 5;
    trigger("mnuFileNew");
    EXPECT_EQ(shown(), QStringList{SaveQuestion});
    EXPECT_EQ(current(), main->shared().DefaultData);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [unnamed]");
    EXPECT_EQ(fileBytes("press4.sdt").size(), 667); // No writes nothing

    prompt.clear();
    dialogs.queue(path("press4.sdt"));
    trigger("mnuFileOpen");
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(current().ValueTable[42], 111);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [press4.sdt]");
    EXPECT_EQ(main->shared().Files.gFileNamePath, path("press4.sdt"));
    EXPECT_FALSE(main->shared().Untitled);
    EXPECT_EQ(main->SaveChangesPrompt(), 0);

    // Save writes to the same file without a dialog.
    current().ValueTable[42] = 112;
    trigger("mnuFileSave");
    const auto saved = SdtFormat::decode(fileBytes("press4.sdt"));
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->ValueTable.size(), 49);
    EXPECT_EQ(saved->ValueTable[42], 112);
    EXPECT_EQ(dialogs.shown().size(), 2); // Save As and Open
}

TEST_F(SetupFiles, OpenDialogStartsInTheProgramFolder) {
    trigger("mnuFileOpen");
    EXPECT_EQ(dialogs.shown(),
              QStringList{"Open|Setup Files (*.sdt *.SDT)|" + folder.path() + "/*.sdt"});
}

TEST_F(SetupFiles, DialogsStartInTheFolderOfTheCurrentFileAndNamesGetTheirExtension) {
    ASSERT_TRUE(QDir(folder.path()).mkpath("jobs"));
    change();
    dialogs.queue(path("jobs/press7"));
    trigger("mnuFileSaveAs");
    EXPECT_EQ(fileBytes("jobs/press7.sdt").size(), 667);
    EXPECT_FALSE(QFile::exists(path("jobs/press7")));
    EXPECT_EQ(main->windowTitle(), "TELVANE - [press7.sdt]");

    trigger("mnuFileOpen");   // cancelled
    trigger("mnuFileSaveAs"); // cancelled
    dialogs.queue(path("jobs/shift"));
    trigger("mnuFileExport");
    EXPECT_EQ(fileBytes("jobs/shift.txt").count("\r\n"), 48);
    // A name with an extension of its own keeps it.
    dialogs.queue(path("jobs/press7.bak"));
    trigger("mnuFileSaveAs");
    EXPECT_EQ(fileBytes("jobs/press7.bak").size(), 667);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [press7.bak]");
    EXPECT_EQ(dialogs.shown(), (QStringList{
                                   "Save|Setup Files (*.sdt *.SDT)|" + folder.path() + "/",
                                   "Open|Setup Files (*.sdt *.SDT)|" + path("jobs/press7.sdt"),
                                   "Save|Setup Files (*.sdt *.SDT)|" + path("jobs/"),
                                   "Save|Text Files (*.txt *.TXT)|" + path("jobs/"),
                                   "Save|Setup Files (*.sdt *.SDT)|" + path("jobs/"),
                               }));
}

TEST(DefaultSuffix, IsAddedOnlyToANameWithoutExtension) {
    EXPECT_EQ(WithDefaultSuffix("/data/press4", "sdt"), "/data/press4.sdt");
    EXPECT_EQ(WithDefaultSuffix("/data.old/press4", "sdt"), "/data.old/press4.sdt");
    EXPECT_EQ(WithDefaultSuffix("/data/press4.SDT", "sdt"), "/data/press4.SDT");
    EXPECT_EQ(WithDefaultSuffix("/data/press4.txt", "sdt"), "/data/press4.txt");
    EXPECT_EQ(WithDefaultSuffix("/data/shift", "txt"), "/data/shift.txt");
    EXPECT_EQ(WithDefaultSuffix("", "sdt"), "");
    EXPECT_EQ(WithDefaultSuffix("/data/press4", ""), "/data/press4");
}

// The real dialog: it opens in the preset folder, and a name typed without an
// extension comes back with the default suffix. It is driven as the user
// would (a name typed into its box, then accepted), without running it
// modally, so that no timing decides when it is up.
TEST(QtFileDialogs, SaveStartsInThePresetFolderAndAddsTheSuffix) {
    EnsureApplication();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto dialog =
        QtFileDialogs::saveDialog(nullptr, "Setup Files (*.sdt *.SDT)", folder.path(), "sdt");
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("press9"));
    QSignalSpy accepted(dialog.get(), &QDialog::accepted);
    static_cast<QDialog*>(dialog.get())->accept(); // public there
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(QtFileDialogs::chosenFile(*dialog),
              QDir(folder.path()).absoluteFilePath("press9.sdt"));
}

// An installed program (its folder cannot be written) for a user who has no
// documents folder: Save As opens in the home folder with nothing in the
// name box, so that pressing Save cannot write "~/Documents.sdt".
TEST(QtFileDialogs, SaveAsForAUserWithoutDocumentsStartsAtHomeWithAnEmptyName) {
    EnsureApplication();
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const QString start = FileDialogStart(QStringLiteral("/proc"));
    // Save As presets the folder of "START/*.sdt"; a folder that went away
    // since (a stick pulled out) is no name either.
    for (const QString& preset : {start + "/", home.filePath("Documents/")}) {
        SCOPED_TRACE(preset.toStdString());
        const auto dialog =
            QtFileDialogs::saveDialog(nullptr, "Setup Files (*.sdt *.SDT)", preset, "sdt");
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(home.path()).absolutePath());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "");
    }
    qputenv("HOME", savedHome);
}

TEST_F(SetupFiles, UnchangedDataAsksNothing) {
    trigger("mnuFileNew");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(SetupFiles, CancelAtTheSaveQuestionChangesNothing) {
    change();
    prompt.queue(Prompt::Answer::Cancel);
    trigger("mnuFileNew");
    prompt.queue(Prompt::Answer::Cancel);
    trigger("mnuFileOpen");
    EXPECT_EQ(shown(), (QStringList{SaveQuestion, SaveQuestion}));
    EXPECT_EQ(current().ValueTable[42], 111);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(SetupFiles, YesWithACancelledSaveAsKeepsTheData) {
    change();
    prompt.queue(Prompt::Answer::Yes);
    trigger("mnuFileNew"); // Save As offered and cancelled
    EXPECT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(current().ValueTable[42], 111);
    prompt.queue(Prompt::Answer::Yes);
    trigger("mnuFileOpen");
    EXPECT_EQ(dialogs.shown().size(), 2); // the Save As again, but no Open dialog
    EXPECT_EQ(current().ValueTable[42], 111);
}

TEST_F(SetupFiles, YesWithAFailedWriteWarnsAndKeepsEverything) {
    change();
    prompt.queue(Prompt::Answer::Yes);
    const QString bad = path("no such folder/press4.sdt");
    dialogs.queue(bad);
    trigger("mnuFileNew");
    ASSERT_EQ(shown().size(), 2);
    EXPECT_TRUE(shown()[1].startsWith("TELVANE|Unable to save " + bad + ".\n\n"))
        << shown()[1].toStdString();
    EXPECT_TRUE(shown()[1].endsWith("|Exclamation|Ok"));
    EXPECT_EQ(current().ValueTable[42], 111);
    EXPECT_NE(main->shared().SavedData, current());
    EXPECT_TRUE(main->shared().Untitled);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [unnamed]");
    EXPECT_EQ(main->shared().Files.gFileNamePath, folder.path() + "/*.sdt");
}

TEST_F(SetupFiles, YesSavesThenGoesOn) {
    change();
    prompt.queue(Prompt::Answer::Yes);
    dialogs.queue(path("kept.sdt"));
    trigger("mnuFileNew");
    const auto kept = SdtFormat::decode(fileBytes("kept.sdt"));
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->ValueTable.size(), 49);
    EXPECT_EQ(kept->ValueTable[42], 111);
    EXPECT_EQ(current(), main->shared().DefaultData);
}

TEST_F(SetupFiles, EveryPlsValueAndChannelCountsAsAChange) {
    current().ChannelSetpoint[9][1] = 90;
    EXPECT_EQ(main->SaveChangesPrompt(), 2);
    current() = main->shared().SavedData;
    current().PlsScale = 720;
    EXPECT_EQ(main->SaveChangesPrompt(), 2);
    current() = main->shared().SavedData;
    current().PlsConfig2to9[7] = 3;
    EXPECT_EQ(main->SaveChangesPrompt(), 2);
    current() = main->shared().SavedData;
    current().AddressTable[0] = "W1";
    EXPECT_EQ(main->SaveChangesPrompt(), 0); // the address table is not compared
    EXPECT_EQ(shown(), (QStringList{SaveQuestion, SaveQuestion, SaveQuestion}));
}

TEST_F(SetupFiles, ExitAsksAndCancelKeepsTheProgram) {
    change();
    prompt.queue(Prompt::Answer::Cancel);
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    prompt.queue(Prompt::Answer::Yes); // Save As cancelled: still running
    EXPECT_FALSE(main->close());
    prompt.queue(Prompt::Answer::No);
    EXPECT_TRUE(main->close());
    EXPECT_EQ(shown(), (QStringList{SaveQuestion, SaveQuestion, SaveQuestion}));
}

TEST_F(SetupFiles, AnotherVersionAsksAndEachAnswerDoesItsPart) {
    SetupRecord other = main->shared().DefaultData;
    other.VersionTag = "TELVANE_R2.1.3";
    other.ValueTable[43] = 222;
    writeFile("old.sdt", SdtFormat::encode(other));
    const QString question =
        "TELVANE|File created by set-up program version: TELVANE_R2.1.3\r\n"
        "Data tables may not be properly aligned.\r\n\r\nDo you wish to continue?"
        "|Information|YesNoCancel";
    const QString startPath = main->shared().Files.gFileNamePath;

    dialogs.queue(path("old.sdt"));
    prompt.queue(Prompt::Answer::Cancel);
    trigger("mnuFileOpen");
    EXPECT_EQ(shown(), QStringList{question});
    EXPECT_EQ(current(), main->shared().DefaultData);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [unnamed]");
    EXPECT_EQ(main->shared().Files.gFileNamePath, startPath);

    prompt.clear();
    dialogs.queue(path("old.sdt"));
    prompt.queue(Prompt::Answer::No); // the Open starts again; its dialog is cancelled
    trigger("mnuFileOpen");
    EXPECT_EQ(dialogs.shown().size(), 3);
    EXPECT_EQ(current(), main->shared().DefaultData);

    prompt.clear();
    dialogs.queue(path("old.sdt"));
    prompt.queue(Prompt::Answer::Yes);
    trigger("mnuFileOpen");
    EXPECT_EQ(current().ValueTable[43], 222);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [old.sdt]");
    EXPECT_FALSE(main->shared().Files.gUploadNOW.isEmpty());
    // A record of another version always counts as changed.
    EXPECT_EQ(main->SaveChangesPrompt(), 2);
}

TEST_F(SetupFiles, FewerEntriesAreFilledWithEmptyAddressesAndZeros) {
    SetupRecord short38 = main->shared().DefaultData;
    short38.AddressTable.resize(38);
    short38.ValueTable.resize(38);
    short38.ValueTable[37] = 7;
    writeFile("short.sdt", SdtFormat::encode(short38));
    dialogs.queue(path("short.sdt"));
    trigger("mnuFileOpen");
    ASSERT_EQ(current().AddressTable.size(), 49);
    ASSERT_EQ(current().ValueTable.size(), 49);
    EXPECT_EQ(current().ValueTable[37], 7);
    EXPECT_EQ(current().AddressTable[38], "");
    EXPECT_EQ(current().ValueTable[48], 0);
    EXPECT_EQ(main->SaveChangesPrompt(), 0);
}

TEST_F(SetupFiles, DamagedFilesAreRefusedAndChangeNothing) {
    change();
    main->shared().SavedData = current();
    const QByteArray good = SdtFormat::encode(main->shared().DefaultData);
    for (const QByteArray& bytes : {good.left(300), QByteArray(5000, '\xFF'), QByteArray()}) {
        writeFile("bad.sdt", bytes);
        prompt.clear();
        dialogs.queue(path("bad.sdt"));
        trigger("mnuFileOpen");
        ASSERT_EQ(shown().size(), 1);
        EXPECT_TRUE(shown()[0].startsWith("TELVANE|" + path("bad.sdt") +
                                          " is not a set-up data file that can be read.\n\n"))
            << shown()[0].toStdString();
        EXPECT_EQ(current().ValueTable[42], 111);
        EXPECT_EQ(main->windowTitle(), "TELVANE - [unnamed]");
    }
    prompt.clear();
    dialogs.queue(path("missing.sdt"));
    trigger("mnuFileOpen");
    ASSERT_EQ(shown().size(), 1);
    EXPECT_TRUE(shown()[0].startsWith("TELVANE|Unable to open " + path("missing.sdt")));
}

TEST_F(SetupFiles, ExportWritesTheShiftDataFromMemory) {
    current().ValueTable[0] = 42;
    dialogs.queue(path("shift.txt"));
    trigger("mnuFileExport");
    EXPECT_EQ(dialogs.shown(), QStringList{"Save|Text Files (*.txt *.TXT)|" + folder.path() + "/"});
    const QByteArray text = fileBytes("shift.txt");
    EXPECT_EQ(text.count("\r\n"), 48);
    EXPECT_TRUE(text.startsWith("untitled\r\nDate: \r\n \r\nCurrent Shift Data:\r\n(Total Strokes, "
                                "Total Die Jams)\r\n 42\r\n"));
    // The next export starts at the same path; a folder that is not there warns.
    const QString bad = path("none/shift.txt");
    dialogs.queue(bad);
    trigger("mnuFileExport");
    EXPECT_EQ(dialogs.shown().last(), "Save|Text Files (*.txt *.TXT)|" + path("shift.txt"));
    ASSERT_EQ(shown().size(), 1);
    EXPECT_TRUE(shown()[0].startsWith("TELVANE|Unable to export to " + bad));
}

} // namespace
