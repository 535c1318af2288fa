// The compare window on the in-process board: a file against the board, what
// the wire carries while the board is read, its CSV and its print, and a
// board that falls silent.
#include "AppFixture.h"
#include "DataTransfer.h"
#include "LinkFixture.h"
#include "PdfText.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrintDialogs.h"
#include "SdtFile.h"
#include "frmCompare.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

class CompareWindowTest : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        main->setPrintDialogs(&printDialogs);
        goOnline();
    }
    // The set-up parameters and timing channels of the board, saved as a file.
    QString boardFile() {
        SetupRecord record = main->shared().CurrentData;
        DataTransfer(main->link(), record, DataTransfer::SetupGroup | DataTransfer::TimingGroup,
                     QString())
            .RunToEnd();
        const QString path = folder.filePath(QStringLiteral("press4.sdt"));
        QString warning;
        EXPECT_TRUE(SdtFile::write(path, record, &warning));
        return path;
    }
    // Runs the test's part inside the modal window the menu opens.
    void inCompareWindow(const std::function<void(frmCompare&)>& part) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<frmCompare*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            part(*window);
            ran = true;
            window->accept();
        });
        action("mnuFileCompare")->trigger();
        EXPECT_TRUE(ran);
    }
    static void choose(frmCompare& w, int side, frmCompare::Source source) {
        w.findChild<QComboBox*>(QStringLiteral("cboSide%1").arg(side))->setCurrentIndex(source);
    }
    static void click(frmCompare& w, const char* name) {
        w.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }
    static QString text(frmCompare& w, const char* label) {
        return w.findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    static QStringList shownRows(frmCompare& w) {
        QStringList rows;
        auto* list = w.findChild<QTreeWidget*>(QStringLiteral("lstDifferences"));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows.append(
                QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(u'|'));
        }
        return rows;
    }

    ScriptedFileDialogs dialogs;
    ScriptedPrintDialogs printDialogs;
};

// The mode bytes after each attention handshake: "01" register read, "02"
// register write, PLS commands by their command byte.
QSet<QString> modesEntered(const QString& trace) {
    QSet<QString> modes;
    static const QRegularExpression handshake(QStringLiteral("hFF b55 h([0-9A-F]{2}) b55"));
    for (auto it = handshake.globalMatch(trace); it.hasNext();)
        modes.insert(it.next().captured(1));
    return modes;
}

TEST_F(CompareWindowTest, AFileAgainstTheBoardListsWhatChangedAndTheBoardIsOnlyRead) {
    ASSERT_TRUE(main->link().SingleSetpoint(3, 120, 200, true));
    const QString file = boardFile();
    board.memory().setWord(1020, 181); // TDC stop position, low speed
    board.memory().setWord(1026, 120); // low speed
    ASSERT_TRUE(main->link().SingleSetpoint(3, 100, 200, true));
    const SetupRecord memory = main->shared().CurrentData;
    const QString title = main->windowTitle();
    takeTrace();

    const QString csvPath = folder.filePath(QStringLiteral("diff.csv"));
    const QString pdfPath = folder.filePath(QStringLiteral("diff.pdf"));
    inCompareWindow([&](frmCompare& w) {
        choose(w, 0, frmCompare::File);
        choose(w, 1, frmCompare::Board);
        // The path typed (no browsing), checked when Compare is pressed.
        auto* path = w.findChild<QLineEdit*>(QStringLiteral("txtFile0"));
        QTest::keyClicks(path, file + QStringLiteral(".old"));
        click(w, "cmdCompare");
        EXPECT_FALSE(w.HasComparison());
        ASSERT_EQ(prompt.shown().size(), 1);
        EXPECT_TRUE(prompt.shown()[0].text.startsWith("Unable to open " + file + ".old"));
        prompt.clear();
        path->clear();
        QTest::keyClicks(path, file);
        click(w, "cmdCompare");
        ASSERT_TRUE(w.HasComparison());
        EXPECT_EQ(shownRows(w), (QStringList{"Low Speed (SPM)|W1026|100|120",
                                             "TDC Stop Position (Low Speed)|W1020|180°|181°",
                                             "Air Strip (High) Timing (CH03) ON||120|100"}));
        EXPECT_TRUE(text(w, "lblSide0").startsWith("Left: " + file + " ("));
        EXPECT_TRUE(text(w, "lblSide1").startsWith("Right: Board on SIM at "));
        EXPECT_EQ(text(w, "lblCount"), "3 differences");

        dialogs.queue(csvPath);
        click(w, "cmdSaveAs");
        printDialogs.queuePdf(pdfPath);
        click(w, "cmdPrint");
    });
    // Reads only: register reads and the PLS's read commands (configuration,
    // scale, offset, recall); no write mode, no PLS command that programs.
    const QString trace = takeTrace();
    EXPECT_EQ(modesEntered(trace), (QSet<QString>{"01", "0C", "18", "28", "09"}));
    EXPECT_EQ(board.memory().word(1020), 181);
    EXPECT_EQ(board.pls().channel(3).on, 100);
    EXPECT_EQ(main->shared().CurrentData, memory);
    EXPECT_EQ(main->windowTitle(), title);
    EXPECT_TRUE(prompt.shown().isEmpty());

    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("name,address," + file + " ("));
    EXPECT_TRUE(lines[0].endsWith(",unit"));
    EXPECT_EQ(lines[2], "TDC Stop Position (Low Speed),W1020,180,181,deg");
    EXPECT_EQ(lines[3], "Air Strip (High) Timing (CH03) ON,,120,100,deg");
    const QStringList pages = PdfPages(pdfPath);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("TELVANE Compare"));
    EXPECT_TRUE(HasLine(pages[0], "3 differences"));
    EXPECT_TRUE(HasLine(pages[0], "Low Speed \\(SPM\\) W1026 100 120"));
}

TEST_F(CompareWindowTest, ABoardThatFallsSilentShowsTheUploadsMessageAndNoComparison) {
    board.faults().silentFromByte = board.bytesReceived() + 40;
    inCompareWindow([&](frmCompare& w) {
        click(w, "cmdCompare"); // memory against the board
        EXPECT_FALSE(w.HasComparison());
        EXPECT_TRUE(w.rows().isEmpty());
        EXPECT_EQ(text(w, "lblCount"), "");
        EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("cmdSaveAs"))->isEnabled());
    });
    const QStringList shown = describeAll(prompt);
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().contains("Retry")); // the link's question, answered Cancel
    EXPECT_EQ(shown.last(), "TELVANE|Error Processing Request\r\n\r\nProcess Not Complete|"
                            "Exclamation|Ok");
}

} // namespace
