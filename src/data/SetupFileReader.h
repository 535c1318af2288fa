#pragma once

#include "SetupRecord.h"

#include <QString>
#include <optional>

// Reads a ".sdt" set-up data file: the record, or nullopt with the warning
// that tells the user why the file cannot be used.
std::optional<SetupRecord> ReadSetupFile(const QString& path, QString* warning);
