#pragma once

#include "BoardIdent.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <array>
#include <optional>

// What the Target Board Interface shows besides the faults, without widgets:
// the program identity on disk and in the board, the network address and
// clock registers, and the writes that set the board's clock. The window and
// telvane-cli share it.
namespace TargetBoardData {

constexpr int DefaultBoardCode = 68; // "D": the K2700, when there is no project

// The project on disk: its board code, and the name, revision and checksum
// of its revision file.
struct DiskIdentity {
    int boardCode = DefaultBoardCode;
    QString name = QStringLiteral("-");
    int revision = 0;
    int checksum = 0;
    // "-" unless the project's HEX file exists.
    QString revDate = QStringLiteral("-");
};

struct ReadError {
    int number = 0;
    QString description;
};

// The project's files beside kvlPath; the defaults above where a file is
// missing or empty. A revision line too short for its four digits, or digits
// that are not hexadecimal, is an error.
std::optional<ReadError> ReadDiskIdentity(const QString& kvlPath, DiskIdentity& identity);
// Character value of the first character of the project file's first field;
// DefaultBoardCode when there is no such file or it is empty.
int ProjectBoardCode(const QString& kvlPath);

// The ident block in the board: eight name characters, checksum, revision.
constexpr int IdentBytes = BoardIdent::Bytes;
constexpr int IdentAddress = BoardIdent::Address;
constexpr int IdentNameBytes = BoardIdent::NameBytes;
QString IdentByteAddress(int k);
// A name byte as its character; zero bytes pad short names and add nothing.
QString IdentCharacter(const QString& byteValue);

struct BoardIdentity {
    QString name;
    QString checksum;
    QString revision;
};

// The eight numeric fields: network addresses and the board's clock.
struct Field {
    const char* label;
    const char* address;
    int min;
    int max;
};
constexpr int FieldCount = 8;
extern const std::array<Field, FieldCount> Fields;
constexpr int NetworkAddress1 = 0;
constexpr int NetworkAddress2 = 1;
constexpr int FirstClockField = 2;

// Board layouts: the CO-CPU slot on "2", a second address on "A", a clock on
// "6" and "A".
bool ShowsCoCpuSlot(int boardCode);
bool HasSecondAddress(int boardCode);
bool HasClock(int boardCode);

// The last two characters of "00" followed by the text: 7 shows as 07.
QString TwoDigits(const QString& value);
// The computer's clock as the window shows it: "09 : 05 : 07", "03 - 14 - 2026".
QString TimeText(const QDateTime& now);
QString DateText(const QDateTime& now);

// (address, value) in writing order, all from one reading of the clock, so
// that a second or a day that ends between two writes cannot set the board
// an hour or a month off.
using Writes = QList<QPair<QString, QString>>;
Writes TimeWrites(const QDateTime& snapshot);
Writes DateWrites(const QDateTime& snapshot);

} // namespace TargetBoardData
