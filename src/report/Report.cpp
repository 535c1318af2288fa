#include "Report.h"

#include "InchPrinter.h"
#include "RegisterNames.h"
#include "ReportLayout.h"
#include "SetupRecord.h"

#include <QLocale>

namespace {

constexpr double ReportMargin = ReportLayout::Margin;
constexpr double ValueColumn = 5.5;
constexpr double CountColumn = 4.0;

using Style = ReportLayout::Style;

class ReportWriter : ReportLayout {
public:
    ReportWriter(InchPrinter& printer, const SetupRecord& data, const QString& caption)
        : ReportLayout(printer, QStringLiteral("TELVANE Report: ") + caption), m_data(data) {}

    void PrintSetupPage();
    void PrintShiftPage();

private:
    void SetReportFont(Style style) { SetFont(style); }
    void ShiftBlock(int base);

    // Entries the record lacks print as 0, as a missing value reads.
    qint32 value(int index) const {
        return index < m_data.ValueTable.size() ? m_data.ValueTable[index] : 0;
    }
    QString plain(qint64 n) const { return QString::number(n); }
    // Counts carry the regional digit grouping.
    QString count(int index) const { return QLocale().toString(qint64(value(index))); }

    const SetupRecord& m_data;
};

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
        p.Print(RegisterNames::channelName(k) + QStringLiteral(" (msec):  ") +
                plain(m_data.PlsConfig2to9[size_t(k)]));
    }
    p.CurrentX = ReportMargin + 0.5;
    p.Print(QStringLiteral("5. Channel Setpoints (ON - OFF): "));
    for (int c = 0; c < SetupRecord::ChannelCount; ++c) {
        const QString label = RegisterNames::channelName(c);
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
