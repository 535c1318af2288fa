#include "MinimalHost.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

} // namespace

bool MinimalHost::open(const std::string& path, int baud) {
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (m_fd < 0)
        return false;
    termios t{};
    if (tcgetattr(m_fd, &t) != 0) {
        close();
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    const speed_t speed = baud == 19200 ? B19200 : B9600;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (tcsetattr(m_fd, TCSANOW, &t) != 0) {
        close();
        return false;
    }
    discardInput();
    return true;
}

void MinimalHost::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void MinimalHost::discardInput() {
    if (m_fd >= 0)
        tcflush(m_fd, TCIFLUSH);
}

bool MinimalHost::writeByte(std::uint8_t byte) {
    for (;;) {
        const ssize_t n = ::write(m_fd, &byte, 1);
        if (n == 1)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

int MinimalHost::readByte(std::int64_t deadlineNs) {
    for (;;) {
        const std::int64_t remainingNs = deadlineNs - nowNs();
        if (remainingNs <= 0)
            return NoReply;
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int((remainingNs + 999'999) / 1'000'000));
        if (ready < 0 && errno != EINTR)
            return NoReply;
        if (ready <= 0)
            continue;
        if (!(p.revents & POLLIN))
            return NoReply; // hung up or in error
        std::uint8_t byte = 0;
        const ssize_t n = ::read(m_fd, &byte, 1);
        if (n == 1)
            return byte;
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return NoReply;
    }
}

int MinimalHost::sendAndRead(std::uint8_t byte, int timeoutMs) {
    if (m_fd < 0 || !writeByte(byte))
        return NoReply;
    return readByte(nowNs() + std::int64_t(timeoutMs) * 1'000'000);
}

bool MinimalHost::exchangeEcho(std::uint8_t byte, int timeoutMs) {
    return sendAndRead(byte, timeoutMs) == byte;
}

bool MinimalHost::enterMode(std::uint8_t modeByte, int timeoutMs) {
    // A board that was mid-handshake takes the first 255 as its mode byte and
    // answers something else: start again from the 255, as the link does.
    const std::int64_t deadlineNs = nowNs() + std::int64_t(timeoutMs) * 1'000'000;
    while (nowNs() < deadlineNs) {
        discardInput();
        const int attention = sendAndRead(Attention, timeoutMs);
        if (attention == NoReply)
            return false;
        if (attention != AttentionAnswer)
            continue;
        const int mode = sendAndRead(modeByte, timeoutMs);
        if (mode == NoReply)
            return false;
        if (mode == AttentionAnswer)
            return true;
    }
    return false;
}

bool MinimalHost::readBytes(int address, int count, std::uint8_t* data, int timeoutMs) {
    for (int i = 0; i < count; ++i) {
        const int at = address + i;
        if (!exchangeEcho(std::uint8_t(at >> 8), timeoutMs))
            return false;
        const int reply = sendAndRead(std::uint8_t(at & 0xFF), timeoutMs);
        if (reply == NoReply)
            return false;
        data[i] = std::uint8_t(reply);
    }
    return true;
}

int MinimalHost::readWhole(int address, int size, int timeoutMs) {
    std::uint8_t byte = 0;
    int exchanges = 0;
    auto upper = [&](std::uint8_t* bytes) {
        for (int i = size - 1; i >= 1; --i, exchanges += 2)
            if (!readBytes(address + i, 1, &bytes[i], timeoutMs))
                return false;
        return true;
    };
    std::uint8_t before[4] = {}, after[4] = {};
    if (size <= 1)
        return readBytes(address, 1, &byte, timeoutMs) ? 2 : NoReply;
    if (!upper(before))
        return NoReply;
    for (int repeat = 0; repeat <= 3; ++repeat) {
        exchanges += 2;
        if (!readBytes(address, 1, &byte, timeoutMs) || !upper(after))
            return NoReply;
        if (std::equal(after + 1, after + size, before + 1))
            return exchanges;
        std::copy(after, after + size, before);
    }
    return NoReply;
}

bool MinimalHost::writeBytes(int address, int count, const std::uint8_t* data, int timeoutMs) {
    for (int i = 0; i < count; ++i) {
        const int at = address + i;
        if (!exchangeEcho(std::uint8_t(at >> 8), timeoutMs) ||
            !exchangeEcho(std::uint8_t(at & 0xFF), timeoutMs) || !exchangeEcho(data[i], timeoutMs))
            return false;
    }
    return true;
}

int MinimalHost::streamAndRead(const std::uint8_t* bytes, int count, int timeoutMs) {
    if (m_fd < 0)
        return NoReply;
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, bytes + done, size_t(count - done));
        if (n < 0 && errno != EINTR)
            return NoReply;
        if (n > 0)
            done += int(n);
    }
    return readByte(nowNs() + std::int64_t(timeoutMs) * 1'000'000);
}
