#pragma once

#include "BoardIdent.h"
#include "ProgramLoading.h"
#include "ProgramProject.h"
#include "ProgramRecords.h"
#include "Prompt.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class RSComm;

// A program download into the board (DumpProgram) or an upload of the board's
// program into the selected project (UploadProgram), run one step at a time:
// each Step moves at most one program record or does one other transaction
// (or a slice of a fixed wait), so a window can repaint between steps. The
// messages, flags and OnlineMode follow the link's DumpProgram and
// UploadProgram exactly; RSComm runs the same job to its end in one call.
class ProgramTransfer {
public:
    enum class Direction { Download, Upload };

    ProgramTransfer(RSComm& link, Direction direction);
    // A transfer dropped before its end leaves the link's transfer flags clear.
    ~ProgramTransfer();
    ProgramTransfer(const ProgramTransfer&) = delete;
    ProgramTransfer& operator=(const ProgramTransfer&) = delete;

    // Runs the next step; false once the transfer is over.
    bool Step();
    bool Over() const { return m_phase == Phase::Over; }
    // Over with "Program Download Complete!" or "Program Upload Complete!".
    bool Complete() const { return m_complete; }
    // Over before anything was written to the board (a refusal, No, a bad file).
    bool Refused() const { return Over() && !m_touched; }
    Direction direction() const { return m_direction; }
    // Records moved so far and in all (0 until the program is known).
    int RecordsDone() const { return m_recordIndex; }
    int RecordCount() const { return m_recordCount; }

    // The board's ident block.
    static constexpr int IdentAddress = BoardIdent::Address;
    static constexpr int IdentBytes = BoardIdent::Bytes;
    static constexpr int RecordBytes = 16; // per uploaded record

private:
    enum class Phase {
        Start,
        ReadIdent,
        Confirm,
        Prepare,
        Records,
        LeaveProgramMode,
        Settle,
        WriteIdent,
        Report,
        ReadConfiguration,
        Save,
        Over
    };

    void RunPhase();
    // Steps both directions share.
    bool RequireOnline(const QString& title);
    std::optional<QString> ReadIdentByte();
    void RecordStep();
    void StartSettle(Phase phase);
    void Trap(const char* what);
    // Download steps.
    void DownloadStart();
    void DownloadReadIdent();
    void DownloadConfirm();
    void DownloadPrepare();
    bool DownloadRecord();
    void DownloadLeave();
    void DownloadSettle();
    void DownloadWriteIdent();
    void DownloadReport();
    // A download ended by a failure after the confirmation.
    void DownloadFailed(const QString& text, Prompt::Icon icon);
    // Upload steps.
    void UploadStart();
    void UploadReadIdent();
    void UploadReadConfiguration();
    bool UploadRecord();
    void UploadSave();
    void UploadNotComplete();
    void End() { m_phase = Phase::Over; }

    RSComm& m_link;
    ProgramLoading& m_loading;
    ProgramProject& m_project;
    Direction m_direction;
    Phase m_phase = Phase::Start;
    bool m_complete = false;
    int m_index = 0; // within the ident block
    int m_recordIndex = 0;
    int m_recordCount = 0;
    qint64 m_settleUntilMs = 0;
    bool m_identFailed = false;
    bool m_touched = false;

    // Download.
    QList<ProgramRecords::Record> m_records;
    QString m_boardIdent;
    QString m_boardChecksum;
    QString m_boardRevision;
    QByteArray m_fileIdentBytes;

    // Upload.
    QByteArray m_identBytes;
    QString m_checksumText;
    QString m_revisionText;
    QByteArray m_configurationLine;
    QByteArray m_hexText;
    int m_firstAddress = 0;
};
