#pragma once

#include "CliCommand.h"

#include <optional>

class DataTransfer;
struct SetupRecord;

// The snapshots telvane-cli takes by itself (after an upload, of what a
// download sent, of the board a diff read). When the history cannot be
// kept the command does what it would have done, with the same exit
// status, and says once why.
namespace CliHistory {

// The snapshot's number, or nullopt when it could not be kept.
std::optional<qint64> take(const CliSession& session, const QString& action, int groups,
                           const SetupRecord& record);

// After the group transfer of the record (HistoryKeeper::TakeAfter).
void takeAfter(const CliSession& session, const DataTransfer& transfer, const SetupRecord& record);

// "the set-up history could not be kept: REASON" on standard error.
void cannotKeep(const QString& reason);

} // namespace CliHistory
