#include "Address.h"

#include "NumberText.h"

#include <QMap>
#include <cmath>
#include <limits>

namespace Address {
namespace {

// Digits up to the first non-digit; no digits gives 0. nullopt on overflow.
std::optional<long long> leadingDigits(const QString& text) {
    long long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 0xFFFFFF)
            return std::nullopt;
    }
    return value;
}

bool fits(const ParsedAddress& a) {
    return a.boardAddress >= 0 && a.boardAddress + a.size() - 1 <= 0xFFFF;
}

std::optional<ParsedAddress> parseHex(const QString& digits) {
    if (digits.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int low = digits.right(2).toInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    int high = 0;
    if (digits.size() > 2) {
        const QString h = digits.left(digits.size() - 2);
        if (h.size() > 6)
            return std::nullopt;
        high = h.toInt(&ok, 16);
        if (!ok)
            return std::nullopt;
    }
    ParsedAddress a;
    a.boardAddress = high * 256 + low;
    return a;
}

std::optional<ParsedAddress> parseBit(const QString& text) {
    if (text.size() < 3)
        return std::nullopt;
    const QString bytePart = text.mid(1, text.size() - 3);
    const QChar bit = text.back();
    const auto byte = NumberText::toWhole(bytePart, 0, 0xFFFF);
    if (!byte || bit < u'0' || bit > u'9')
        return std::nullopt;
    ParsedAddress a;
    a.boardAddress = int(*byte);
    a.bitFlag = true;
    a.bitMask = 1 << (bit.unicode() - '0');
    return a;
}

} // namespace

std::optional<ParsedAddress> parse(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    std::optional<ParsedAddress> a;
    if (text.back() == u'H' || text.back() == u'h') {
        a = parseHex(text.left(text.size() - 1));
    } else if (text.contains(u'.')) {
        a = parseBit(text);
    } else {
        const QChar letter = text[0].toUpper();
        const auto number = leadingDigits(text.mid(1));
        if (!number)
            return std::nullopt;
        a = ParsedAddress{};
        if (letter == u'B' || letter == u'W' || letter == u'D') {
            a->letter = letter;
            a->boardAddress = int(*number);
        } else if (letter == u'F') {
            a->boardAddress = int(32 + *number / 8);
            a->bitMask = 1 << (*number % 8);
            a->bitFlag = true;
        } else {
            a->boardAddress = 32;
        }
    }
    if (!a || !fits(*a))
        return std::nullopt;
    return a;
}

