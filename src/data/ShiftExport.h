#pragma once

#include "SetupRecord.h"

#include <QByteArray>
#include <QString>

// The shift data export: 48 lines of text, each ended by CR LF.
namespace ShiftExport {

QByteArray text(const SetupRecord& data, const QString& fileTitle, const QString& uploadNow);

} // namespace ShiftExport
