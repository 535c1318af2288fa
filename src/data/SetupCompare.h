#pragma once

#include "SetupRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Prompt;
struct SnapshotInfo;

// What differs between two set-ups (the board, memory, a set-up data file):
// one row per value, named as the views name it and shown as they show it.
// The compare window and telvane-cli diff both use it.
namespace SetupCompare {

// Sets of DataTransfer::Group; set-up parameters and timing channels unless
// told otherwise, since shift counts always differ.
int DefaultGroups();
// The groups of "setup,timing,shift,all" (any of them, comma-separated), or
// nullopt when a word is not one of the four.
std::optional<int> ParseGroups(const QString& text);

struct Row {
    QString name;
    QString address; // empty for the PLS values, which have no register
    QString left;    // empty where the address is on the right side only
    QString right;   // and the other way round

    bool operator==(const Row&) const = default;
};

// Every value of the groups that differs, in this order: the set-up
// parameters as the Set-up Parameters view lists them (then the DF1 link's),
// the PLS configuration, the channels, the shift data. Register values are
// matched by address, so that a record with another address table compares
// what lives at each address; an address on one side only is a difference.
QList<Row> Compare(const SetupRecord& left, const SetupRecord& right, int groups);
// Every value of the groups of one set-up, in the same order, named and
// shown the same way; the value is on the left, the right stays empty.
QList<Row> Values(const SetupRecord& record, int groups);

// The comparison as CSV: the header "name,address,LEFT,RIGHT" with the two
// sides' names, then a line per row; lines end with CR LF.
QByteArray Csv(const QList<Row>& rows, const QString& leftName, const QString& rightName);

// The sides' names above a comparison.
QString FileSideName(const QString& path);
QString BoardSideName(const QString& device, const QDateTime& when);
QString MemorySideName(bool unsavedChanges);
QString SnapshotSideName(const SnapshotInfo& snapshot);

// A set-up data file as Open takes it, for a compare: its warning when it
// cannot be read or holds an address that is no register, and the version
// question when another version made it. nullopt when it is not to be
// compared (the user has been told, or said No or Cancel).
std::optional<SetupRecord> ReadFile(const QString& path, const QString& programVersionTag,
                                    Prompt& prompt);

} // namespace SetupCompare
