// The File menu's group upload and download: the questions, the offer to go
// online, and the progress window that performs the transfer.
#include "frmMDIMain.h"

#include "Prompt.h"
#include "SharedRoutines.h"
#include "frmProcessing.h"

#include <QAction>

void frmMDIMain::connectTransferMenus() {
    for (int i = 0; i < int(m_menus.mnuFileUploadData.size()); ++i) {
        connect(m_menus.mnuFileUploadData[size_t(i)], &QAction::triggered, this,
                [this, i] { mnuFileUploadData_Click(i); });
        connect(m_menus.mnuFileDownloadData[size_t(i)], &QAction::triggered, this,
                [this, i] { mnuFileDownloadData_Click(i); });
    }
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
    if (!m_link.OnlineMode()) {
        const auto answer =
            m_prompt.message(QStringLiteral("Program Offline"),
                             QStringLiteral("Program is Currently OFFLINE\r\n\r\n"
                                            "Do You Wish to Switch to ONLINE MODE to Continue?"),
                             Prompt::Icon::Question, Prompt::Buttons::YesNo);
        if (answer != Prompt::Answer::Yes)
            return;
        // Goes on whether the link came up or not: the transfer then reports it.
        mnuViewOnline_Click();
    }
    m_shared.TransferRequest = code;
    frmProcessing processing(*m_context, this);
    processing.exec();
}
