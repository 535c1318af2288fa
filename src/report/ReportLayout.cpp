#include "ReportLayout.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLocale>

namespace {
// Space kept free above the footer.
constexpr double FooterRoom = 0.9;
} // namespace

QString ReportLayout::FontFamily() {
    static const QString chosen = [] {
        for (const char* family : {"Liberation Serif", "Times New Roman"})
            if (QFontDatabase::hasFamily(QString::fromLatin1(family)))
                return QString::fromLatin1(family);
        return QStringLiteral("serif");
    }();
    return chosen;
}

void ReportLayout::SetFont(Style style) {
    if (style == Style::Heading)
        p.setFont(FontFamily(), 14, true);
    else
        p.setFont(FontFamily(), 12, false);
}

void ReportLayout::PrintPageHeader() {
    p.setFont(FontFamily(), 12, true);
    p.CurrentX = (p.ScaleWidth() - p.TextWidth(m_title) - Margin) / 2;
    p.CurrentY = 0.1;
    p.Print(m_title);
    const double y = p.CurrentY + p.TextHeight(m_title);
    p.Line(Margin, y, p.ScaleWidth() - Margin, y);
    p.CurrentX = Margin;
    p.CurrentY = y + 0.25;
}

void ReportLayout::FinishPage() {
    const QString pageText = QStringLiteral("Page ") + QString::number(p.Page());
    const QString dateText = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    p.setFont(FontFamily(), 10, false);
    const double y = p.ScaleHeight() - p.TextHeight(QStringLiteral("I")) - 0.1;
    p.CurrentX = Margin;
    p.CurrentY = y;
    p.Print(dateText, false);
    p.CurrentX = p.ScaleWidth() - p.TextWidth(pageText) - Margin;
    p.Print(pageText);
    p.Line(Margin, y - 0.1, p.ScaleWidth() - Margin, y - 0.1);
    p.NewPage();
}

void ReportLayout::EnsureRoom(int lines) {
    if (p.ScaleHeight() - lines * p.TextHeight(QStringLiteral("I")) < p.CurrentY + FooterRoom)
        FinishPage();
    if (p.CurrentY == 0)
        PrintPageHeader();
}

void ReportLayout::Heading(const QString& text) {
    SetFont(Style::Heading);
    p.CurrentX = Margin + 0.25;
    p.Print(text);
    SetFont(Style::Item);
}

void ReportLayout::ItemLine(const QString& label, const QString& value, double column) {
    p.CurrentX = Margin + 0.5;
    p.Print(label, false);
    p.CurrentX = column - p.TextWidth(value);
    p.Print(value);
}
