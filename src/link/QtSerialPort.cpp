#include "QtSerialPort.h"

#include "SerialAccess.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif
#ifdef Q_OS_UNIX
#include <poll.h>
#include <unistd.h>
#endif

namespace {

// USB serial adapters hold received bytes up to their latency timer (16 ms by
// default), and every byte of the protocol waits for its echo: ask the driver
// to pass bytes on at once. Drivers without the setting (a pseudo-terminal,
// some adapters) refuse, and the port serves as it is.
bool requestLowLatency([[maybe_unused]] qintptr handle) {
#ifdef Q_OS_LINUX
    const int fd = int(handle);
    serial_struct serial{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return false;
    if (serial.flags & ASYNC_LOW_LATENCY)
        return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
#else
    return false;
#endif
}

} // namespace

QString QtSerialPort::deviceFor(const PortSettings& settings) {
    if (!settings.device.isEmpty())
        return settings.device;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(settings.portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(settings.portNumber - 1);
#endif
}

void QtSerialPort::SetUpLine(QSerialPort& port, qint32 baud) {
    port.setBaudRate(baud);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

QList<QSerialPortInfo> QtSerialPort::SystemPorts() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    return ports;
}

bool QtSerialPort::open(const PortSettings& settings) {
    if (m_port.isOpen())
        m_port.close();
    m_device = deviceFor(settings);
    m_port.setPortName(m_device);
    SetUpLine(m_port, settings.speed().bitsPerSecond());
    m_lowLatency = false;
    if (m_port.open(QIODevice::ReadWrite)) {
        quietNotifiers();
        m_lost.clear();
        m_lowLatency = requestLowLatency(m_port.handle());
        m_errorNumber = 0;
        m_errorString.clear();
        return true;
    }
    m_errorNumber = int(m_port.error());
    m_errorString = m_port.errorString();
    // The same error for a user without rights and for a port another
    // program holds: only the first gets the way to the rights.
    if (m_port.error() == QSerialPort::PermissionError && SerialAccess::denied(m_device))
        m_errorString += QStringLiteral("\n\n") + SerialAccess::advice(m_device);
    else if (m_port.error() == QSerialPort::PermissionError && m_errorString.contains(u"lock"))
        m_errorString += QStringLiteral("\n\n") + SerialAccess::lockHolder(m_device);
    else if (m_port.error() == QSerialPort::DeviceNotFoundError && !QFileInfo::exists(m_device))
        m_errorString += QStringLiteral(" (%1 does not exist)").arg(m_device);
    else if (m_port.error() == QSerialPort::UnsupportedOperationError &&
             m_errorString == QString::fromLocal8Bit(std::strerror(ENOTTY)))
        // The terminal settings were refused: the device is no terminal at all.
        m_errorString += QStringLiteral("\n\n%1 is not a serial port.").arg(m_device);
    return false;
}

void QtSerialPort::close() {
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::discardInput() {
    m_port.readAll();
    m_port.clear(QSerialPort::Input);
    quietNotifiers(); // reading switched Qt's notifier on again
}

void QtSerialPort::quietNotifiers() {
#ifdef Q_OS_UNIX
    for (QSocketNotifier* notifier : m_port.findChildren<QSocketNotifier*>())
        notifier->setEnabled(false);
#endif
}

int QtSerialPort::bytesAvailable() {
    return int(m_port.bytesAvailable());
}

#ifdef Q_OS_UNIX
// Each byte goes straight to and from the descriptor that QSerialPort opened,
// set up and locked: its buffered path reserves a 32 KiB buffer, emits two
// signals and switches a notifier on and off for every byte, a third again of
// the CPU an exchange costs. Its notifiers are kept off (quietNotifiers); were
// one on, it would take bytes into Qt's buffer while the event loop ran
// between exchanges, and those, older than any on the descriptor, go first.

bool QtSerialPort::writeByte(quint8 byte) {
    // A full output queue frees in a few byte times on a working line; past
    // this the byte is not sent and the exchange waits for a reply in vain.
    constexpr int FullQueueWaitMs = 100;
    if (!m_lost.isEmpty() || !m_port.isOpen())
        return false;
    const int fd = int(m_port.handle());
    QDeadlineTimer deadline(FullQueueWaitMs);
    for (;;) {
        const ssize_t n = ::write(fd, &byte, 1);
        if (n == 1)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && !deadline.hasExpired()) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, int(deadline.remainingTime())) >= 0 && !(p.revents & ~POLLOUT))
                continue;
        }
        noteIfGone();
        return false;
    }
}

