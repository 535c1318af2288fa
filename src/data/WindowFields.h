#pragma once

#include "EntryChecks.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

// Every register that a window's field, switch or list writes, with what the
// window takes for it. The command line's write takes exactly the same, so
// that nothing reaches the board from a shell that a window would refuse.
namespace WindowFields {

struct Field {
    QString label; // its caption, as its window shows it
    QString address;
    EntryChecks::Limits limits;
};

// Every field of every window: the set-up parameters and their switch, the
// DF1 set-up, the Target Board Interface's network addresses and clock.
const QList<Field>& All();

// Why writing value to the register named by address (well formed) is not
// what a window would write: a field's own register outside its limits
// ("W1020 400 (TDC Stop Position (Low Speed)): Only a Number Between 0 and
// 359 can be Entered"), or another address whose bytes overlap a field's
// register. nullopt when the write is allowed.
std::optional<QString> CheckWrite(const QString& address, qint64 value);

} // namespace WindowFields
