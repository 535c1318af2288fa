#pragma once

// True when standard error is a terminal a person watches (progress lines
// are drawn only there). The platform's call stays behind this file.
bool StderrIsTerminal();
