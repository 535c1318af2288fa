#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The text of each page of a PDF as poppler's pdftotext lays it out, with
// runs of blanks folded into one, so that tests match lines, not columns.
inline QStringList PdfPages(const QString& pdfPath) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    // Not normalised: a ligature glyph ("fi") would fail the match, as it
    // fails a user's search in the PDF.
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    // Each page ends with a form feed.
    QStringList pages = text.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// True when the page has a line matching the pattern (blanks folded).
inline bool HasLine(const QString& page, const QString& pattern) {
    const QRegularExpression re(QStringLiteral("(^|\\n) ?") + pattern +
                                QStringLiteral(" ?(\\n|$)"));
    return re.match(page).hasMatch();
}
