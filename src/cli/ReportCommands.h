#pragma once

#include "CliCommand.h"

#include <QStringList>
#include <memory>

class QCoreApplication;

// "report FILE.sdt OUT.pdf": the report of a set-up data file, as the print
// command of the program prints it, written to a PDF file. No link needed.
namespace ReportCommands {

// Report pages need fonts, hence a GUI application for this command; it runs
// on the offscreen platform unless one is chosen, so no display is needed.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv);
// 0 when the PDF was written; 2 when the set-up file cannot be read or
// names an address that is no register (its warning is printed as the
// program shows it) or the PDF cannot be written (the warning names it and
// says why), and then no PDF is left.
int report(CliSession& session, const QStringList& args);

} // namespace ReportCommands
