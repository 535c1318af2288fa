#pragma once

#include "SetupRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The ".sdt" set-up data file: one SetupRecord written member after member,
// little-endian, strings as Windows-1252 bytes after a 16-bit length, each
// array after a header of dimension count (16 bits), element count and lower
// bound (32 bits each).
namespace SdtFormat {

QByteArray encode(const SetupRecord& record);

// The record at the start of the bytes (anything after it is ignored), or
// nullopt with the reason when the bytes do not hold a whole, sane record.
std::optional<SetupRecord> decode(const QByteArray& bytes, QString* why = nullptr);

} // namespace SdtFormat
