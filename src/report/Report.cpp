#include "Report.h"

#include "InchPrinter.h"
#include "SetupRecord.h"

#include <QDateTime>
#include <QLocale>

namespace {

const QString ReportFont = QStringLiteral("Times");
constexpr double ReportMargin = 0.5;
constexpr double ValueColumn = 5.5;
constexpr double CountColumn = 4.0;
// Space kept free above the footer.
constexpr double FooterRoom = 0.9;

enum class Style { Item, Heading };

class ReportWriter {
public:
    ReportWriter(InchPrinter& printer, const SetupRecord& data, const QString& caption)
        : p(printer), m_data(data), m_title(QStringLiteral("TELVANE Report: ") + caption) {}

    void PrintSetupPage();
    void PrintShiftPage();

private:
    void SetReportFont(Style style) {
        if (style == Style::Heading)
            p.setFont(ReportFont, 14, true);
        else
            p.setFont(ReportFont, 12, false);
    }
    void PrintPageHeader();
    void FinishPage();
    void EnsureRoom(int lines);
    void Heading(const QString& text) {
        SetReportFont(Style::Heading);
        p.CurrentX = ReportMargin + 0.25;
        p.Print(text);
        SetReportFont(Style::Item);
    }
    void ItemLine(const QString& label, const QString& value, double column) {
        p.CurrentX = ReportMargin + 0.5;
        p.Print(label, false);
        p.CurrentX = column - p.TextWidth(value);
        p.Print(value);
    }
    void ShiftBlock(int base);

    // Entries the record lacks print as 0, as a missing value reads.
    qint32 value(int index) const {
        return index < m_data.ValueTable.size() ? m_data.ValueTable[index] : 0;
    }
    QString plain(qint64 n) const { return QString::number(n); }
    // Counts carry the regional digit grouping.
    QString count(int index) const { return QLocale().toString(qint64(value(index))); }

