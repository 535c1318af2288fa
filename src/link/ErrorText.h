#pragma once

#include <QString>

// The wording of failures that operations trap and report in a message box.
namespace ErrorText {

// "Error Number = N", two line breaks, the description: what an operation
// that trapped a failure shows. Some windows break lines with CR LF.
QString numbered(int number, const QString& description,
                 const QString& lineBreak = QStringLiteral("\n"));

// The same with the failure's source on a line of its own ("Error Source = ..."),
// as a port that cannot be opened is reported.
QString numberedWithSource(int number, const QString& source, const QString& description);

// "Error Processing Request", two line breaks, "Process Not Complete": a
// group transfer that did not finish.
QString processNotComplete();

} // namespace ErrorText
