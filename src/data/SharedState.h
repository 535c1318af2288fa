#pragma once

#include "SetupRecord.h"

#include <QString>
#include <array>

// Highest index of the register table (49 entries).
constexpr int LastIndex = 48;

// Groups of the register table.
namespace RegisterGroup {
constexpr int ShiftDataFirst = 0;
constexpr int ShiftDataLast = 37;
constexpr int SetupFirst = 38;
constexpr int SetupLast = 48;
} // namespace RegisterGroup

// The main window's program-wide names of the files it works with.
struct FileNames {
    QString gFileNameCaption; // the caption's file part: "[unnamed]" or "[NAME]"
    QString gFileNamePath;    // the set-up data file; the Open dialog starts here
    QString gFileNameTitle;   // the file's name, for the export's preset
    QString gFileExportPath;
    QString gProgramFilePath; // the project file of the last program command
    QString gUploadNOW;       // date and time of the last upload or opening, for the export
};

// The program-wide data: created by the main window at start-up, alive until
// exit, used by every window on the one user-interface thread.
struct SharedState {
    SetupRecord CurrentData; // what the program works with
    SetupRecord SavedData;   // CurrentData as last created, opened or saved
    SetupRecord DefaultData; // built-in defaults; never changes after start-up
    SetupRecord FileData;    // a set-up data file as read, before it is accepted

    FileNames Files;

    bool OfflineEditing = false;
    bool Untitled = true;
    bool DataReplaced = false;
    bool TimingDownloaded = false;
    int TransferRequest = 0;
    int ReportRequest = 0;
    QString SystemMessage;
    QString ProgramVersionTag;
    std::array<QString, 6> AlarmPollAddress; // entry 5 is never set
    std::array<QString, 10> AlarmMessage;
};

// "TELVANE_R<major>.<minor>.<revision>" of this build.
QString BuildVersionTag();
// The version as people write it, "1.0.0".
QString BuildVersionNumber();

// CurrentData differs from SavedData where the save question looks: the
// values, the whole PLS part, or a version tag not this program's.
bool HasUnsavedChanges(const SharedState& state);

// Builds DefaultData (addresses, defaults, version tag) and copies it into
// CurrentData and SavedData; Untitled becomes true.
void InitRegisterMap(SharedState& state);
