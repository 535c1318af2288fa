#pragma once

#include <QHash>
#include <QPair>
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

// A piece of text as printed in a PDF: its face, its size in points and
// whether it is bold, as poppler's pdftohtml reads them from the fonts.
struct PdfRun {
    QString text;
    QString family;
    int points = 0;
    bool bold = false;
};

inline QList<PdfRun> PdfRuns(const QString& pdfPath) {
    QProcess process;
    process.start(QStringLiteral("pdftohtml"),
                  {QStringLiteral("-xml"), QStringLiteral("-stdout"), QStringLiteral("-i"),
                   QStringLiteral("-zoom"), QStringLiteral("1"), pdfPath});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    const QString xml = QString::fromUtf8(process.readAllStandardOutput());
    QHash<QString, QPair<QString, int>> fonts; // id: family, size
    static const QRegularExpression fontspec(
        QStringLiteral("<fontspec id=\"(\\d+)\" size=\"(\\d+)\" family=\"([^\"]*)\""));
    for (auto it = fontspec.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        fonts.insert(m.captured(1), {m.captured(3), m.captured(2).toInt()});
    }
    QList<PdfRun> runs;
    static const QRegularExpression text(QStringLiteral("<text [^>]*font=\"(\\d+)\">(.*)</text>"));
    for (auto it = text.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        QString content = m.captured(2);
        const bool bold = content.startsWith(QStringLiteral("<b>"));
        content.remove(QRegularExpression(QStringLiteral("</?[bi]>")));
        content.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const auto font = fonts.value(m.captured(1));
        runs.append({content.simplified(), font.first, font.second, bold});
    }
    return runs;
}
