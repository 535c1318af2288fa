#pragma once

#include "frmWaitDisplay.h"
#include <QObject>

#include <QPointer>

class PrintDialogs;
class ViewContext;

// The main window's print command: the print dialog chooses the printer and
// the copies for this report, then the "Please Standby" window prints it.
class ReportCommand final : public QObject {
    Q_OBJECT
public:
    ReportCommand(ViewContext& context, PrintDialogs& dialogs, QWidget* parent);

    void mnuFilePrint_Click();
    // The wait window of the report being printed, if any.
    frmWaitDisplay* waitWindow() const { return m_wait; }

private:
    ViewContext& m_context;
    PrintDialogs& m_dialogs;
    QWidget* m_parent;
    QPointer<frmWaitDisplay> m_wait;
};

// Gives the main window its print command; the wait window opens over parent.
void InstallReportCommand(ViewContext& context, PrintDialogs& dialogs, QWidget* parent);
