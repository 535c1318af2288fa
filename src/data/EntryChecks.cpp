#include "EntryChecks.h"

namespace EntryChecks {

QString RangeMessage(const Limits& limits) {
    return QStringLiteral("Only a Number Between ") + QString::number(limits.min) +
           QStringLiteral(" and ") + QString::number(limits.max) +
           QStringLiteral(" can be Entered");
}

std::optional<QString> InRange(qint64 value, const Limits& limits) {
    if (value >= limits.min && value <= limits.max)
        return std::nullopt;
    return RangeMessage(limits);
}

std::optional<QString> SetpointPair(qint64 on, qint64 off) {
    if (on == off)
        return QStringLiteral("ON Setpoint cannot Equal OFF Setpoint");
    return std::nullopt;
}

} // namespace EntryChecks
