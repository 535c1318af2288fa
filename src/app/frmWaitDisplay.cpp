#include "frmWaitDisplay.h"

#include "PrintDialogs.h"
#include "Prompt.h"
#include "Report.h"
#include "SharedRoutines.h"
#include "SharedState.h"
#include "StartOnceShown.h"
#include "ViewContext.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPrinter>
#include <QVBoxLayout>

frmWaitDisplay::frmWaitDisplay(ViewContext& context, std::unique_ptr<QPrinter> printer,
                               QWidget* parent)
    : QDialog(parent), m_context(context), m_printer(std::move(printer)) {
    setObjectName(QStringLiteral("frmWaitDisplay"));
    setWindowTitle(QStringLiteral("TELVANE"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_lblWaitDisplay = new QLabel(QStringLiteral("Please Standby ..."), this);
    m_lblWaitDisplay->setObjectName(QStringLiteral("lblWaitDisplay"));
    m_lblWaitDisplay->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_lblWaitDisplay);
    setMinimumWidth(320);
}

frmWaitDisplay::~frmWaitDisplay() = default;

void frmWaitDisplay::Form_Load() {
    const bool report = m_context.shared().ReportRequest == 1;
    if (report)
        m_lblWaitDisplay->setText(QStringLiteral("Generating Report, Please Standby ..."));
    adjustSize();
    CenterForm(this);
    StartOnceShown(this, [this, report] {
        if (report) {
            RunReport();
        } else {
            hide();
            emit reportDone(false);
            deleteLater();
        }
    });
    show();
}

void frmWaitDisplay::RunReport() {
    m_running = true;
    const SharedState& shared = m_context.shared();
    const bool printed =
        m_printer && PrintReport(*m_printer, shared.CurrentData, shared.Files.gFileNameCaption,
                                 PrinterJob(*m_printer));
    m_running = false;
    hide();
    if (!printed)
        m_context.prompt().message(QStringLiteral("TELVANE"),
                                   QStringLiteral("Unable to print report."),
                                   Prompt::Icon::Exclamation);
    emit reportDone(printed);
    deleteLater();
}

void frmWaitDisplay::closeEvent(QCloseEvent* event) {
    // The window goes away by itself when the job is over.
    event->ignore();
}
