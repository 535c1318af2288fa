// The main window's program command: pick a project, check it, and download
// its program into the board (mode 0), or open the target board window for
// it (mode 1).
#include "frmMDIMain.h"

#include "Prompt.h"
#include "frmDownloadProg.h"

#include <QFileInfo>

namespace {
const QString KorvelFilter = QStringLiteral("Korvel Files (*.kvl *.KVL)");
} // namespace

void frmMDIMain::ProgramFileCommand(int mode) {
    if (m_link.Busy())
        return;
    // Goes on whether or not the board answered: the download says so.
    if (mode == 0 && !m_context->OfferToGoOnline())
        return;
    QString& programFile = m_shared.Files.gProgramFilePath;
    const QString chosen =
        m_context->fileDialogs().getOpenFileName(this, KorvelFilter, programFile);
    if (!chosen.isEmpty()) {
        programFile = chosen;
        m_link.setDownloadFile(chosen);
        if (!m_link.ValidProgram())
            return;
    } else if (mode == 0) {
        return;
    }
    if (mode == 1) {
        if (const auto& open = m_context->targetBoardOpener())
            open(programFile);
        return;
    }
    if (m_prompt.message(QStringLiteral("Program Download"),
                         QStringLiteral("You are about to download \"") +
                             QFileInfo(chosen).fileName() +
                             QStringLiteral("\" to the K2700.\r\n\r\nDo you wish to continue?"),
                         Prompt::Icon::Question, Prompt::Buttons::YesNo) != Prompt::Answer::Yes)
        return;
    // The background polling stays off the link while records stream.
    m_tmrBackgroungUpdate.stop();
    {
        frmDownloadProg window(*m_context, this);
        window.SetTransferMode(0);
        window.exec();
    }
    m_tmrBackgroungUpdate.start();
    ApplyOnlineMode();
}