namespace {

bool allDigits(QStringView text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool allHexDigits(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

// The form alone; the lenient resolver then gives the place and range.
bool wellFormed(const QString& text) {
    // Longer numbers than these cannot name a byte within 16 bits; the limit
    // only keeps the later conversion from overflowing.
    constexpr int maxDigits = 9;
    if (text.size() < 2)
        return false;
    const QStringView view(text);
    if (text.back() == u'H' || text.back() == u'h')
        return allHexDigits(view.chopped(1)) && text.size() - 1 <= maxDigits;
    const QChar letter = text[0].toUpper();
    if (text.contains(u'.')) {
        const qsizetype dot = text.indexOf(u'.');
        return letter == u'B' && dot == text.size() - 2 &&
               allDigits(view.mid(1, dot - 1), maxDigits) && text.back() >= u'0' &&
               text.back() <= u'7';
    }
    return (letter == u'B' || letter == u'W' || letter == u'D' || letter == u'F') &&
           allDigits(view.mid(1), maxDigits);
}

} // namespace

std::optional<ParsedAddress> parseWellFormed(const QString& text) {
    if (!wellFormed(text))
        return std::nullopt;
    return parse(text);
}

namespace {

using PointTable = QMap<int, int>;

PointTable pairs(std::initializer_list<std::pair<int, int>> list) {
    PointTable t;
    for (const auto& [point, byte] : list)
        t.insert(point, byte);
    return t;
}

// Points 0, 1, 10, 11, ... 150, 151 of board "2" map onto 32 consecutive bytes.
std::optional<int> groupedPoint(int point, int base) {
    const int group = point / 10;
    const int digit = point % 10;
    if (group > 15 || digit > 1)
        return std::nullopt;
    return base + 2 * group + digit;
}

std::optional<int> lookupPoint(int board, QChar letter, int point) {
    static const PointTable x1 = pairs(
        {{30, 49}, {31, 50}, {50, 51}, {51, 52}, {60, 53}, {61, 54}, {70, 55}, {71, 56}, {80, 57}});
    static const PointTable y1 = pairs({{81, 58},
                                        {90, 59},
                                        {100, 60},
                                        {110, 61},
                                        {111, 62},
                                        {120, 63},
                                        {121, 64},
                                        {130, 65},
                                        {140, 66},
                                        {141, 67}});
    static const PointTable xColon = pairs({{10, 51}, {11, 52}});
    static const PointTable yColon = pairs({{0, 49}, {1, 50}});
    static const PointTable xSemi = pairs({{10, 51}, {11, 52}, {20, 53}, {21, 54}});
    static const PointTable xLess = pairs({{10, 51}, {11, 52}, {20, 53}});
    static const PointTable yLess = pairs({{0, 49}, {1, 50}, {21, 54}});
    static const PointTable xEqual = pairs({{0, 49}, {1, 50}, {10, 51}});
    static const PointTable yEqual = pairs({{11, 52}});

    const PointTable* table = nullptr;
    switch (board) {
    case '1':
        table = letter == u'X' ? &x1 : letter == u'Y' ? &y1 : nullptr;
        break;
    case '2':
        if (letter == u'X' || letter == u'Y')
            return groupedPoint(point, 160);
        if (letter == u'I')
            return groupedPoint(point, 192);
        return std::nullopt;
    case ':':
        table = letter == u'X' ? &xColon : letter == u'Y' ? &yColon : nullptr;
        break;
    case ';':
    case 'B':
        table = letter == u'X' ? &xSemi : letter == u'Y' ? &yColon : nullptr;
        break;
    case '<':
    case 'A':
        table = letter == u'X' ? &xLess : letter == u'Y' ? &yLess : nullptr;
        break;
    case '=':
        table = letter == u'X' ? &xEqual : letter == u'Y' ? &yEqual : nullptr;
        break;
    default:
        break;
    }
    if (!table || !table->contains(point))
        return std::nullopt;
    return table->value(point);
}

bool isWideRangeBoard(int board) {
    switch (board) {
    case '7':
    case '9':
    case '>':
    case '?':
    case 64:
    case 'C':
        return true;
    default:
        return board < '1' || board > 'D';
    }
}

} // namespace

QString equateAdd(const QString& var, int targetBoardIndex) {
    if (var.isEmpty())
        return var;
    const QChar letter = var[0].toUpper();
    const QString numberText = var.mid(1);
    QString pointText = numberText;
    std::optional<int> bit;
    if (var.contains(u'.')) {
        pointText = numberText.left(numberText.size() - 2);
        const QChar b = var.back();
        if (b < u'0' || b > u'9')
            return var;
        bit = std::min(7, b.unicode() - '0');
    }
    if (pointText.isEmpty())
        return var;
    for (const QChar c : pointText)
        if (c < u'0' || c > u'9')
            return var;
    if (pointText.size() > 6)
        return var;
    const auto byte = lookupPoint(targetBoardIndex, letter, pointText.toInt());
    if (!byte)
        return var;
    QString result = QStringLiteral("B") + QString::number(*byte);
    if (bit)
        result += u'.' + QString::number(*bit);
    return result;
}

bool validAdd(const QString& var, int targetBoardIndex) {
    if (var.isEmpty())
        return false;
    const QChar letter = var[0].toUpper();
    const QString numberText = var.contains(u'.') ? var.mid(1, var.size() - 3) : var.mid(1);
    const double n = NumberText::leadingNumber(numberText);
    const int b = targetBoardIndex;
    double low = 0;
    double high = 0;
    bool extra = true;
    if (letter == u'B') {
        low = 32;
        high = (b == '2' || b == 'D') ? 8275 : isWideRangeBoard(b) ? 65535 : 255;
    } else if (letter == u'W' || letter == u'D') {
        low = 32;
        high = (b == '2' || b == 'D') ? 8274 : isWideRangeBoard(b) ? 65534 : 254;
        extra = std::fmod(n, 2.0) == 0.0;
    } else if (letter == u'F') {
        static const QString small = QStringLiteral("134568:;<=AB");
        high = (b > 0 && b < 0x10000 && small.contains(QChar(b))) ? 120 : 991;
    } else if (letter == u'I') {
        if (b == '1' || b == '2')
            high = 151;
        else if (b == '3' || b == '4' || b == '5' || b == '6' || b == '8')
            high = 21;
        else
            return false;
        const double digit = std::fmod(n, 10.0);
        extra = digit == 0.0 || digit == 1.0;
    } else if (letter == u'X' || letter == u'Y') {
        if (b == 0 || b == 'D')
            return false;
        high = (b == '1' || b == '2') ? 151 : 21;
        const double digit = std::fmod(n, 10.0);
        extra = digit == 0.0 || digit == 1.0;
    }
    return extra && n >= low && n <= high;
}

std::optional<int> dec2Octal(int decNum) {
    const long long r = (static_cast<long long>(decNum) / 8) * 10 + decNum % 8;
    if (r < std::numeric_limits<short>::min() || r > std::numeric_limits<short>::max())
        return std::nullopt;
    return int(r);
}

std::optional<int> octal2Dec(int octNum) {
    const long long r = (static_cast<long long>(octNum) / 10) * 8 + octNum % 10;
    if (r < std::numeric_limits<short>::min() || r > std::numeric_limits<short>::max())
        return std::nullopt;
    return int(r);
}

} // namespace Address
