#pragma once

#include "PrintDialogs.h"

#include <QList>
#include <QString>

// Test machinery: built only with TELVANE_TEST_HOOKS.
// Answers from a list: a PDF file to print to with a number of copies, or
// Cancel (also the answer of an exhausted list). Counts the dialogs shown.
class ScriptedPrintDialogs final : public PrintDialogs {
public:
    void queuePdf(const QString& path, int copies = 1) { m_answers.append(Answer{path, copies}); }
    void queueCancel() { m_answers.append(Answer{}); }
    int shown() const { return m_shown; }
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;

private:
    struct Answer {
        QString pdfPath; // empty: Cancel
        int copies = 1;
    };
    QList<Answer> m_answers;
    int m_shown = 0;
};
