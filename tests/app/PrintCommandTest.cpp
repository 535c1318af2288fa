// The main window's print command: print dialog, wait window, the job, and
// what a failed job leaves behind.
#include "AppFixture.h"
#include "PdfText.h"
#include "ReportCommand.h"
#include "ScriptedPrintDialogs.h"
#include "frmWaitDisplay.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {

class PrintCommandTest : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow();
        InstallReportCommand(main->context(), dialogs, main.get());
    }

    frmWaitDisplay* waitWindow() const { return main->findChild<frmWaitDisplay*>(); }
    void printByKey() { QTest::keyClick(main.get(), Qt::Key_P, Qt::ControlModifier); }
    bool waitUntilDone() {
        return pumpUntil([this] { return waitWindow() == nullptr; });
    }

    ScriptedPrintDialogs dialogs;
    QString pdf = folder.filePath(QStringLiteral("out.pdf"));
};

TEST_F(PrintCommandTest, TheMenuItemPrintsTheCurrentDataBehindTheWaitWindow) {
    QAction* item = action("mnuFilePrint");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Print Report..."));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_TRUE(item->isEnabled());

    main->shared().CurrentData.ValueTable[3] = 4321; // current shift, station 02
    dialogs.queuePdf(pdf);
    printByKey();
    EXPECT_EQ(dialogs.shown(), 1);
    EXPECT_EQ(main->shared().ReportRequest, 1);
    frmWaitDisplay* wait = waitWindow();
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(wait->isVisible());
    EXPECT_FALSE(wait->isModal());
    auto* label = wait->findChild<QLabel*>(QStringLiteral("lblWaitDisplay"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Generating Report, Please Standby ..."));

    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(prompt.shown().isEmpty());
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("TELVANE Report: [unnamed]")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("02: 4,321 10: 0")));
}

TEST_F(PrintCommandTest, CancelInThePrintDialogDoesNothing) {
    dialogs.queueCancel();
    main->menus().mnuFilePrint->trigger();
    EXPECT_EQ(dialogs.shown(), 1);
    EXPECT_EQ(waitWindow(), nullptr);
    EXPECT_EQ(main->shared().ReportRequest, 0);
    pump(50);
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintCommandTest, APrintingErrorEndsTheJobClosesTheWindowAndSaysSo) {
    const QString unwritable = folder.filePath(QStringLiteral("no-such-folder/out.pdf"));
    dialogs.queuePdf(unwritable);
    main->menus().mnuFilePrint->trigger();
    ASSERT_TRUE(waitUntilDone());
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, QStringLiteral("TELVANE"));
    EXPECT_EQ(prompt.shown()[0].text, QStringLiteral("Unable to print report."));
    EXPECT_EQ(prompt.shown()[0].icon, Prompt::Icon::Exclamation);
    EXPECT_FALSE(QFile::exists(unwritable));

    // The program goes on: the next report prints.
    prompt.clear();
    dialogs.queuePdf(pdf);
    main->menus().mnuFilePrint->trigger();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_EQ(PdfPages(pdf).size(), 2);
}

TEST_F(PrintCommandTest, OneReportAtATime) {
    dialogs.queuePdf(pdf);
    dialogs.queuePdf(folder.filePath(QStringLiteral("second.pdf")));
    main->menus().mnuFilePrint->trigger();
    main->menus().mnuFilePrint->trigger();
    EXPECT_EQ(dialogs.shown(), 1);
    ASSERT_TRUE(waitUntilDone());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("second.pdf"))));
}

TEST_F(PrintCommandTest, TheWaitWindowCannotBeClosedWhileTheReportIsUnderWay) {
    dialogs.queuePdf(pdf);
    main->menus().mnuFilePrint->trigger();
    frmWaitDisplay* wait = waitWindow();
    ASSERT_NE(wait, nullptr);
    EXPECT_FALSE(wait->close());
    QTest::keyClick(wait, Qt::Key_Escape);
    EXPECT_TRUE(wait->isVisible());
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(PdfPages(pdf).size(), 2);
}

} // namespace
