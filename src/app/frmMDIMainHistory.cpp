// The set-up history in the main window: the History window, a snapshot
// opened into memory or compared, the fault log following the online mode,
// and the one message when the history cannot be kept.
#include "frmMDIMain.h"

#include "Prompt.h"
#include "SdtFile.h"
#include "frmCompare.h"
#include "frmHistory.h"

#include <QLocale>

void frmMDIMain::mnuFileHistory_Click() {
    if (m_link.Busy())
        return;
    frmHistory form(
        *m_context, [this](const Snapshot& snapshot) { return OpenSnapshot(snapshot); },
        [this](qint64 left, int otherSource, std::optional<qint64> otherSnapshot, int groups) {
            CompareSnapshot(left, otherSource, otherSnapshot, groups);
        },
        this);
    form.exec();
}

void frmMDIMain::CompareSnapshot(qint64 left, int otherSource, std::optional<qint64> otherSnapshot,
                                 int groups) {
    if (m_link.Busy())
        return;
    frmCompare form(
        *m_context, [this] { return m_commControl.portName(); }, m_printDialogs, this);
    form.SetSide(0, frmCompare::History, QString::number(left));
    if (otherSnapshot)
        form.SetSide(1, frmCompare::History, QString::number(*otherSnapshot));
    else
        form.SetSide(1, frmCompare::Source(otherSource));
    form.SetGroups(groups);
    // Shown at once, with the comparison (or with what kept it from being made).
    QMetaObject::invokeMethod(&form, &frmCompare::cmdCompare_Click, Qt::QueuedConnection);
    form.exec();
}

bool frmMDIMain::OpenSnapshot(const Snapshot& snapshot) {
    const auto record = SnapshotSetup(snapshot);
    if (const auto* error = std::get_if<HistoryError>(&record)) {
        FileWarning(error->reason);
        return false;
    }
    if (!SaveOrDiscardChanges())
        return false;
    const SetupRecord& data = std::get<SetupRecord>(record);
    if (data.VersionTag != m_shared.ProgramVersionTag &&
        SdtFile::AskOtherVersion(m_prompt, data.VersionTag) != Prompt::Answer::Yes)
        return false;
    // As a new set: Save asks for a file; nothing is lost, the history keeps it.
    m_shared.CurrentData = data;
    m_shared.SavedData = m_shared.CurrentData;
    m_shared.Untitled = true;
    m_shared.Files.gUploadNOW =
        QLocale().toString(snapshot.info.time.toLocalTime(), QLocale::ShortFormat);
    m_shared.Files.gFileNameCaption = QStringLiteral("[Snapshot %1]").arg(snapshot.info.number);
    SetCaption();
    m_context->NotifyDataReplaced();
    return true;
}

void frmMDIMain::HistoryNotice(const HistoryError& error) {
    m_prompt.message(QStringLiteral("TELVANE"),
                     QStringLiteral("The set-up history could not be kept.\n\n") + error.reason +
                         QStringLiteral("\n\nUploads, downloads and files work as before; this is "
                                        "not said again until TELVANE starts anew."),
                     Prompt::Icon::Exclamation);
}

void frmMDIMain::FaultLogFollows(bool online, bool failed) {
    m_faultWatch.Online(m_commControl.portName(), online, failed, QDateTime::currentDateTime());
}
