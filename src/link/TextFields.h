#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading of the program's small text files: records of comma-separated
// fields, blanks before a field skipped, a field in double quotes may hold
// commas, lines end with CR LF or LF.
namespace TextFields {

QStringList fields(const QString& line);
QString firstField(const QString& line);
// The file's lines, decoded from Windows-1252, without their line ends.
QStringList lines(const QByteArray& bytes);

} // namespace TextFields

namespace Windows1252 {
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text); // characters outside the code page become '?'
} // namespace Windows1252
