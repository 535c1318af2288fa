#pragma once

#include "SetupRecord.h"

#include <QString>
#include <optional>

// Reading and writing whole ".sdt" set-up data files, for callers without
// the main window (telvane-cli).
namespace SdtFile {

// The record of the file with its tables grown to the full register table
// (missing entries: empty address, value 0), or nullopt with the warning to
// show when the file cannot be opened or is not a set-up data file.
std::optional<SetupRecord> read(const QString& path, QString* warning);

// Writes the whole file or nothing (the old file stays whole); false with
// the warning to show.
bool write(const QString& path, const SetupRecord& record, QString* warning);

} // namespace SdtFile
