#include "SampleCsv.h"

#include <cstdlib>

namespace SampleCsv {

QString header(const QStringList& addresses) {
    QStringList cells{QStringLiteral("time")};
    for (const QString& address : addresses)
        cells.append(address.toUpper());
    return cells.join(u',');
}

QString timeText(const QDateTime& time) {
    // Qt writes "Z" for UTC and nothing for local time; a log read later,
    // elsewhere, needs the offset spelled out every time.
    const int offsetMinutes = time.offsetFromUtc() / 60;
    const int magnitude = std::abs(offsetMinutes);
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
           (offsetMinutes < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
               .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString row(const QDateTime& time, const QList<std::optional<QString>>& values) {
    QString text = timeText(time);
    for (const auto& value : values) {
        text += u',';
        if (value)
            text += *value;
    }
    return text;
}

} // namespace SampleCsv
