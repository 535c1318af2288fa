#pragma once

// Exit status of telvane-cli. A command whose output could not be written
// failed as one whose link failed did, unless its 1 says something else
// (diff's "different"): then the command names its own status for it.
enum CliExit { Ok = 0, LinkFailed = 1, OutputFailed = 1, Usage = 2 };
