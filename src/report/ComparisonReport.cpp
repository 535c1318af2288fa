#include "ComparisonReport.h"

#include "ReportLayout.h"

namespace {

using Style = ReportLayout::Style;

class ComparisonWriter : ReportLayout {
public:
    explicit ComparisonWriter(InchPrinter& printer)
        : ReportLayout(printer, QStringLiteral("TELVANE Compare")) {}

    void Print(const QList<SetupCompare::Row>& rows, const QString& left, const QString& right) {
        PrintPageHeader();
        SetFont(Style::Heading);
        p.CurrentX = Margin;
        p.Print(QStringLiteral("Compare"));
        p.Print();
        SetFont(Style::Item);
        Side(QStringLiteral("Left: "), left);
        Side(QStringLiteral("Right: "), right);
        p.CurrentX = Margin + 0.5;
        p.Print(rows.isEmpty() ? QStringLiteral("No differences")
                               : QStringLiteral("%1 differences").arg(rows.size()));
        p.Print();
        if (!rows.isEmpty()) {
            EnsureRoom(2);
            Columns(QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("Left"),
                    QStringLiteral("Right"), true);
            for (const SetupCompare::Row& row : rows) {
                EnsureRoom(1);
                Columns(row.name, row.address, row.left, row.right, false);
            }
        }
        p.Print();
        FinishPage();
    }

private:
    void Side(const QString& label, const QString& name) {
        p.CurrentX = Margin + 0.5;
        p.Print(label, false);
        p.Print(name);
    }
    // Name and address from the left, the values right-aligned in two columns
    // that end at the right margin.
    void Columns(const QString& name, const QString& address, const QString& left,
                 const QString& right, bool heading) {
        p.setFont(FontFamily(), 12, heading);
        const double rightEdge = p.ScaleWidth() - Margin;
        const double leftEdge = rightEdge - 1.4;
        p.CurrentX = Margin + 0.25;
        p.Print(name, false);
        p.CurrentX = rightEdge - 3.8;
        p.Print(address, false);
        p.CurrentX = leftEdge - p.TextWidth(left);
        p.Print(left, false);
        p.CurrentX = rightEdge - p.TextWidth(right);
        p.Print(right);
    }
};

} // namespace

bool PrintComparison(QPagedPaintDevice& device, const QList<SetupCompare::Row>& rows,
                     const QString& leftName, const QString& rightName, PagedJob job) {
    InchPrinter printer(device, std::move(job));
    if (!printer.begin()) {
        printer.end();
        return false;
    }
    ComparisonWriter(printer).Print(rows, leftName, rightName);
    return printer.end();
}
