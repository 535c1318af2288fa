#pragma once

#include <QString>
#include <optional>

class BoardLink;
class RSComm;

// A register read whole, its bytes of one moment: for every value the running
// machine changes (the refresh loop's whole poll items, telvane-cli read and
// watch, the Trend window, an upload of the shift data). The link reads a
// word or a double one byte after another, so a value that counts on between
// two of them reads torn: the machine position 255 -> 256 read low byte
// first comes out as 511. Here the
// bytes above the lowest are read, then the lowest, then those above again;
// when they changed, the lowest and those above are read once more.
//
// Cost in byte reads (two byte exchanges each): a byte or bit 1, a word 3
// (instead of 2), a double 7 (instead of 4), plus 1 or 3 for each repeat.
// The read is one transaction to the rest of the program.
namespace SampleRead {

// Repeats after the first reading before the value counts as unreadable:
// only a register that moves by 256 within a few byte reads never holds still.
constexpr int MaxRepeats = 3;

// The value in decimal; nullopt when a byte read failed (the link's
// CommError tells a lost link from a garbled answer) or the value never
// held still.
std::optional<QString> read(RSComm& link, const QString& address);
// The same on the link core itself, for a link that a thread of its own owns
// (each press of the monitor); nullopt also for an address that does not read.
std::optional<qint64> read(BoardLink& link, const QString& address);

} // namespace SampleRead
