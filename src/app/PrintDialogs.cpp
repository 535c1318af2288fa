#include "PrintDialogs.h"

#include <QPrintDialog>
#include <QPrinter>

bool QtPrintDialogs::choosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    // The report is always the whole document.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

PagedJob PrinterJob(QPrinter& printer) {
    return {[&printer] { printer.abort(); },
            [&printer] { return printer.printerState() == QPrinter::Error; }};
}
