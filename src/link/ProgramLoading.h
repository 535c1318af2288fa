#pragma once

#include "ProgramRecords.h"

#include <QByteArray>
#include <QString>
#include <optional>

class BoardLink;
class Clock;
class ProgramProject;
class Prompt;

// The state of a program transfer that everyone may read (in program mode,
// in upload mode, which record), and what only a program transfer may do to
// the link: put the board into program loading, send and read program
// records. Its primitives are the transfer's alone, so no window or command
// can put the board into program mode by itself.
class ProgramLoading {
public:
    ProgramLoading(BoardLink& core, Prompt& prompt, ProgramProject& project);

    bool InProgramMode() const { return m_inProgramMode; }
    bool InUploadMode() const { return m_inUploadMode; }
    void setInUploadMode(bool uploadMode) { m_inUploadMode = uploadMode; }
    bool WritingIdent() const { return m_writingIdent; }
    bool ReadingIdent() const { return m_readingIdent; }
    // The record being moved ("2000H"), a single space before the first.
    QString CurrentProgramAdd() const { return m_currentProgramAdd; }

private:
    friend class ProgramTransfer;

    // What the transfer reports through and waits by.
    Prompt& prompt() const { return m_prompt; }
    Clock& clock() const;
    ProgramProject& project() const { return m_project; }

    // A download begins: in program mode, no record address yet.
    void BeginProgramMode();
    // A download is over (InProgramMode and WritingIdent clear).
    void EndProgramMode();
    void setWritingIdent(bool writing) { m_writingIdent = writing; }
    void setReadingIdent(bool reading) { m_readingIdent = reading; }

    // Arms the board's program loading and clears its fault code.
    void ArmProgramLoad();
    // Puts the armed board into program loading.
    void StartProgramLoad();
    // Sends one record and awaits the board's sum of it: false when the sum
    // was wrong or did not come. CurrentProgramAdd names the record.
    bool SendProgramRecord(const ProgramRecords::Record& record);
    // Ends program loading: false when the board did not answer as it should.
    bool EndProgramLoad();
    // Reads bytes of program memory from address on; CurrentProgramAdd names
    // it. nullopt when a read failed.
    std::optional<QByteArray> ReadProgramRecord(int address, int bytes);

    BoardLink& m_core;
    Prompt& m_prompt;
    ProgramProject& m_project;
    bool m_inProgramMode = false;
    bool m_inUploadMode = false;
    bool m_writingIdent = false;
    bool m_readingIdent = false;
    QString m_currentProgramAdd = QStringLiteral(" ");
};
