#pragma once

#include "InchPrinter.h"

#include <QString>

// The page of every printed document of the program: the report's face and
// sizes, its margins, the header title with its rule, the footer with the
// date and page number, and the page breaks that keep the footer clear.
class ReportLayout {
public:
    static constexpr double Margin = 0.5;
    // The face the layout was made for has the metrics of Times New Roman.
    // Liberation Serif has them in both directions; where it is missing,
    // Times New Roman itself; failing both, the system's serif face, whose
    // line heights may run a document onto more pages.
    static QString FontFamily();

    enum class Style { Item, Heading };

    ReportLayout(InchPrinter& printer, const QString& title) : p(printer), m_title(title) {}

    // 12 pt regular for item lines, 14 pt bold for headings.
    void SetFont(Style style);
    void PrintPageHeader();
    void FinishPage();
    // A new page (footer, then header) unless n more lines fit above the footer.
    void EnsureRoom(int lines);
    // A section heading, indented a quarter inch; the item style follows.
    void Heading(const QString& text);
    // The label half an inch in, the value right-aligned at the column edge.
    void ItemLine(const QString& label, const QString& value, double column);

protected:
    InchPrinter& p;

private:
    QString m_title;
};
