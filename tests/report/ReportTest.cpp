// The report's text and pages, printed to PDF and read back with pdftotext.
#include "Report.h"
#include "AppFixture.h"
#include "PdfText.h"
#include "SharedState.h"

#include <QFile>
#include <QLocale>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        EnsureApplication();
        InitRegisterMap(state);
    }
    ~ReportTest() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Prints the current data on a printer of the given page size (inches);
    // Letter when none is given. Returns the pages' text.
    QStringList print(QSizeF pageInches = {}) {
        const QString path = dir.filePath(QStringLiteral("report%1.pdf").arg(++m_count));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(pageInches.isEmpty() ? QPageSize(QPageSize::Letter)
                                                 : QPageSize(pageInches, QPageSize::Inch));
        EXPECT_TRUE(PrintReport(printer, state.CurrentData, caption));
        lastPdf = path;
        return PdfPages(path);
    }

    static const QString header;
    SharedState state;
    QString caption = QStringLiteral("[unnamed]");
    QTemporaryDir dir;
    QString lastPdf;
    int m_count = 0;
};

const QString ReportTest::header = QStringLiteral("TELVANE Report: \\[unnamed\\]");

TEST_F(ReportTest, DefaultsPrintTheirValuesOnExactlyTwoPages) {
    const QStringList pages = print();
    ASSERT_EQ(pages.size(), 2);
    const QString& setup = pages[0];
    EXPECT_TRUE(HasLine(setup, QStringLiteral("Set-up Parameters")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("A\\. Cupper Parameters")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("1\\. Brake Wear Compensation Enable: 0")));
    EXPECT_TRUE(
        HasLine(setup, QStringLiteral("2\\. Desired TDC Stop Position \\(Low Speed\\): 0")));
    EXPECT_TRUE(
        HasLine(setup, QStringLiteral("3\\. Desired TDC Stop Position \\(High Speed\\): 0")));
    EXPECT_TRUE(
        HasLine(setup, QStringLiteral("4\\. Maximum Allowed Stopping Response \\(deg\\): 300")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("5\\. Low Speed \\(SPM\\): 100")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("6\\. High Speed \\(SPM\\): 250")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("B\\. Lubricator Speed References")));
    EXPECT_TRUE(
        HasLine(setup, QStringLiteral("1\\. Maximum Speed \\(Full Scale Calibration\\): 250")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("2\\. Idle Speed \\(Cupper Stopped\\): 75")));
    // The headings run A, B, D.
    EXPECT_FALSE(setup.contains(QStringLiteral("C. ")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("D\\. PLS Configuration & Channel Setpoints")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("1\\. Number of PLS Channels: 16")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("2\\. PLS Scale Factor: 360")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("3\\. PLS Program: 0")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("4\\. Speed Compensation \\(advance\\):")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("CH03 \\(msec\\): 0")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("5\\. Channel Setpoints \\(ON - OFF\\):")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("CH00: 120 - 140")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("CH02: 200 - 220")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("CH06: 140 - 120")));
    EXPECT_TRUE(HasLine(setup, QStringLiteral("CH07: 0 - 20")));
    EXPECT_EQ(setup.count(QRegularExpression(QStringLiteral("\\n ?CH\\d\\d: "))), 16);
    EXPECT_EQ(setup.count(QRegularExpression(QStringLiteral("\\n ?CH0\\d \\(msec\\): "))), 8);

    const QString& shift = pages[1];
    EXPECT_TRUE(HasLine(shift, QStringLiteral("Data Collection Counts \\(shift data\\)")));
    EXPECT_TRUE(HasLine(shift, QStringLiteral("A\\. Current Shift Data")));
    EXPECT_TRUE(HasLine(shift, QStringLiteral("B\\. Last \\(previous\\) Shift Data")));
    EXPECT_TRUE(HasLine(shift, QStringLiteral("C\\. Brake Response")));
    EXPECT_EQ(shift.count(QStringLiteral("1. Total Strokes: 0")), 2);
    EXPECT_EQ(shift.count(QStringLiteral("2. Total Die Jams: 0")), 2);
    EXPECT_EQ(shift.count(QStringLiteral("3. Die Jams Per Station:")), 2);
    EXPECT_TRUE(HasLine(shift, QStringLiteral("1\\. Low Speed: 0")));
    EXPECT_TRUE(HasLine(shift, QStringLiteral("2\\. High Speed: 0")));
    // Stations 01 to 08 beside 09 to 16.
    EXPECT_EQ(shift.count(QStringLiteral("01: 0 09: 0")), 2);
    EXPECT_EQ(shift.count(QStringLiteral("08: 0 16: 0")), 2);
}

TEST_F(ReportTest, EveryPageCarriesTheHeaderAndTheFooterWithItsNumber) {
    caption = QStringLiteral("[LINE 3.sdt]");
    const QStringList pages = print();
    ASSERT_EQ(pages.size(), 2);
    // The system's general date: month/day/year and the time, in English.
    const QString date = QStringLiteral("\\d{1,2}/\\d{1,2}/\\d{2} \\d{1,2}:\\d{2}\\s?[AP]M");
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        const QStringList lines = pages[i].trimmed().split(u'\n');
        EXPECT_TRUE(lines.first().contains(QStringLiteral("TELVANE Report: [LINE 3.sdt]")));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^ ?") + date +
                                       QStringLiteral(" Page %1$").arg(i + 1))
                        .match(lines.last())
                        .hasMatch())
            << lines.last().toStdString();
    }
}

