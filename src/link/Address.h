#pragma once

#include <QString>
#include <optional>

// Resolution of register address texts ("W1020", "B110.6", "D1100", "F858", "EFF0H").
struct ParsedAddress {
    QChar letter = u'B';  // 'B', 'W' or 'D' after resolution
    int boardAddress = 0; // first (lowest) byte
    int bitMask = 0;      // 2^bit for bit and flag addresses
    bool bitFlag = false; // names one bit of a byte
    int size() const { return letter == u'D' ? 4 : letter == u'W' ? 2 : 1; }
};

namespace Address {

// nullopt when the text cannot be resolved (the bit form with a non-numeric
// byte part, a bad hexadecimal form, an empty text) or when any of its bytes
// lies outside 0..65535. Callers send nothing for such a text.
std::optional<ParsedAddress> parse(const QString& text);

// The strict check for address texts from outside the program (a command
// line, a set-up file): only the well-formed texts resolve. A known letter
// (B, W, D or F, either case) followed by decimal digits only; a bit address
// B<digits>.<0..7>; or the hexadecimal form <hex digits>H. Every byte the
// register covers must lie within 0..65535. Anything else ("XYZ", "Q1",
// "W 32", "W12x", "B110.9", "W65535", "EFFGH") gives nullopt.
std::optional<ParsedAddress> parseWellFormed(const QString& text);

// I/O point name to byte (and bit) address of a board; Var unchanged without a hit.
QString equateAdd(const QString& var, int targetBoardIndex);

// The address lies in the board's range.
bool validAdd(const QString& var, int targetBoardIndex);

// Two-digit octal notation read as decimal and back; nullopt outside 16 bits signed.
std::optional<int> dec2Octal(int decNum);
std::optional<int> octal2Dec(int octNum);

} // namespace Address
