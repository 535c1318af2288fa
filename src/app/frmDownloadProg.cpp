#include "frmDownloadProg.h"

#include "ProgramTransfer.h"
#include "RSComm.h"
#include "SharedRoutines.h"
#include "StartOnceShown.h"
#include "Stepper.h"
#include "ViewContext.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

frmDownloadProg::frmDownloadProg(ViewContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("frmDownloadProg"));
    setWindowTitle(QStringLiteral("TELVANE"));
    setModal(true);
    fraWaitDisplay = new QFrame(this);
    fraWaitDisplay->setObjectName(QStringLiteral("fraWaitDisplay"));
    fraWaitDisplay->setFrameShape(QFrame::Box);
    lblWaitDisplay =
        new QLabel(QStringLiteral("Sending Program at Address: 0000H"), fraWaitDisplay);
    lblWaitDisplay->setObjectName(QStringLiteral("lblWaitDisplay"));
    lblWaitDisplay->setMinimumWidth(320);
    auto* inner = new QVBoxLayout(fraWaitDisplay);
    inner->addWidget(lblWaitDisplay);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fraWaitDisplay);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(250);
    connect(&Timer1, &QTimer::timeout, this, &frmDownloadProg::Timer1_Timer);
    SetTransferMode(0);
    StartOnceShown(this, [this] { Form_Activate(); });
}

frmDownloadProg::~frmDownloadProg() = default;

void frmDownloadProg::SetTransferMode(int Mode) {
    m_transferMode = Mode;
    lblWaitDisplay->setText(Mode == 1 ? QStringLiteral("Reading Program at Address: ")
                                      : QStringLiteral("Sending Program at Address: "));
    Timer1.stop();
}

void frmDownloadProg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    // From here on the transfer is under way: the window waits for its end.
    m_shown = true;
}

void frmDownloadProg::Form_Activate() {
    RSComm& link = m_context.link();
    m_job = std::make_unique<ProgramTransfer>(link, m_transferMode == 1
                                                        ? ProgramTransfer::Direction::Upload
                                                        : ProgramTransfer::Direction::Download);
    m_stepper = new Stepper(
        link, [this] { return m_job->Step(); }, this);
    m_stepper->setOwner(this);
    connect(m_stepper, &Stepper::finished, this, &frmDownloadProg::TransferFinished);
    Timer1.start();
    m_stepper->Start();
}

void frmDownloadProg::TransferFinished() {
    Timer1.stop();
    m_finished = true;
    m_complete = m_job->Complete();
    m_transferMode = 0;
    accept();
}

bool frmDownloadProg::Running() const {
    return m_shown && !m_finished;
}

void frmDownloadProg::Timer1_Timer() {
    const RSComm& link = m_context.link();
    if (m_transferMode == 0) {
        if (link.InProgramMode())
            lblWaitDisplay->setText(link.WritingIdent()
                                        ? QStringLiteral("Writing Program Ident ... ")
                                        : QStringLiteral("Writing to Program Address: ") +
                                              link.CurrentProgramAdd());
    } else if (link.InUploadMode()) {
        lblWaitDisplay->setText(link.ReadingIdent()
                                    ? QStringLiteral("Reading Program Ident ... ")
                                    : QStringLiteral("Reading From Program Address: ") +
                                          link.CurrentProgramAdd());
    }
}

void frmDownloadProg::closeEvent(QCloseEvent* event) {
    // The board is half programmed while the transfer runs: it must end by itself.
    if (Running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmDownloadProg::reject() {
    if (Running())
        return;
    QDialog::reject();
}
