#pragma once

#include "SetupCompare.h"
#include "SetupRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class Prompt;
class SetupHistory;
struct SnapshotInfo;

// One comparison of two set-ups, as File, Compare... and telvane-cli diff
// run it: each side is read (a side that reads where the other keeps its
// values, the board, last), then the two are compared row by row.
//
// A side is a value: what kind of source it reads (a set-up file, memory,
// the board) lies in how it was made. A new kind joins with a new way to
// make a side; the comparison and its callers stay as they are.
namespace SetupComparison {

// A side as read: its name above the comparison, and its values.
struct SideRecord {
    QString name;
    SetupRecord record;
};

// What a side is read for.
struct SideRequest {
    int groups = 0; // DataTransfer::Group set
    // The other side's values, for a side that reads where the other keeps
    // them; null for the others.
    const SetupRecord* other = nullptr;
};

struct Side {
    // The side's values; nullopt when it could not be read (it has said why,
    // or the user said No or Cancel).
    std::function<std::optional<SideRecord>(const SideRequest&)> read;
    // Read after the other side and at its addresses, so that the comparison
    // shows what a download of the other side would change.
    bool readsAtOther = false;
};

// A set-up data file as Open takes it: the warning when it cannot be read
// or names an address that is no register, and Open's question when another
// version made it.
Side FileSide(const QString& path, const QString& programVersionTag, Prompt& prompt);
// The data in memory, as it is when the comparison runs.
Side MemorySide(const SetupRecord& data, bool unsavedChanges);
// The board, read into a copy of the other side's record by readBoard
// (nullopt: the board failed or the read was cancelled, and the user has
// been told); device names the port, once it has been read.
using BoardRead =
    std::function<std::optional<SetupRecord>(const SetupRecord& addresses, int groups)>;
Side BoardSide(BoardRead readBoard, std::function<QString()> device);
// A snapshot of the set-up history, by its number; warn says why it cannot
// be compared (no such snapshot, a history that cannot be read).
Side SnapshotSide(SetupHistory& history, qint64 number,
                  std::function<void(const QString& why)> warn);

struct Comparison {
    std::array<QString, 2> names; // left, right
    QList<SetupCompare::Row> rows;
};

struct Outcome {
    std::optional<Comparison> comparison;
    int failedSide = -1; // the side that could not be read, when there is no comparison
};

// Reads both sides and compares them in the groups. Two sides that both
// read at the other are no comparison (nothing is read; side 1 fails).
Outcome Run(const Side& left, const Side& right, int groups);

// The sides' names above a comparison.
QString FileSideName(const QString& path);
QString BoardSideName(const QString& device, const QDateTime& when);
QString MemorySideName(bool unsavedChanges);
QString SnapshotSideName(const SnapshotInfo& snapshot);

} // namespace SetupComparison
