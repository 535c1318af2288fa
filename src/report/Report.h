#pragma once

#include "InchPrinter.h"

#include <QString>

class QPagedPaintDevice;
struct SetupRecord;

// The two-page report of the data: set-up parameters, lubricator speed
// references and the PLS configuration with the channel setpoints on the
// first page; the shift data and the brake response on the second. It starts
// and ends the document on the device. The caption is the file part of the
// main window's caption, printed in every page header. False when the device
// failed; the job is then abandoned (through job, where the device is a
// printer).
bool PrintReport(QPagedPaintDevice& device, const SetupRecord& data, const QString& caption,
                 PagedJob job = {});
