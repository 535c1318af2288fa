#pragma once

// Ctrl+C (SIGINT) and SIGTERM as a request to stop: while installed, they
// only set a flag that a long-running command checks between its reads, so
// that it ends with its output whole. Nothing else is safe to do inside a
// signal handler.
namespace StopSignals {

void install();
// The signals end the program again, as they did before install.
void uninstall();
bool requested();

} // namespace StopSignals
