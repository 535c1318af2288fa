#include "PtyServer.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

qint64 nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

speed_t termiosSpeed(Baud baud) {
    return baud.isFast() ? B19200 : B9600;
}

void makeRaw(int fd, speed_t speed) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (speed != 0) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

// Sleeps until the monotonic deadline. The kernel wakes a sleeper tens of
// microseconds late (more on a busy or virtual machine), a good share of a
// byte time: sleep until as long before the deadline as the wake-ups so far
// came late, then spin the rest, giving the core to any other thread that
// wants it meanwhile (the benchmarks run many simulators on a few cores).
void PtyServer::waitUntil(qint64 dueNs) {
    // Most wake-ups come within this of the mean lateness.
    constexpr qint64 MarginNs = 15'000;
    constexpr qint64 MostLateNs = 200'000;
    const qint64 sleepUntil = dueNs - m_wakeLateNs - MarginNs;
    if (nowNs() < sleepUntil) {
        timespec ts{};
        ts.tv_sec = time_t(sleepUntil / 1'000'000'000);
        ts.tv_nsec = long(sleepUntil % 1'000'000'000);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
        // A running mean over about the last eight wake-ups.
        const qint64 late = std::clamp<qint64>(nowNs() - sleepUntil, 0, MostLateNs);
        m_wakeLateNs += (late - m_wakeLateNs) / 8;
    }
    while (nowNs() < dueNs)
        sched_yield();
}

qint64 PtyServer::latencyTick(qint64 dueNs) const {
    if (m_latencyNs <= 0)
        return dueNs;
    const qint64 since = std::max<qint64>(0, dueNs - m_epochNs);
    return m_epochNs + (since + m_latencyNs - 1) / m_latencyNs * m_latencyNs;
}

PtyServer::~PtyServer() {
    if (!m_link.isEmpty() && QFile::symLinkTarget(m_link) == m_path)
        QFile::remove(m_link);
    if (m_slaveFd >= 0)
        ::close(m_slaveFd);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyServer::openPty() {
    m_fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(ptsname(m_fd));
    m_pty = true;
    m_slaveFd = ::open(ptsname(m_fd), O_RDWR | O_NOCTTY);
    if (m_slaveFd >= 0)
        makeRaw(m_slaveFd, 0);
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    return true;
}

bool PtyServer::linkAs(const QString& linkPath) {
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        m_error = QStringLiteral("%1 exists and is no symbolic link").arg(linkPath);
        return false;
    }
    // Made beside it and renamed over it: the name is never missing while
    // one server follows another.
    const QString made = linkPath + QStringLiteral(".new");
    QFile::remove(made);
    if (::symlink(QFile::encodeName(m_path).constData(), QFile::encodeName(made).constData()) !=
            0 ||
        ::rename(QFile::encodeName(made).constData(), QFile::encodeName(linkPath).constData()) !=
            0) {
        m_error =
            QStringLiteral("%1: %2").arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(made);
        return false;
    }
    m_link = linkPath;
    return true;
}

bool PtyServer::openDevice(const QString& device, Baud baud) {
    m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    makeRaw(m_fd, termiosSpeed(baud));
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_path = device;
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    return true;
}

bool PtyServer::hostAtAnswerSpeed() const {
    if (!m_answerBaud || !m_pty)
        return true;
    // The pseudo-terminal's two sides share one set of terminal settings:
    // what the host set on its side reads here.
    termios t{};
    if (tcgetattr(m_slaveFd >= 0 ? m_slaveFd : m_fd, &t) != 0)
        return true;
    return cfgetospeed(&t) == termiosSpeed(*m_answerBaud);
}

void PtyServer::sendAt(const QByteArray& bytes, qint64 dueNs) {
    if (bytes.isEmpty())
        return;
    if (m_throttleBaud > 0 || m_latencyNs > 0)
        waitUntil(latencyTick(dueNs));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return;
        }
        done += n;
    }
}

void PtyServer::run(const std::atomic<bool>& stop) {
    const qint64 byteNs = m_throttleBaud > 0 ? 10LL * 1'000'000'000 / m_throttleBaud : 0;
    // When the host's wire and the board's wire are next free: bytes sent
    // back to back follow one another one byte time apart, and an answer
    // starts once its byte is in and the answers before it are out.
    qint64 inFreeNs = 0;
    qint64 outFreeNs = 0;
    char buffer[256];
    m_epochNs = nowNs();
    while (!stop.load()) {
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        if (ready <= 0) {
            m_board.advanceTo(nowNs() / 1000);
            continue;
        }
        if (p.revents & POLLNVAL)
            return;
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) {
            // EIO or end of file: no program has the pseudo-terminal open just now.
            ::poll(nullptr, 0, 20);
            continue;
        }
        // No allowance for the time the byte took to get here: taking off a
        // guess of it would let a host answer faster than a real wire can.
        const qint64 arrivedNs = nowNs();
        if (!hostAtAnswerSpeed())
            continue; // garbled on a real line: no answer
        inFreeNs = std::max(inFreeNs, arrivedNs);
        for (ssize_t i = 0; i < n; ++i) {
            inFreeNs += byteNs; // this byte is in
            const QByteArray reply = m_board.receive(quint8(buffer[i]), nowNs() / 1000);
            if (!reply.isEmpty()) {
                const qint64 startNs = std::max(inFreeNs, outFreeNs);
                outFreeNs = startNs + reply.size() * byteNs;
                sendAt(reply, startNs + byteNs);
            }
            if (m_hangUpAfter >= 0 && m_board.bytesReceived() > m_hangUpAfter)
                return;
        }
    }
}
