#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace NumberText {
namespace {

// Length of the number at text[pos...], 0 when none starts there.
int scanNumber(const QString& text, int pos) {
    const int start = pos;
    const int n = int(text.size());
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    int digits = 0;
    while (pos < n && text[pos].isDigit() && text[pos].unicode() < 128) {
        ++pos;
        ++digits;
    }
    if (pos < n && text[pos] == u'.') {
        int p = pos + 1;
        int fraction = 0;
        while (p < n && text[p].unicode() >= '0' && text[p].unicode() <= '9') {
            ++p;
            ++fraction;
        }
        if (digits + fraction > 0) {
            pos = p;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
        int p = pos + 1;
        if (p < n && (text[p] == u'+' || text[p] == u'-'))
            ++p;
        int expDigits = 0;
        while (p < n && text[p].unicode() >= '0' && text[p].unicode() <= '9') {
            ++p;
            ++expDigits;
        }
        if (expDigits > 0)
            pos = p;
    }
    return pos - start;
}

int skipBlanks(const QString& text, int pos) {
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
        ++pos;
    return pos;
}

double valueOf(const QString& text, int pos, int length) {
    const std::string s = text.mid(pos, length).toStdString();
    const double v =
        std::strtod(s.c_str(), nullptr); // "C" locale: the program never calls setlocale
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

double leadingNumber(const QString& text) {
    const int pos = skipBlanks(text, 0);
    const int length = scanNumber(text, pos);
    return length == 0 ? 0.0 : valueOf(text, pos, length);
}

bool isNumeric(const QString& text) {
    const int pos = skipBlanks(text, 0);
    const int length = scanNumber(text, pos);
    if (length == 0)
        return false;
    return skipBlanks(text, pos + length) == text.size() &&
           std::isfinite(valueOf(text, pos, length));
}

double roundHalfEven(double value) {
    return std::nearbyint(value); // the default rounding mode takes ties to even
}

qint32 wholeInt32(const QString& text) {
    constexpr double low = std::numeric_limits<qint32>::min();
    constexpr double high = std::numeric_limits<qint32>::max();
    return qint32(std::clamp(roundHalfEven(leadingNumber(text)), low, high));
}

std::optional<long long> toWhole(const QString& text, long long low, long long high) {
    if (!isNumeric(text))
        return std::nullopt;
    const double v = roundHalfEven(leadingNumber(text));
    if (v < double(low) || v > double(high))
        return std::nullopt;
    return static_cast<long long>(v);
}

std::optional<quint64> registerValue(const QString& valueText) {
    constexpr quint64 Cap = 1'000'000'000'000ULL; // stops overflow
    quint64 whole = 0;
    QString fraction;
    bool inFraction = false;
    for (const QChar c : valueText) {
        if (c >= u'0' && c <= u'9') {
            if (inFraction)
                fraction.append(c);
            else
                whole = std::min(Cap, whole * 10 + quint64(c.unicode() - '0'));
        } else if (c == u'.') {
            inFraction = true;
        } else if (c != u' ' && c != u'%' && c != u',' && c != QChar(0x00B0)) {
            return std::nullopt;
        }
    }
    if (!fraction.isEmpty()) {
        const QChar first = fraction[0];
        const bool restZero = fraction.mid(1).count(u'0') == fraction.size() - 1;
        const bool up = first > u'5' || (first == u'5' && (!restZero || whole % 2 == 1));
        if (up)
            whole = std::min(Cap, whole + 1);
    }
    return whole;
}

} // namespace NumberText
