#include "frmProcessing.h"

#include "ErrorText.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedRoutines.h"
#include "SharedState.h"
#include "StartOnceShown.h"
#include "Stepper.h"
#include "ViewContext.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmProcessing::frmProcessing(ViewContext& context, QWidget* parent)
    : QDialog(parent), m_context(context),
      m_transfer(context.link(), context.shared().CurrentData, context.shared().TransferRequest) {
    BuildControls();
}

frmProcessing::frmProcessing(ViewContext& context, SetupRecord& target, int groups,
                             const QString& caption, QWidget* parent)
    : QDialog(parent), m_context(context), m_transfer(context.link(), target, groups, caption),
      m_intoMemory(false) {
    BuildControls();
}

void frmProcessing::BuildControls() {
    setObjectName(QStringLiteral("frmProcessing"));
    setWindowTitle(QStringLiteral("TELVANE"));
    setModal(true);

    m_lblProcessing = new QLabel(this);
    m_lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    m_lblProcessing->setMinimumWidth(360);
    m_prgProcessing = new QProgressBar(this);
    m_prgProcessing->setObjectName(QStringLiteral("prgProcessing"));
    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmProcessing::cmdCancel_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblProcessing);
    layout->addWidget(m_prgProcessing);
    layout->addWidget(m_cmdCancel, 0, Qt::AlignHCenter);

    m_stepper = new Stepper(
        m_context.link(), [this] { return TransferStep(); }, this);
    m_stepper->setOwner(this);
    connect(m_stepper, &Stepper::finished, this, &frmProcessing::TransferEnded);
    Form_Load();
    StartOnceShown(this, [this] { StartTransfer(); });
}

frmProcessing::~frmProcessing() {
    m_stepper->Stop();
}

void frmProcessing::Form_Load() {
    adjustSize();
    CenterForm(this);
    m_prgProcessing->setMinimum(0);
    m_prgProcessing->setMaximum(m_transfer.Maximum());
    m_prgProcessing->setValue(0);
    m_lblProcessing->setText(m_transfer.StatusCaption());
}

void frmProcessing::StartTransfer() {
    m_stepper->Start();
}

bool frmProcessing::TransferStep() {
    const bool more = m_transfer.Step();
    ShowProgress();
    return more;
}

void frmProcessing::ShowProgress() {
    m_lblProcessing->setText(m_transfer.StatusCaption());
    m_prgProcessing->setValue(m_transfer.Value());
}

void frmProcessing::TransferEnded() {
    SharedState& shared = m_context.shared();
    if (m_transfer.TimingDownloaded())
        shared.TimingDownloaded = true;
    if (m_intoMemory && m_transfer.DataChanged())
        m_context.NotifyDataReplaced();
    if (m_transfer.Failed())
        m_context.prompt().message(QStringLiteral("TELVANE"), ErrorText::processNotComplete(),
                                   Prompt::Icon::Exclamation);
    m_finished = true;
    // Hides the window and lets exec() return.
    done(QDialog::Accepted);
}

void frmProcessing::cmdCancel_Click() {
    m_transfer.Cancel();
}

void frmProcessing::reject() {
    // Esc and the close box cancel the transfer; the window goes when it ends.
    if (m_finished)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmProcessing::closeEvent(QCloseEvent* event) {
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    cmdCancel_Click();
    event->ignore();
}
