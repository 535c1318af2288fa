#pragma once

#include <QString>
#include <optional>

// The board's line speed: 9600 or 19200 baud, nothing else. The one reading
// of a speed's text is here.
class Baud {
public:
    static constexpr int Slow = 9600;
    static constexpr int Fast = 19200;

    constexpr Baud() = default;
    // "19200" (blanks around it aside) is 19200; any other text, 9600, as
    // the port settings file has always been read.
    static Baud fromText(const QString& text);
    // A speed a user typed: only "9600" or "19200".
    static std::optional<Baud> parse(const QString& text);
    static constexpr Baud fast() { return Baud(Fast); }

    constexpr int bitsPerSecond() const { return m_bits; }
    constexpr bool isFast() const { return m_bits == Fast; }
    QString text() const { return QString::number(m_bits); }
    constexpr bool operator==(const Baud&) const = default;

private:
    constexpr explicit Baud(int bits) : m_bits(bits) {}
    int m_bits = Slow;
};
