#pragma once

#include "Prompt.h"

#include <QString>
#include <array>

// The board program chosen for a download or an upload: a project of four
// files of one name (.kvl, .rev, .hex, .lcf), its board code, and the ident,
// checksum, revision and configuration digits read from its files. No link
// traffic; the messages of a project that cannot be used go through the prompt.
class ProgramProject {
public:
    explicit ProgramProject(Prompt& prompt) : m_prompt(prompt) {}

    // Selects a project for the download and checks it; sets ValidProgram.
    void setDownloadFile(const QString& kvlFileName);
    // Selects the project the upload writes into; no checks.
    void setUploadFile(const QString& kvlFileName);
    bool ValidProgram() const { return m_validProgram; }
    // The selected project must be chosen (and checked) again.
    void Invalidate() { m_validProgram = false; }
    // Reads the board code again; false (and the error shown under
    // errorTitle) when the project cannot be read.
    bool ReloadBoardCode(const QString& errorTitle);

    // MarkHEX digits ":" ";" "<" "=" ">" "?" to "A".."F" and back; the argument
    // is changed too.
    static QString MarkHex2HEX(QString& MarkHEX);
    static QString HEX2MarkHEX(QString& HexCode);

    // The four files, board code and model name.
    QString ProjectFile() const { return m_projectFile; }
    QString RevisionFile() const { return m_revisionFile; }
    QString ProgramFile() const { return m_programFile; }
    QString ConfigurationFile() const { return m_configurationFile; }
    int BoardCode() const { return m_boardCode; }
    QString ProgramTargetboardName() const { return m_programTargetboardName; }
    // From the revision file ("Unknown" until read); checksum and revision in decimal.
    QString FileIdent() const { return m_fileIdent; }
    QString FileChecksum() const { return m_fileChecksum; }
    QString FileRevision() const { return m_fileRevision; }
    // Configuration digits A, B, C from the configuration file (defaults 3, 0, 3).
    std::array<int, 3> ConfigDigits() const { return m_configDigits; }

private:
    void DeriveProjectPaths(const QString& kvlFileName);
    bool ReadBoardCode(const QString& kvlFileName, const QString& errorTitle);
    bool ReadRevisionFile(const QString& path);
    bool ReadConfigurationFile(const QString& path);
    void ShowFileError(const QString& title, Prompt::Icon icon, int number,
                       const QString& description);

    Prompt& m_prompt;
    bool m_validProgram = false;
    QString m_projectFile;
    QString m_revisionFile;
    QString m_programFile;
    QString m_configurationFile;
    QString m_programTargetboardName;
    int m_boardCode = 0;
    QString m_fileIdent = QStringLiteral("Unknown");
    QString m_fileRevision = QStringLiteral("Unknown");
    QString m_fileChecksum = QStringLiteral("Unknown");
    std::array<int, 3> m_configDigits{3, 0, 3};
};
