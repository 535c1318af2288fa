#pragma once

#include <QString>

// One-character board codes ("1".."9", ":".."?", "@", "A".."E") passed as their
// character values.
namespace BoardCodes {

QString targetboardName(int boardType);
QString lcfBoardIndex(int boardType);

// Programs for programmable limit switch boards: "7", ">", "?", "@", "C", "E".
bool isPlsProgram(int boardType);
// Boards whose program carries three configuration digits: "8" to "A".
bool isConfigured(int boardType);
// Not downloadable: "9", below "2" or above "E".
bool isUndefined(int boardType);

} // namespace BoardCodes
