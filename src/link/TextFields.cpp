#include "TextFields.h"

#include <array>

namespace TextFields {

QStringList fields(const QString& line) {
    QStringList result;
    int pos = 0;
    const int n = int(line.size());
    while (true) {
        while (pos < n && (line[pos] == u' ' || line[pos] == u'\t'))
            ++pos;
        QString field;
        if (pos < n && line[pos] == u'"') {
            const int close = int(line.indexOf(u'"', pos + 1));
            const int end = close < 0 ? n : close;
            field = line.mid(pos + 1, end - pos - 1);
            pos = close < 0 ? n : close + 1;
            const int comma = int(line.indexOf(u',', pos));
            pos = comma < 0 ? n : comma;
        } else {
            const int comma = int(line.indexOf(u',', pos));
            const int end = comma < 0 ? n : comma;
            field = line.mid(pos, end - pos);
            while (!field.isEmpty() && (field.back() == u' ' || field.back() == u'\t'))
                field.chop(1);
            pos = end;
        }
        result.append(field);
        if (pos >= n)
            break;
        ++pos; // the comma
    }
    return result;
}

QString firstField(const QString& line) {
    return fields(line).value(0);
}

QStringList lines(const QByteArray& bytes) {
    QStringList result = Windows1252::decode(bytes).split(u'\n');
    for (QString& l : result)
        if (l.endsWith(u'\r'))
            l.chop(1);
    if (!result.isEmpty() && result.back().isEmpty())
        result.removeLast();
    return result;
}

} // namespace TextFields

namespace Windows1252 {
namespace {
// 0x80..0x9F; elsewhere the code page equals Latin-1. Qt 6 has no codec for it.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString decode(const QByteArray& bytes) {
    QString s;
    s.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        s.append(b >= 0x80 && b <= 0x9F ? QChar(high[b - 0x80]) : QChar(b));
    }
    return s;
}

QByteArray encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < high.size(); ++i)
            if (high[i] == u)
                mapped = static_cast<char>(0x80 + i);
        out.append(mapped);
    }
    return out;
}

} // namespace Windows1252
