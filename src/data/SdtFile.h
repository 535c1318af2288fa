#pragma once

#include "Prompt.h"
#include "SetupRecord.h"

#include <QString>
#include <optional>

// Reading and writing whole ".sdt" set-up data files: the main window's Open
// and Save, and the command line's upload, download and report.
namespace SdtFile {

// The record of the file with its tables grown to the full register table
// (missing entries: empty address, value 0), or nullopt with the warning
// that tells the user why the file cannot be used.
std::optional<SetupRecord> read(const QString& path, QString* warning);

// read, and refused too when its address table names an address that is
// no register (a damaged file, or another program's): for what takes the
// file as one machine's set-up, a compare or a report.
std::optional<SetupRecord> readChecked(const QString& path, QString* warning);

// Writes the whole file or nothing (the old file stays whole); false with
// the warning to show.
bool write(const QString& path, const SetupRecord& record, QString* warning);

// The question before data that another version of the program made is
// used: "Data tables may not be properly aligned."
Prompt::Answer AskOtherVersion(Prompt& prompt, const QString& fileVersionTag);

} // namespace SdtFile
