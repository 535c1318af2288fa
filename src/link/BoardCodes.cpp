#include "BoardCodes.h"

#include <array>

namespace BoardCodes {
namespace {

struct Board {
    const char* name;
    const char* lcf;
};

// Codes 49 ("1") to 69 ("E").
constexpr std::array<Board, 21> boards = {{
    {"R8030", "1"},      {"R8050", "1"},     {"R8070", "?"},     {"R8110", "2"},
    {"R8120", "3"},      {"R8060", "D"},     {"R8140", ""},      {"R8160", "F"},
    {"Not Defined", ""}, {"K2100", "@"},     {"K2101", "A"},     {"K2102", "B"},
    {"K2300(PLC)", "C"}, {"K2300(PLS)", ""}, {"K2400", ""},      {"K2401", ""},
    {"V6610", "E"},      {"K2301(PLC)", ""}, {"K2301(PLS)", ""}, {"K2700(PLC)", "G"},
    {"K2700(PLS)", ""},
}};

const Board* find(int code) {
    return (code >= 49 && code <= 69) ? &boards[code - 49] : nullptr;
}

} // namespace

QString targetboardName(int boardType) {
    if (const Board* b = find(boardType))
        return QString::fromLatin1(b->name);
    const QString character =
        (boardType > 0 && boardType < 0x10000) ? QString(QChar(boardType)) : QString();
    return character + QStringLiteral(" Is Not Defined.");
}

QString lcfBoardIndex(int boardType) {
    const Board* b = find(boardType);
    return b ? QString::fromLatin1(b->lcf) : QString();
}

bool isPlsProgram(int boardType) {
    switch (boardType) {
    case '7':
    case '>':
    case '?':
    case '@':
    case 'C':
    case 'E':
        return true;
    default:
        return false;
    }
}

bool isConfigured(int boardType) {
    return boardType >= 56 && boardType <= 65;
}

bool isUndefined(int boardType) {
    return boardType == '9' || boardType < 50 || boardType > 69;
}

} // namespace BoardCodes
