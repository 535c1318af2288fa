#pragma once

#include "SetupRecord.h"

#include <QList>
#include <QString>
#include <optional>

// What differs between two set-ups (the board, memory, a set-up data file):
// one row per value, named as the views name it and shown as they show it.
// The comparison of two sides (SetupComparison) runs it.
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
    QString left;    // as the views show it; empty where the address is on the right side only
    QString right;   // and the other way round
    // The same as plain numbers, for a spreadsheet: 180 for "180°", 1235005
    // for "1,235,005", 1 for "On"; empty where the side has no value.
    QString leftNumber;
    QString rightNumber;
    QString unit; // what the numbers count: "deg", "ms"; empty for none

    bool operator==(const Row&) const = default;
};

// Every value of the groups that differs, in this order: the set-up
// parameters as the Set-up Parameters view lists them (then the DF1 link's),
// the PLS configuration, the channels (named as the Machine Timing window
// names them), the shift data. Register values are
// matched by address, so that a record with another address table compares
// what lives at each address; an address on one side only is a difference.
QList<Row> Compare(const SetupRecord& left, const SetupRecord& right, int groups);
// Every value of the groups of one set-up, in the same order, named and
// shown the same way; the value is on the left, the right stays empty.
QList<Row> Values(const SetupRecord& record, int groups);

// The comparison as CSV for a spreadsheet: the header
// "name,address,LEFT,RIGHT,unit" with the two sides' names, then a line per
// row with the plain numbers; lines end with CR LF.
QByteArray Csv(const QList<Row>& rows, const QString& leftName, const QString& rightName);

} // namespace SetupCompare
