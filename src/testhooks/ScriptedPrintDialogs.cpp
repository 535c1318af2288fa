#include "ScriptedPrintDialogs.h"

#include <QPrinter>

bool ScriptedPrintDialogs::choosePrinter(QWidget*, QPrinter& printer) {
    ++m_shown;
    if (m_answers.isEmpty())
        return false;
    const Answer answer = m_answers.takeFirst();
    if (answer.pdfPath.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.pdfPath);
    printer.setCopyCount(answer.copies);
    return true;
}
