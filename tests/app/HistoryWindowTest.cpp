// The set-up history in the window: the snapshot after an upload, the
// History window comparing it with the board and opening it into memory,
// the fault log while online, and a history that cannot be kept.
#include "AppFixture.h"
#include "LinkFixture.h"
#include "ScriptedFileDialogs.h"
#include "SdtFormat.h"
#include "frmCompare.h"
#include "frmHistory.h"
#include "frmSetupComm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

class HistoryWindowTest : public AppFixture {
protected:
    // A data folder of the test's own: the history starts empty.
    HistoryWindowTest() : m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    }
    ~HistoryWindowTest() override {
        main.reset();
        qputenv("XDG_DATA_HOME", m_saved);
    }
    QList<SnapshotInfo> snapshots() {
        auto listed = main->history().List();
        return std::holds_alternative<QList<SnapshotInfo>>(listed)
                   ? std::get<QList<SnapshotInfo>>(listed)
                   : QList<SnapshotInfo>();
    }
    QList<FaultEntry> faults() {
        auto listed = main->history().Faults();
        return std::holds_alternative<QList<FaultEntry>>(listed)
                   ? std::get<QList<FaultEntry>>(listed)
                   : QList<FaultEntry>();
    }
    void upload(const char* item) {
        prompt.queue(Prompt::Answer::Yes);
        action(item)->trigger();
    }
    // Runs part inside the modal window that opens next, then closes it.
    template <typename Window> static void inWindow(const std::function<void(Window&)>& part) {
        QTimer::singleShot(0, [part] {
            auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            part(*window);
            window->accept();
        });
    }
    static QStringList timeline(frmHistory& w) {
        QStringList rows;
        auto* list = w.findChild<QTreeWidget*>(QStringLiteral("lstTimeline"));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows << QStringList{item->text(0), item->text(2), item->text(4)}.join(u'|');
        }
        return rows;
    }
    static void select(frmHistory& w, const QList<int>& rows) {
        auto* list = w.findChild<QTreeWidget*>(QStringLiteral("lstTimeline"));
        list->clearSelection();
        for (int row : rows)
            list->topLevelItem(row)->setSelected(true);
    }
    static void click(QWidget& w, const char* name) {
        w.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }

    // Compare in the History window: the rows the Compare window shows.
    static void compareIn(frmHistory& w, QStringList& rows) {
        inWindow<frmCompare>([&rows](frmCompare& c) {
            ASSERT_TRUE(PumpUntil([&] { return c.HasComparison(); }));
            for (const auto& row : c.rows())
                rows << row.name + '|' + row.left + '|' + row.right;
        });
        click(w, "cmdCompare");
    }

    QTemporaryDir data;
    ScriptedFileDialogs dialogs;

private:
    QByteArray m_saved;
};

TEST_F(HistoryWindowTest, AnUploadsSnapshotComparesWithTheBoardOpensIntoMemoryAndExportsAsSaved) {
    startMainWindow();
    main->context().setFileDialogs(dialogs);
    goOnline();
    board.memory().setWord(1020, 181);
    upload("mnuFileUploadData0");
    ASSERT_EQ(snapshots().size(), 1);
    const SnapshotInfo taken = snapshots()[0];
    EXPECT_EQ(taken.action, "upload");
    EXPECT_EQ(taken.device, "SIM");
    EXPECT_EQ(main->shared().CurrentData.ValueTable[39], 181);

    // Save writes the very bytes the snapshot exports.
    const QString saved = folder.filePath("saved.sdt");
    dialogs.queue(saved);
    action("mnuFileSaveAs")->trigger();
    board.memory().setWord(1020, 200); // the board changes after the snapshot

    QStringList compared;
    inWindow<frmHistory>([&](frmHistory& w) {
        EXPECT_EQ(timeline(w), QStringList({"1|Upload|Set-up"}));
        EXPECT_TRUE(w.findChild<QLabel*>("lblStatus")->text().contains("history.sqlite"));
        select(w, {0});
        const QString exported = folder.filePath("exported.sdt");
        dialogs.queue(exported);
        click(w, "cmdExport");
        QFile a(saved), b(exported);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll());

        w.findChild<QComboBox*>("cboCompareWith")->setCurrentIndex(frmCompare::Board);
        compareIn(w, compared);
    });
    action("mnuFileHistory")->trigger();
    EXPECT_EQ(compared, QStringList({"TDC Stop Position (Low Speed)|181°|200°"}));
    // The board read of the compare is a snapshot too.
    ASSERT_EQ(snapshots().size(), 2);
    EXPECT_EQ(snapshots()[1].action, "compare");

    main->shared().CurrentData.ValueTable[39] = 7; // unsaved
    prompt.queue(Prompt::Answer::No);              // Save Changes to File?
    inWindow<frmHistory>([&](frmHistory& w) {
        select(w, {1}); // the older one, below the newer
        ASSERT_EQ(w.SelectedSnapshots(), QList<qint64>({1}));
        click(w, "cmdOpen");
    });
    action("mnuFileHistory")->trigger();
    EXPECT_EQ(prompt.shown().last().text, "Save Changes to File?");
    EXPECT_EQ(main->shared().CurrentData.ValueTable[39], 181);
    EXPECT_EQ(main->windowTitle(), "TELVANE - [Snapshot 1]");
    EXPECT_FALSE(HasUnsavedChanges(main->shared()));

    // Take Snapshot reads the board; two snapshots compare with each other.
    compared.clear();
    inWindow<frmHistory>([&](frmHistory& w) {
        click(w, "cmdTakeSnapshot");
        ASSERT_EQ(w.SelectedSnapshots(), QList<qint64>({3}));
        EXPECT_EQ(timeline(w).first(), "3|Snapshot|All");
        select(w, {0, 2});
        compareIn(w, compared);
    });
    action("mnuFileHistory")->trigger();
    EXPECT_EQ(compared, QStringList({"TDC Stop Position (Low Speed)|181°|200°"}));
    EXPECT_EQ(snapshots().size(), 3); // two snapshots read no board
}

