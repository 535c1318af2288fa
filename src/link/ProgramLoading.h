#pragma once

#include "ProgramRecords.h"

#include <QByteArray>
#include <QString>
#include <optional>

class Clock;
class Prompt;
class RSComm;

// What only a program transfer may do to the link: put the board into
// program loading, send and read program records, and keep the link's
// transfer flags. The transfer makes one from its link; nothing else can, so
// no window or command can put the board into program mode by itself.
class ProgramLoading {
public:
    // What the transfer reports through and waits by.
    Prompt& prompt() const;
    Clock& clock() const;

    // A download begins: in program mode, no record address yet.
    void BeginProgramMode();
    // A download is over (InProgramMode and WritingIdent clear).
    void EndProgramMode();
    void setWritingIdent(bool writing);
    void setReadingIdent(bool reading);
    // The selected project must be chosen (and checked) again.
    void InvalidateProgram();
    // Reads the selected project's board code again; false (and the error
    // shown under errorTitle) when the project cannot be read.
    bool ReloadBoardCode(const QString& errorTitle);

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

private:
    friend class ProgramTransfer;
    explicit ProgramLoading(RSComm& link) : m_link(link) {}

    RSComm& m_link;
};
