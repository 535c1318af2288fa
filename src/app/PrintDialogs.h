#pragma once

#include "InchPrinter.h"

class QPrinter;
class QWidget;

// The print dialog, behind an interface so that tests choose the printer (or
// a PDF file) without a modal dialog. It sets up the printer for this one
// job: which printer or file, and the number of copies. False on Cancel.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

class QtPrintDialogs final : public PrintDialogs {
public:
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
};

// The printer's side of a report job: abort, and the error state it may end in.
PagedJob PrinterJob(QPrinter& printer);