TEST_F(ReportTest, ChannelsEightToFifteenCarryTheirOctalNames) {
    state.CurrentData.ChannelSetpoint[8] = {11, 22};
    state.CurrentData.ChannelSetpoint[9] = {-5, 359};
    state.CurrentData.ChannelSetpoint[15] = {33, 44};
    state.CurrentData.PlsConfig2to9[7] = 12;
    const QStringList pages = print();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH10: 11 - 22")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH11: -5 - 359")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH17: 33 - 44")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH07 \\(msec\\): 12")));
    for (const char* absent : {"CH08", "CH09", "CH18", "CH19"})
        EXPECT_FALSE(pages[0].contains(QString::fromLatin1(absent))) << absent;
}

TEST_F(ReportTest, CountsCarryTheRegionalDigitGroupingAndSetupValuesDoNot) {
    auto& v = state.CurrentData.ValueTable;
    v[0] = 1234567; // current shift strokes, a double word
    v[2] = 1234;    // current shift, station 01
    v[17] = 9999;   // current shift, station 16
    v[19] = 20000;  // last shift die jams
    v[35] = 65535;  // last shift, station 16
    v[42] = 1500;   // low speed: a plain value
    const QStringList pages = print();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("5\\. Low Speed \\(SPM\\): 1500")));
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral("1\\. Total Strokes: 1,234,567")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("01: 1,234 09: 0")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("08: 0 16: 9,999")));
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral("2\\. Total Die Jams: 20,000")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("08: 0 16: 65,535")));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList german = print();
    ASSERT_EQ(german.size(), 2);
    EXPECT_TRUE(HasLine(german[1], QStringLiteral("1\\. Total Strokes: 1\\.234\\.567")));
    EXPECT_TRUE(german[1].contains(QStringLiteral("01: 1.234 09: 0")));
}

TEST_F(ReportTest, SectionDMovesToANewPageWhenItsLinesDoNotFit) {
    // A short page: sections A and B fit, the 29 lines of D do not.
    const QStringList pages = print(QSizeF(8.5, 7.0));
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("B\\. Lubricator Speed References")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("D. PLS")));
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral(".* Page 1")));
    // The new page begins with the header, then section D.
    const QStringList lines = pages[1].trimmed().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("TELVANE Report: [unnamed]")));
    EXPECT_EQ(lines[1].trimmed(), QStringLiteral("D. PLS Configuration & Channel Setpoints"));
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral("CH17: 0 - 0")));
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral(".* Page 2")));
    // The shift page starts on a page of its own, and no page is empty.
    EXPECT_TRUE(HasLine(pages[2], QStringLiteral("Data Collection Counts \\(shift data\\)")));
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("TELVANE Report: [unnamed]"))) << i;
        EXPECT_TRUE(HasLine(pages[i], QStringLiteral(".* Page %1").arg(i + 1))) << i;
    }
    EXPECT_TRUE(pages.last().contains(QStringLiteral("C. Brake Response")));
}

TEST_F(ReportTest, SectionDStaysWhenItFits) {
    // Letter and A4 alike hold the whole set-up page.
    for (const QSizeF page : {QSizeF(8.5, 11.0), QSizeF(8.27, 11.69)}) {
        const QStringList pages = print(page);
        ASSERT_EQ(pages.size(), 2);
        EXPECT_TRUE(pages[0].contains(QStringLiteral("D. PLS")));
        EXPECT_TRUE(HasLine(pages[0], QStringLiteral("CH17: 0 - 0")));
    }
}

TEST_F(ReportTest, ARecordWithShortTablesPrintsZerosInsteadOfFailing) {
    state.CurrentData.ValueTable.resize(10);
    state.CurrentData.AddressTable.resize(10);
    const QStringList pages = print();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(HasLine(pages[0], QStringLiteral("6\\. High Speed \\(SPM\\): 0")));
    EXPECT_TRUE(HasLine(pages[1], QStringLiteral("2\\. High Speed: 0")));
}

TEST_F(ReportTest, EveryLineIsPrintedInLiberationSerifAtTheSizeAndWeightOfItsStyle) {
    print();
    const QList<PdfRun> runs = PdfRuns(lastPdf);
    ASSERT_GT(runs.size(), 100);
    auto style = [&runs](const QString& text) {
        for (const PdfRun& run : runs)
            if (run.text == text)
                return QStringLiteral("%1 %2%3")
                    .arg(run.family)
                    .arg(run.points)
                    .arg(run.bold ? QStringLiteral(" bold") : QString());
        return QStringLiteral("not printed");
    };
    EXPECT_EQ(style("TELVANE Report: [unnamed]"), "LiberationSerif 12 bold");
    EXPECT_EQ(style("Set-up Parameters"), "LiberationSerif 14 bold");
    EXPECT_EQ(style("D. PLS Configuration & Channel Setpoints"), "LiberationSerif 14 bold");
    EXPECT_EQ(style("C. Brake Response"), "LiberationSerif 14 bold");
    EXPECT_EQ(style("6. High Speed (SPM):"), "LiberationSerif 12");
    EXPECT_EQ(style("CH17: 0 - 0"), "LiberationSerif 12");
    EXPECT_EQ(style("Page 2"), "LiberationSerif 10");
    for (const PdfRun& run : runs)
        EXPECT_EQ(run.family, "LiberationSerif") << run.text.toStdString();
}

TEST_F(ReportTest, APrinterThatCannotStartFailsAndLeavesNoFile) {
    const QString path = dir.filePath(QStringLiteral("missing-folder/report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    EXPECT_FALSE(PrintReport(printer, state.CurrentData, caption));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