    InchPrinter& p;
    const SetupRecord& m_data;
    QString m_title;
};

void ReportWriter::PrintPageHeader() {
    p.setFont(ReportFont, 12, true);
    p.CurrentX = (p.ScaleWidth() - p.TextWidth(m_title) - ReportMargin) / 2;
    p.CurrentY = 0.1;
    p.Print(m_title);
    const double y = p.CurrentY + p.TextHeight(m_title);
    p.Line(ReportMargin, y, p.ScaleWidth() - ReportMargin, y);
    p.CurrentX = ReportMargin;
    p.CurrentY = y + 0.25;
}

void ReportWriter::FinishPage() {
    const QString pageText = QStringLiteral("Page ") + QString::number(p.Page());
    const QString dateText = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    p.setFont(ReportFont, 10, false);
    const double y = p.ScaleHeight() - p.TextHeight(QStringLiteral("I")) - 0.1;
    p.CurrentX = ReportMargin;
    p.CurrentY = y;
    p.Print(dateText, false);
    p.CurrentX = p.ScaleWidth() - p.TextWidth(pageText) - ReportMargin;
    p.Print(pageText);
    p.Line(ReportMargin, y - 0.1, p.ScaleWidth() - ReportMargin, y - 0.1);
    p.NewPage();
}

void ReportWriter::EnsureRoom(int lines) {
    if (p.ScaleHeight() - lines * p.TextHeight(QStringLiteral("I")) < p.CurrentY + FooterRoom)
        FinishPage();
    if (p.CurrentY == 0)
        PrintPageHeader();
}

void ReportWriter::PrintSetupPage() {
    PrintPageHeader();
    SetReportFont(Style::Heading);
    p.CurrentX = ReportMargin;
    p.Print(QStringLiteral("Set-up Parameters"));
    p.Print();

    Heading(QStringLiteral("A. Cupper Parameters"));
    static const char* const cupperLabels[] = {
        "  1. Brake Wear Compensation Enable: ",
        "  2. Desired TDC Stop Position (Low Speed): ",
        "  3. Desired TDC Stop Position (High Speed): ",
        "  4. Maximum Allowed Stopping Response (deg): ",
        "  5. Low Speed (SPM): ",
        "  6. High Speed (SPM): ",
    };
    for (int i = 0; i < 6; ++i)
        ItemLine(QString::fromLatin1(cupperLabels[i]), plain(value(38 + i)), ValueColumn);
    p.Print();

    EnsureRoom(2);
    Heading(QStringLiteral("B. Lubricator Speed References"));
    ItemLine(QStringLiteral("  1. Maximum Speed (Full Scale Calibration):"), plain(value(44)),
             ValueColumn);
    ItemLine(QStringLiteral("  2. Idle Speed (Cupper Stopped):"), plain(value(45)), ValueColumn);
    p.Print();

    EnsureRoom(29);
    Heading(QStringLiteral("D. PLS Configuration & Channel Setpoints"));
    p.Print();
    ItemLine(QStringLiteral("1. Number of PLS Channels: "), plain(m_data.PlsConfig0), ValueColumn);
    ItemLine(QStringLiteral("2. PLS Scale Factor: "), plain(m_data.PlsScale), ValueColumn);
    ItemLine(QStringLiteral("3. PLS Program: "), plain(m_data.PlsConfig1), ValueColumn);
    p.CurrentX = ReportMargin + 0.5;
    p.Print(QStringLiteral("4. Speed Compensation (advance): "));
    for (int k = 0; k < 8; ++k) {
        p.CurrentX = ReportMargin + 1.0;
        p.Print(QStringLiteral("CH0%1 (msec):  %2").arg(k).arg(m_data.PlsConfig2to9[size_t(k)]));
    }
    p.CurrentX = ReportMargin + 0.5;
    p.Print(QStringLiteral("5. Channel Setpoints (ON - OFF): "));
    for (int c = 0; c < SetupRecord::ChannelCount; ++c) {
        // The board numbers its channels in octal: 0 to 7, then 10 to 17.
        const QString label =
            c < 8 ? QStringLiteral("CH0%1").arg(c) : QStringLiteral("CH%1").arg(c + 2);
        const auto& setpoint = m_data.ChannelSetpoint[size_t(c)];
        p.CurrentX = ReportMargin + 1.0;
        p.Print(label + QStringLiteral(":  ") + plain(setpoint[0]) + QStringLiteral("  - ") +
                plain(setpoint[1]));
    }
    p.Print();
    FinishPage();
}

void ReportWriter::ShiftBlock(int base) {
    ItemLine(QStringLiteral("1. Total Strokes:"), count(base), CountColumn);
    ItemLine(QStringLiteral("2. Total Die Jams:"), count(base + 1), CountColumn);
    p.CurrentX = ReportMargin + 0.5;
    p.Print(QStringLiteral("3. Die Jams Per Station:"));
    for (int i = 0; i < 8; ++i) {
        p.CurrentX = ReportMargin + 0.75;
        p.Print(QStringLiteral("0%1: ").arg(i + 1) + count(base + 2 + i), false);
        p.CurrentX = ReportMargin + 2.75;
        p.Print(QStringLiteral("%1: ").arg(i + 9, 2, 10, QLatin1Char('0')) + count(base + 10 + i));
    }
}

void ReportWriter::PrintShiftPage() {
    PrintPageHeader();
    SetReportFont(Style::Heading);
    p.Print(QStringLiteral("Data Collection Counts (shift data)"));
    p.Print();

    Heading(QStringLiteral("A. Current Shift Data"));
    ShiftBlock(0);
    p.Print();

    EnsureRoom(11);
    Heading(QStringLiteral("B. Last (previous) Shift Data"));
    ShiftBlock(18);
    p.Print();

    EnsureRoom(2);
    Heading(QStringLiteral("C. Brake Response"));
    ItemLine(QStringLiteral("  1. Low Speed:"), count(36), CountColumn);
    ItemLine(QStringLiteral("  2. High Speed:"), count(37), CountColumn);
    p.Print();
    FinishPage();
}

} // namespace

bool PrintReport(QPagedPaintDevice& device, const SetupRecord& data, const QString& caption,
                 PagedJob job) {
    InchPrinter printer(device, std::move(job));
    if (!printer.begin()) {
        printer.end();
        return false;
    }
    ReportWriter writer(printer, data, caption);
    writer.PrintSetupPage();
    writer.PrintShiftPage();
    return printer.end();
}
