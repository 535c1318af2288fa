#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>

// The board's 64 KiB byte-addressed memory, with the register layouts of the
// link: words little-endian, double words as two words in base 10000.
class BoardMemory {
public:
    quint8 byte(int address) const { return m_bytes[size_t(address & 0xFFFF)]; }
    void setByte(int address, int value) { m_bytes[size_t(address & 0xFFFF)] = quint8(value); }

    int word(int address) const { return byte(address) + 256 * byte(address + 1); }
    void setWord(int address, int value) {
        setByte(address, value & 0xFF);
        setByte(address + 1, (value >> 8) & 0xFF);
    }

    qint64 dword(int address) const { return qint64(word(address + 2)) * 10000 + word(address); }
    void setDword(int address, qint64 value) {
        setWord(address, int(value % 10000));
        setWord(address + 2, int(value / 10000));
    }

    bool bit(int address, int bit) const { return (byte(address) >> bit) & 1; }
    void setBit(int address, int bit, bool on) {
        const int b = byte(address);
        setByte(address, on ? (b | (1 << bit)) : (b & ~(1 << bit)));
    }

    // Flags "F<n>" are packed eight to a byte from byte 32 up.
    bool flag(int n) const { return bit(32 + n / 8, n % 8); }
    void setFlag(int n, bool on) { setBit(32 + n / 8, n % 8, on); }

    void setText(int address, const QByteArray& text, int length) {
        for (int i = 0; i < length; ++i)
            setByte(address + i, i < text.size() ? quint8(text[i]) : 0);
    }

private:
    std::array<quint8, 65536> m_bytes{};
};
