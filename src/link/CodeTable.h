#pragma once

#include <QString>
#include <optional>

// Code text tables (support/FaultErrCodes.txt, support/CommErrCodes.txt):
// one record per line, the code in hexadecimal of at least two digits, a
// comma, the description.
namespace CodeTable {

enum class Match { First, Last };

// Two upper-case hexadecimal digits at least: 5 -> "05", 255 -> "FF".
QString codeText(int code);

struct Lookup {
    bool fileFound = false;
    bool readError = false;
    QString errorString;
    std::optional<QString> description; // of the matching record
};

// Keys compare without regard to case; blank lines are skipped.
Lookup find(const QString& path, const QString& key, Match match);
// The same over a table's bytes already read.
std::optional<QString> findIn(const QByteArray& bytes, const QString& key, Match match);

} // namespace CodeTable
