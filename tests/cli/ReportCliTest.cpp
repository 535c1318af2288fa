// telvane-cli report: a set-up file's report as PDF, read back with pdftotext.
#include "CliFixture.h"
#include "FileSizeLimit.h"
#include "PdfText.h"
#include "SdtFormat.h"
#include "SharedState.h"

#include <QFile>

namespace {

class ReportCliTest : public CliFixture {
protected:
    ReportCliTest() { InitRegisterMap(state); }
    QString pdf = home.filePath(QStringLiteral("out.pdf"));
    SharedState state;
};

TEST_F(ReportCliTest, ReportsASetupFileAsTheProgramPrintsIt) {
    SetupRecord& data = state.CurrentData;
    data.ValueTable[42] = 120;    // low speed
    data.ValueTable[18] = 987654; // last shift strokes
    data.ChannelSetpoint[12] = {90, 100};
    writeFile(QStringLiteral("Line 4.sdt"), SdtFormat::encode(data));
    // Qt's warning about it is nothing a user can act on.
    qunsetenv("XDG_RUNTIME_DIR");

    const ProcessResult r =
        run({QStringLiteral("report"), home.filePath(QStringLiteral("Line 4.sdt")), pdf}, false);
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "");
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    for (const QString& page : pages)
        EXPECT_TRUE(page.contains(QStringLiteral("TELVANE Report: [Line 4.sdt]")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("5\\. Low Speed \\(SPM\\): 120")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH14: 90 - 100")));
    // Digit grouping follows the locale the tool runs in.
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral("1\\. Total Strokes: 987[,.]?654")));
}

TEST_F(ReportCliTest, AFileThatCannotBeReadGivesItsWarningAndNoPdf) {
    writeFile(QStringLiteral("broken.sdt"), QByteArray("not a set-up file"));
    const QString broken = home.filePath(QStringLiteral("broken.sdt"));
    ProcessResult r = run({QStringLiteral("report"), broken, pdf}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("telvane-cli: TELVANE: ") + broken +
                               QStringLiteral(" is not a set-up data file that can be read.\n\n"
                                              "It is another kind of file, or a set-up data "
                                              "file that has been damaged.\n")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    // As a compare takes it: an address the board does not have is refused.
    state.DefaultData.AddressTable[40] = QStringLiteral("Q12");
    writeFile(QStringLiteral("broken.sdt"), SdtFormat::encode(state.DefaultData));
    r = run({QStringLiteral("report"), broken, pdf}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.endsWith("Its register address 'Q12' is not one the board has.\n"));
    EXPECT_FALSE(QFile::exists(pdf));

    const QString missing = home.filePath(QStringLiteral("missing.sdt"));
    r = run({QStringLiteral("report"), missing, pdf}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("TELVANE: Unable to open ") + missing))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportCliTest, APdfThatCannotBeWrittenLeavesNothingBehind) {
    writeFile(QStringLiteral("a.sdt"), SdtFormat::encode(state.CurrentData));
    const QString unwritable = home.filePath(QStringLiteral("no-folder/out.pdf"));
    const ProcessResult r =
        run({QStringLiteral("report"), home.filePath(QStringLiteral("a.sdt")), unwritable}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: TELVANE: Unable to print report to " + unwritable +
                         ".\n\nNo such file or directory\n");
    EXPECT_FALSE(QFile::exists(unwritable));
}

// The disk fills while the PDF is written: the command fails, and no
// truncated PDF is left to be taken for the report.
TEST_F(ReportCliTest, APdfCutShortByAFullDiskFailsAndLeavesNothing) {
    writeFile(QStringLiteral("a.sdt"), SdtFormat::encode(state.CurrentData));
    const FileSizeLimit limit(4096);
    const ProcessResult r =
        run({QStringLiteral("report"), home.filePath(QStringLiteral("a.sdt")), pdf}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err,
              "telvane-cli: TELVANE: Unable to print report to " + pdf + ".\n\nFile too large\n");
    EXPECT_FALSE(QFile::exists(pdf));
}

// Only the command word decides whether the tool needs fonts (a GUI
// application); a file named "report" is a file. The platform named here
// does not exist, so a GUI application could not even start.
TEST_F(ReportCliTest, AFileNamedReportIsNoReportCommand) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "no-such-platform");
    const ProcessResult r = run({QStringLiteral("project"), QStringLiteral("report")}, false);
    qputenv("QT_QPA_PLATFORM", platform);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: no such project file: report\n");
}

TEST_F(ReportCliTest, TakesExactlyTwoArguments) {
    const ProcessResult r = run({QStringLiteral("report"), QStringLiteral("a.sdt")}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("report takes FILE.sdt OUT.pdf")))
        << r.err.toStdString();
}

} // namespace
