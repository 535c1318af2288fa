// The File menu's group upload and download: the questions, the offer to go
// online, the progress window that performs the transfer and the snapshot
// after it; and the compare window, which reads the board as an upload does.
#include "frmMDIMain.h"

#include "Prompt.h"
#include "SharedRoutines.h"
#include "frmCompare.h"
#include "frmProcessing.h"

#include <QAction>

void frmMDIMain::connectTransferMenus() {
    for (int i = 0; i < int(m_menus.mnuFileUploadData.size()); ++i) {
        connect(m_menus.mnuFileUploadData[size_t(i)], &QAction::triggered, this,
                [this, i] { mnuFileUploadData_Click(i); });
        connect(m_menus.mnuFileDownloadData[size_t(i)], &QAction::triggered, this,
                [this, i] { mnuFileDownloadData_Click(i); });
    }
    connect(m_menus.mnuFileCompare, &QAction::triggered, this, &frmMDIMain::mnuFileCompare_Click);
    connect(m_menus.mnuFileHistory, &QAction::triggered, this, &frmMDIMain::mnuFileHistory_Click);
}

void frmMDIMain::mnuFileUploadData_Click(int index) {
    if (m_link.Busy())
        return;
    const auto answer = m_prompt.message(QStringLiteral("Data Upload"),
                                         QStringLiteral("You are about to Upload Data from the PLC"
                                                        "\r\n\r\nDo You Wish to Continue?"),
                                         Prompt::Icon::Question, Prompt::Buttons::YesNo);
    if (answer != Prompt::Answer::Yes)
        return;
    m_shared.Files.gUploadNOW = GeneralDateNow();
    RunTransfer(index);
}

void frmMDIMain::mnuFileDownloadData_Click(int index) {
    if (m_link.Busy())
        return;
    const auto answer = m_prompt.message(QStringLiteral("Data Download"),
                                         QStringLiteral("You are about to Download Data to the PLC"
                                                        "\r\n\r\nDo You Wish to Continue?"),
                                         Prompt::Icon::Question, Prompt::Buttons::YesNo);
    if (answer != Prompt::Answer::Yes)
        return;
    RunTransfer(index + DataTransfer::DownloadSetup);
}

void frmMDIMain::RunTransfer(int code) {
    if (!m_context->OfferToGoOnline())
        return;
    m_shared.TransferRequest = code;
    frmProcessing processing(*m_context, this);
    processing.exec();
    if (processing.Finished())
        m_context->TakeSnapshotAfter(processing.transfer(), m_shared.CurrentData);
}

void frmMDIMain::mnuFileCompare_Click() {
    if (m_link.Busy())
        return;
    frmCompare form(
        *m_context, [this] { return m_commControl.portName(); }, m_printDialogs, this);
    form.exec();
}
