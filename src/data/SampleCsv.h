#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The CSV form of sampled registers, shared by telvane-cli watch and the
// Trend window's recording: a header "time,ADDRESS,..." and one row per
// sample, the time first, then each value as the link read it. A value that
// could not be read is an empty cell, never 0, so that a gap is not taken
// for a reading.
namespace SampleCsv {

QString header(const QStringList& addresses);
// ISO 8601 local time with milliseconds and the UTC offset:
// "2024-05-02T14:03:07.125+02:00".
QString timeText(const QDateTime& time);
QString row(const QDateTime& time, const QList<std::optional<QString>>& values);

} // namespace SampleCsv
