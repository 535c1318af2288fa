#pragma once

// A pseudo-terminal on which nothing answers, for searches that must pass it
// by; it keeps what was sent to it, and sends what a test tells it to.
#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

class SilentPty {
public:
    SilentPty() {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd >= 0 && grantpt(m_fd) == 0 && unlockpt(m_fd) == 0) {
            m_path = QString::fromLocal8Bit(ptsname(m_fd));
            fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        }
    }
    ~SilentPty() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    const QString& path() const { return m_path; }
    bool send(const QByteArray& bytes) const {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    QByteArray received() const {
        QByteArray bytes;
        char buffer[64];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, n);
        return bytes;
    }

private:
    int m_fd = -1;
    QString m_path;
};
