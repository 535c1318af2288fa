// The set-up data file commands of the main window: New, Open, Save, Save As,
// Export Shift Data, and the question that guards unsaved changes.
#include "frmMDIMain.h"

#include "Prompt.h"
#include "SdtFile.h"
#include "SharedRoutines.h"
#include "ShiftExport.h"
#include "WholeFile.h"

#include <QFileInfo>

namespace {

const QString SetupFilter = QStringLiteral("Setup Files (*.sdt *.SDT)");
const QString TextFilter = QStringLiteral("Text Files (*.txt *.TXT)");
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int Cancel = 2;

// The folder of a path such as "/data/press4.sdt" or "/program/*.sdt", as
// a dialog's preset ("/data/"): a folder to start in, never a name to offer.
QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath() + u'/';
}

} // namespace

void frmMDIMain::FileWarning(const QString& text) {
    m_prompt.message(QStringLiteral("TELVANE"), text, Prompt::Icon::Exclamation);
}

int frmMDIMain::SaveChangesPrompt() {
    if (!HasUnsavedChanges(m_shared))
        return 0;
    switch (m_prompt.message(QStringLiteral("TELVANE"), QStringLiteral("Save Changes to File?"),
                             Prompt::Icon::Exclamation, Prompt::Buttons::YesNoCancel)) {
    case Prompt::Answer::Yes:
        return Yes;
    case Prompt::Answer::No:
        return No;
    default:
        return Cancel;
    }
}

bool frmMDIMain::SaveOrDiscardChanges() {
    switch (SaveChangesPrompt()) {
    case Cancel:
        return false;
    // A cancelled Save As or a failed write must not let the data be thrown away.
    case Yes:
        return mnuFileSave_Click();
    default:
        return true;
    }
}

void frmMDIMain::FileNew() {
    if (!SaveOrDiscardChanges())
        return;
    m_shared.CurrentData = m_shared.DefaultData;
    m_shared.SavedData = m_shared.CurrentData;
    m_shared.Untitled = true;
    m_shared.Files.gFileNameCaption = m_unnamedCaption;
    SetCaption();
    m_context->NotifyDataReplaced();
}

void frmMDIMain::mnuFileOpen_Click() {
    for (;;) {
        if (!SaveOrDiscardChanges())
            return;
        const QString path = m_context->fileDialogs().getOpenFileName(this, SetupFilter,
                                                                      m_shared.Files.gFileNamePath);
        if (path.isEmpty())
            return;
        QString warning;
        const auto record = SdtFile::read(path, &warning);
        if (!record) {
            FileWarning(warning);
            return;
        }
        m_shared.FileData = *record;

        const QString previousPath = m_shared.Files.gFileNamePath;
        const QString previousTitle = m_shared.Files.gFileNameTitle;
        const QString previousUploadNow = m_shared.Files.gUploadNOW;
        m_shared.Files.gFileNamePath = path;
        m_shared.Files.gFileNameTitle = QFileInfo(path).fileName();
        m_shared.Files.gUploadNOW = GeneralDateNow();
        if (m_shared.FileData.VersionTag != m_shared.ProgramVersionTag) {
            const auto answer = SdtFile::AskOtherVersion(m_prompt, m_shared.FileData.VersionTag);
            if (answer != Prompt::Answer::Yes) {
                // Save must go on writing the file the caption names.
                m_shared.Files.gFileNamePath = previousPath;
                m_shared.Files.gFileNameTitle = previousTitle;
                m_shared.Files.gUploadNOW = previousUploadNow;
                if (answer == Prompt::Answer::No)
                    continue;
                return;
            }
        }
        AcceptFileData();
        m_context->NotifyDataReplaced();
        return;
    }
}

void frmMDIMain::AcceptFileData() {
    SetupRecord& data = m_shared.FileData;
    const qsizetype entries = LastIndex + 1;
    data.AddressTable.resize(entries);
    data.ValueTable.resize(entries, 0);
    m_shared.CurrentData = data;
    m_shared.SavedData = m_shared.CurrentData;
    m_shared.Untitled = false;
    m_shared.Files.gFileNameCaption = u'[' + m_shared.Files.gFileNameTitle + u']';
    SetCaption();
}

bool frmMDIMain::mnuFileSave_Click() {
    if (m_shared.Untitled)
        return mnuFileSaveAs_Click();
    return WriteSetupFile();
}

bool frmMDIMain::WriteSetupFile() {
    SetupRecord record = m_shared.CurrentData;
    record.VersionTag = m_shared.ProgramVersionTag;
    QString warning;
    if (!SdtFile::write(m_shared.Files.gFileNamePath, record, &warning)) {
        FileWarning(warning);
        return false;
    }
    m_shared.CurrentData = record;
    m_shared.Files.gFileNameCaption = u'[' + m_shared.Files.gFileNameTitle + u']';
    SetCaption();
    m_shared.SavedData = m_shared.CurrentData;
    return true;
}

bool frmMDIMain::mnuFileSaveAs_Click() {
    // The name box starts empty, in the folder of the current file.
    const QString path = m_context->fileDialogs().getSaveFileName(
        this, SetupFilter, folderOf(m_shared.Files.gFileNamePath), QStringLiteral("sdt"));
    if (path.isEmpty())
        return false;
    const bool previousUntitled = m_shared.Untitled;
    const QString previousPath = m_shared.Files.gFileNamePath;
    const QString previousTitle = m_shared.Files.gFileNameTitle;
    m_shared.Untitled = false;
    m_shared.Files.gFileNamePath = path;
    m_shared.Files.gFileNameTitle = QFileInfo(path).fileName();
    if (WriteSetupFile())
        return true;
    // Nothing was written: the file names stay those of the data in memory.
    m_shared.Untitled = previousUntitled;
    m_shared.Files.gFileNamePath = previousPath;
    m_shared.Files.gFileNameTitle = previousTitle;
    return false;
}

void frmMDIMain::mnuFileExport_Click() {
    const QString preset = m_shared.Files.gFileExportPath.isEmpty()
                               ? folderOf(m_shared.Files.gFileNamePath)
                               : m_shared.Files.gFileExportPath;
    const QString path =
        m_context->fileDialogs().getSaveFileName(this, TextFilter, preset, QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    m_shared.Files.gFileExportPath = path;
    const QByteArray text = ShiftExport::text(m_shared.CurrentData, m_shared.Files.gFileNameTitle,
                                              m_shared.Files.gUploadNOW);
    if (const auto failed = WriteWholeFile(path, text))
        FileWarning(QStringLiteral("Unable to export to ") + path + QStringLiteral(".\n\n") +
                    failed->description);
}
