#pragma once

// Exit status of telvane-cli.
enum CliExit { Ok = 0, LinkFailed = 1, Usage = 2 };