bool QtSerialPort::waitForByte(int timeoutMs) {
    if (m_port.bytesAvailable() > 0)
        return true;
    if (!m_lost.isEmpty() || !m_port.isOpen())
        return false;
    QDeadlineTimer deadline(std::max(0, timeoutMs));
    for (;;) {
        pollfd p{int(m_port.handle()), POLLIN, 0};
        const int ready = ::poll(&p, 1, int(deadline.remainingTime()));
        // What the device sent before it went is read first; after that
        // nothing more will come.
        if (ready > 0 && (p.revents & POLLIN))
            return true;
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            // A hang-up or an error: the device is gone, or the descriptor is
            // in a state that would return at once; wait out the time rather
            // than spin.
            if (noteIfGone())
                return false;
            QThread::msleep(
                static_cast<unsigned long>(std::min<qint64>(50, deadline.remainingTime())));
        }
        if (deadline.hasExpired())
            return false;
    }
}

int QtSerialPort::readByte() {
    char c = 0;
    if (m_port.bytesAvailable() > 0)
        return m_port.getChar(&c) ? static_cast<unsigned char>(c) : -1;
    if (!m_port.isOpen())
        return -1;
    for (;;) {
        const ssize_t n = ::read(int(m_port.handle()), &c, 1);
        if (n == 1)
            return static_cast<unsigned char>(c);
        if (n < 0 && errno == EINTR)
            continue;
        return -1;
    }
}
#else
bool QtSerialPort::writeByte(quint8 byte) {
    const char c = char(byte);
    if (!m_lost.isEmpty() || m_port.write(&c, 1) != 1)
        return false;
    // Hand the byte to the driver now: a transaction does not wait for the
    // event loop to write it (the long-wait display runs one only while a
    // reply is late, and it is not to be relied on for output).
    if (m_port.flush() || m_port.bytesToWrite() == 0)
        return true;
    noteIfGone();
    return m_lost.isEmpty();
}

bool QtSerialPort::waitForByte(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (m_port.bytesAvailable() == 0 && m_lost.isEmpty() && !deadline.hasExpired()) {
        if (m_port.waitForReadyRead(int(deadline.remainingTime())))
            continue;
        if (m_port.error() != QSerialPort::TimeoutError && m_port.error() != QSerialPort::NoError) {
            // What the device sent before it went is read above; after that
            // nothing more will come.
            if (noteIfGone())
                break;
            // A port in error returns at once; wait out the time instead of spinning.
            m_port.clearError();
            QThread::msleep(
                static_cast<unsigned long>(std::min<qint64>(50, deadline.remainingTime())));
        }
    }
    return m_port.bytesAvailable() > 0;
}

int QtSerialPort::readByte() {
    char c = 0;
    if (!m_port.getChar(&c))
        return -1;
    return static_cast<unsigned char>(c);
}
#endif

// Qt's error code for a vanished device depends on the call that met it, and
// its text may carry an older errno; the descriptor tells for certain: it
// reports a hang-up or an error for good once the device is gone.
bool QtSerialPort::noteIfGone() {
    if (!m_lost.isEmpty())
        return true;
#ifdef Q_OS_UNIX
    pollfd p{int(m_port.handle()), POLLIN, 0};
    if (p.fd < 0 || ::poll(&p, 1, 0) != 1 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0)
        return false;
#else
    if (m_port.error() != QSerialPort::ResourceError)
        return false;
#endif
    m_lost = QStringLiteral("%1 is gone (unplugged, or closed at its other end)").arg(m_device);
    return true;
}
