#pragma once

// The least a host can do on a serial line: blocking one-byte writes and
// reads through plain POSIX calls, no serial library and no event loop. The
// benchmarks run the same exchanges through it and through the link against
// the same board, so that the link is judged against what the line allows.
#include <cstdint>
#include <string>

class MinimalHost {
public:
    static constexpr std::uint8_t Attention = 255;
    static constexpr std::uint8_t AttentionAnswer = 85;
    static constexpr std::uint8_t ReadMode = 1;
    static constexpr std::uint8_t WriteMode = 2;
    static constexpr int NoReply = -1;

    MinimalHost() = default;
    ~MinimalHost() { close(); }
    MinimalHost(const MinimalHost&) = delete;
    MinimalHost& operator=(const MinimalHost&) = delete;

    // Opens the device raw, 8 data bits, no parity, one stop bit, no flow
    // control, at 9600 or 19200 baud (a pseudo-terminal ignores the speed).
    bool open(const std::string& path, int baud);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Drops what has arrived and not been read.
    void discardInput();

    // Sends the byte and returns the first byte that comes back, or NoReply
    // when none came within timeoutMs.
    int sendAndRead(std::uint8_t byte, int timeoutMs = 1000);
    // Sends the byte and checks that the answer is its echo.
    bool exchangeEcho(std::uint8_t byte, int timeoutMs = 1000);
    // The attention handshake into a board mode: 255 answered by 85, then the
    // mode byte answered by 85, started again on any other answer until
    // timeoutMs has passed; false then or when an answer does not come.
    bool enterMode(std::uint8_t modeByte, int timeoutMs = 1000);
    // Board in read mode: count bytes from the board address up, each as the
    // address's high byte (echoed) and low byte (answered by the data byte).
    bool readBytes(int address, int count, std::uint8_t* data, int timeoutMs = 1000);
    // Board in read mode: a register of size bytes read whole, as sampling
    // reads it: the bytes above the lowest (highest first), the lowest, those
    // above again, and while those above moved the lowest and those above once
    // more, up to three times. The exchanges it took; NoReply when an answer
    // did not come or the register never held still.
    int readWhole(int address, int size, int timeoutMs = 1000);
    // Board in write mode: each byte as address high, address low, data, all echoed.
    bool writeBytes(int address, int count, const std::uint8_t* data, int timeoutMs = 1000);

    // Writes the bytes back to back in one call and returns the one byte that
    // answers them, or NoReply when none came within timeoutMs.
    int streamAndRead(const std::uint8_t* bytes, int count, int timeoutMs = 1000);

private:
    bool writeByte(std::uint8_t byte);
    int readByte(std::int64_t deadlineNs);

    int m_fd = -1;
};
