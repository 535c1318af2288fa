#include "ReportCommand.h"

#include "PrintDialogs.h"
#include "SharedState.h"
#include "ViewContext.h"
#include "frmWaitDisplay.h"

#include <QPrinter>

ReportCommand::ReportCommand(ViewContext& context, PrintDialogs& dialogs, QWidget* parent)
    : QObject(parent), m_context(context), m_dialogs(dialogs), m_parent(parent) {}

void ReportCommand::mnuFilePrint_Click() {
    // One report at a time.
    if (m_wait)
        return;
    // A printer of its own for each report: the choice holds for this job only.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_dialogs.choosePrinter(m_parent, *printer))
        return;
    m_context.shared().ReportRequest = 1;
    m_wait = new frmWaitDisplay(m_context, std::move(printer), m_parent);
    m_wait->Form_Load();
}

void InstallReportCommand(ViewContext& context, PrintDialogs& dialogs, QWidget* parent) {
    auto* command = new ReportCommand(context, dialogs, parent);
    context.setPrintCommand([command] { command->mnuFilePrint_Click(); });
}
