#include "BoardSearch.h"

#include "QtSerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <iterator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

constexpr char Attention = char(255);
constexpr char AttentionAnswer = char(85);
constexpr int SpeedCount = int(std::size(BoardSearch::Speeds));

bool accessDenied([[maybe_unused]] const QString& device) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    return false;
#endif
}

} // namespace

BoardSearch::BoardSearch(QObject* parent) : QObject(parent) {
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] { attemptOver(false); });
    connect(&m_port, &QSerialPort::readyRead, this, &BoardSearch::answerArrived);
}

BoardSearch::~BoardSearch() = default;

QStringList BoardSearch::systemPorts() {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append(info.systemLocation());
    ports.sort();
    return ports;
}

QStringList BoardSearch::candidates(const QStringList& systemPorts, const QString& settingsDevice) {
    QStringList devices;
    for (const QString& d : systemPorts + QStringList{settingsDevice})
        if (!d.isEmpty() && !devices.contains(d))
            devices.append(d);
    return devices;
}

QString BoardSearch::openFailure(const QString& device, QSerialPort::SerialPortError error,
                                 const QString& errorString) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        if (!QFileInfo::exists(device))
            return QStringLiteral("does not exist");
        return QStringLiteral("cannot be opened as a serial port: %1").arg(errorString);
    case QSerialPort::PermissionError:
        if (accessDenied(device))
            return QStringLiteral("no permission; join the group \"%1\" with sudo usermod -aG %1 "
                                  "$USER, then log in again")
                .arg(QtSerialPort::deviceGroup(device));
        // Taken by another program: its lock file, or a port held exclusively.
        return QStringLiteral("in use by another program: %1").arg(errorString);
    case QSerialPort::OpenError:
        return QStringLiteral("already open in this program");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("not a serial port: %1").arg(errorString);
    default:
        return QStringLiteral("cannot be opened: %1").arg(errorString);
    }
}

void BoardSearch::start(const QStringList& devices) {
    cancel();
    m_devices = devices;
    m_deviceIndex = 0;
    m_speedIndex = 0;
    m_boards.clear();
    m_unopened.clear();
    m_asked.clear();
    m_cancelled = false;
    m_running = true;
    ++m_generation;
    nextAttempt();
}

void BoardSearch::cancel() {
    if (!m_running)
        return;
    m_cancelled = true;
    finish();
}

// Each attempt starts from the event loop, so the caller's handlers (and a
// window's repaint and Cancel button) run between two attempts.
void BoardSearch::nextAttempt() {
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (m_running && generation == m_generation)
            startAttempt();
    });
}

void BoardSearch::startAttempt() {
    if (m_deviceIndex >= m_devices.size()) {
        finish();
        return;
    }
    const QString device = m_devices.at(m_deviceIndex);
    const int baud = Speeds[m_speedIndex];
    emit trying(device, baud, m_deviceIndex * SpeedCount + m_speedIndex + 1,
                int(m_devices.size()) * SpeedCount);
    if (!m_running)
        return; // cancelled from the progress report
    if (m_speedIndex == 0) {
        m_port.setPortName(device);
        m_port.setBaudRate(baud);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port.open(QIODevice::ReadWrite)) {
            const Unopened failed{device,
                                  openFailure(device, m_port.error(), m_port.errorString())};
            m_port.clearError();
            m_unopened.append(failed);
            ++m_deviceIndex;
            emit portUnopened(failed.device, failed.reason);
            if (m_running)
                nextAttempt();
            return;
        }
        m_asked.append(device);
    } else if (!m_port.isOpen() || !m_port.setBaudRate(baud)) {
        attemptOver(false);
        return;
    }
    // Whatever came before belongs to nobody's question.
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    m_waiting = true;
    m_port.write(&Attention, 1);
    m_port.flush();
    m_answerTimer.start(AnswerWaitMs);
}

void BoardSearch::answerArrived() {
    const QByteArray bytes = m_port.readAll();
    if (!m_waiting || bytes.isEmpty())
        return;
    // Only the board's answer counts; anything else is some other device.
    attemptOver(bytes.at(0) == AttentionAnswer);
}

void BoardSearch::attemptOver(bool answered) {
    m_answerTimer.stop();
    m_waiting = false;
    const QString device = m_devices.value(m_deviceIndex);
    const int baud = Speeds[m_speedIndex];
    if (answered || m_speedIndex + 1 >= SpeedCount) {
        m_port.close();
        ++m_deviceIndex;
        m_speedIndex = 0;
    } else {
        ++m_speedIndex;
    }
    if (answered) {
        m_boards.append({device, baud});
        emit boardFound(device, baud);
    }
    if (m_running)
        nextAttempt();
}

void BoardSearch::finish() {
    m_answerTimer.stop();
    m_waiting = false;
    if (m_port.isOpen())
        m_port.close();
    m_running = false;
    emit finished();
}

QString BoardSearch::nothingFound() const {
    if (m_devices.isEmpty())
        return QStringLiteral("No serial ports to search.");
    QStringList unopened;
    for (const Unopened& u : m_unopened)
        unopened.append(QStringLiteral("%1 (%2)").arg(u.device, u.reason));
    QString text = m_asked.isEmpty()
                       ? QStringLiteral("No port could be opened")
                       : QStringLiteral("No board answered at 19200 or 9600 baud on ") +
                             m_asked.join(QStringLiteral(", "));
    if (!unopened.isEmpty())
        text += (m_asked.isEmpty() ? QStringLiteral(": ") : QStringLiteral("; not opened: ")) +
                unopened.join(QStringLiteral(", "));
    return text + u'.';
}
