#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The records of a program file (.hex): lines of Intel HEX data records
// (type 00) and the end record (type 01). A file is sent only when every line
// passes: a ":", hexadecimal digits, as long as its byte count says, type 00
// or 01 (01 without data), and, where a record checksum follows the data (the
// upload writes none), the checksum right. Nothing else may follow.
namespace ProgramRecords {

struct Record {
    QString addressText; // the four address digits as the file spells them
    int address = 0;
    QByteArray data; // never empty: records without data are not sent
};

// Far more than any board program; a larger file is not one.
constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;

// The data records of a line, or nullopt when it is not a valid record.
// A valid record without data gives an empty Record.
std::optional<Record> parseLine(const QString& line);
// The records to send, in file order; nullopt when any line is invalid.
std::optional<QList<Record>> parse(const QStringList& lines);
// The same for the file's bytes (first field of each line).
std::optional<QList<Record>> parseFile(const QByteArray& bytes);

} // namespace ProgramRecords
