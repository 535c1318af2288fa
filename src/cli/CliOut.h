#pragma once

#include <QString>

// What telvane-cli prints. Result lines go to standard output, and every
// write is checked: each line is written and flushed at once, and the first
// one that cannot be written (a full disk, a closed stream) ends all output.
// A reader that goes away (a pipe into head that has ended) ends it too, and
// is noticed between lines without writing, so that a waiting command need
// not ask the board again first.
//
// A command prints with line(); when it returns false, or failed() is true,
// the command ends at once, without further board traffic. main() then ends
// the tool with finish(), which reports the failure.
namespace CliOut {

// Called once at start: a reader that goes away makes writes fail instead
// of ending the process by signal.
void begin();

// TEXT and a line end on standard output, flushed. False when the output
// has failed, now or before; nothing is written any more then.
bool line(const QString& text);
// The same for text that brings its own line ends (the help).
bool text(const QString& text);
// The output has failed, or its reader has gone.
bool failed();
// The exit status of a command that ended with status. When a write
// failed: "cannot write the output: REASON" on standard error and
// writeFailedStatus. When the reader went away: status, and nothing said
// (the reader ended the command, as Ctrl+C does).
int finish(int status, int writeFailedStatus);

// "telvane-cli: TEXT" on standard error.
void error(const QString& text);
// How many error lines have been printed so far.
int errors();

} // namespace CliOut
