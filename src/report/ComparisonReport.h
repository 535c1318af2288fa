#pragma once

#include "InchPrinter.h"
#include "SetupCompare.h"

class QPagedPaintDevice;

// The comparison of two set-ups on paper, on the report's pages (its face,
// margins, header and footer): the two sides and the number of differences,
// then a line per difference with its name, address and both values. False
// when the device failed; the job is then abandoned.
bool PrintComparison(QPagedPaintDevice& device, const QList<SetupCompare::Row>& rows,
                     const QString& leftName, const QString& rightName, PagedJob job = {});