TEST_F(HistoryWindowTest, TheCommPortWindowNamesThePressOfTheDeviceItSaves) {
    startMainWindow();
    // Saves the name given in a new window; the name the window showed first.
    const auto save = [this](const QString& name, bool typed) {
        frmSetupComm form(
            main->context(), [] { return QList<SerialPortEntry>(); }, main.get());
        form.show();
        auto* box = form.findChild<QLineEdit*>(QStringLiteral("txtPressName"));
        const QString shown = box->text();
        typed ? QTest::keyClicks(box, name) : box->setText(name);
        form.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        return shown;
    };
    EXPECT_EQ(save("  Press 7 ", true), "");
    // A name that would break the history's lines is refused, and nothing saved.
    EXPECT_EQ(save("Press\t8", false), "Press 7");
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_TRUE(prompt.shown()[0].text.startsWith("The press name cannot be kept: "));
    EXPECT_EQ(std::get<QString>(main->history().PressName(QStringLiteral("SIM"))), "Press 7");
}

TEST_F(HistoryWindowTest, TheFaultLogNotesEachAlarmAndTheCommFaultWithTheirTimes) {
    startMainWindow();
    goOnline();
    board.cupper().raiseAlarm(Cupper::ScrapJam);
    tick(5);
    ASSERT_EQ(faults().size(), 1);
    EXPECT_EQ(faults()[0].text, "Scrap Jam");
    EXPECT_FALSE(faults()[0].ended.isValid());
    board.cupper().resetAlarms();
    tick(5);
    ASSERT_EQ(faults().size(), 1);
    EXPECT_TRUE(faults()[0].seenCleared);

    board.faults().silentFromByte = 0;
    tick(1);
    main->context().GoOffline();
    ASSERT_EQ(faults().size(), 2);
    EXPECT_EQ(faults()[1].text, "Comm Fault with K2700");
    EXPECT_EQ(faults()[1].code, 0x42);
    EXPECT_FALSE(faults()[1].ended.isValid());
    board.faults().silentFromByte = -1;
    goOnline();
    EXPECT_TRUE(faults()[1].seenCleared);
}

TEST_F(HistoryWindowTest, AHistoryThatCannotBeKeptIsSaidOnceAndTheUploadGoesOn) {
    QDir(data.path()).mkpath("telvane");
    QFile junk(data.filePath("telvane/history.sqlite"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database, but a damaged file");
    junk.close();
    startMainWindow();
    goOnline();
    board.memory().setWord(1020, 181);
    upload("mnuFileUploadData0");
    upload("mnuFileUploadData0");
    EXPECT_EQ(main->shared().CurrentData.ValueTable[39], 181);
    QStringList said;
    for (const auto& shown : prompt.shown())
        if (shown.text.startsWith("The set-up history could not be kept."))
            said << shown.text;
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("file is not a database")) << said[0].toStdString();
}

} // namespace
