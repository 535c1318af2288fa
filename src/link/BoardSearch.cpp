#include "BoardSearch.h"

#include "NetworkSerialPort.h"
#include "QtSerialPort.h"
#include "SerialAccess.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <iterator>
#include <utility>

namespace {

constexpr char Attention = char(255);
constexpr char AttentionAnswer = char(85);

} // namespace

BoardSearch::BoardSearch(QObject* parent) : QObject(parent) {
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_answerTimer, &QTimer::timeout, this, &BoardSearch::timedOut);
    connect(&m_port, &QSerialPort::readyRead, this, &BoardSearch::answerArrived);
    connect(&m_socket, &QTcpSocket::connected, this, &BoardSearch::networkConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &BoardSearch::networkData);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &BoardSearch::networkFailed);
}

BoardSearch::~BoardSearch() = default;

QStringList BoardSearch::systemPorts() {
    QStringList ports;
    for (const QSerialPortInfo& info : QtSerialPort::SystemPorts())
        ports.append(info.systemLocation());
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
        if (SerialAccess::denied(device))
            return SerialAccess::advice(device);
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

QList<int> BoardSearch::speedsFor(const QString& device) {
    if (!NetworkDevice::isNetwork(device))
        return {std::begin(Speeds), std::end(Speeds)};
    const auto parsed = NetworkDevice::parse(device);
    const auto* address = std::get_if<NetworkDevice::Address>(&parsed);
    if (address && address->kind == NetworkDevice::Kind::Rfc2217)
        return {std::begin(Speeds), std::end(Speeds)};
    return {0}; // the server's own speed
}

int BoardSearch::start(const QStringList& devices) {
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
    return m_generation;
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
    const QList<int> speeds = speedsFor(device);
    const int baud = speeds.at(m_speedIndex);
    int step = m_speedIndex + 1;
    int steps = 0;
    for (qsizetype i = 0; i < m_devices.size(); ++i) {
        const auto count = int(speedsFor(m_devices.at(i)).size());
        steps += count;
        if (i < m_deviceIndex)
            step += count;
    }
    emit trying(device, baud, step, steps);
    if (!m_running)
        return; // cancelled from the progress report
    if (NetworkDevice::isNetwork(device)) {
        startNetworkAttempt(device, baud);
        return;
    }
    if (m_speedIndex == 0) {
        m_port.setPortName(device);
        QtSerialPort::SetUpLine(m_port, baud);
        if (!m_port.open(QIODevice::ReadWrite)) {
            const QString reason = openFailure(device, m_port.error(), m_port.errorString());
            m_port.clearError();
            deviceUnopened(device, reason);
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

void BoardSearch::deviceUnopened(const QString& device, const QString& reason) {
    m_unopened.append({device, reason});
    ++m_deviceIndex;
    m_speedIndex = 0;
    emit portUnopened(device, reason);
    if (m_running)
        nextAttempt();
}

// A serial device server: connected to (its name looked up) on the event
// loop; rfc2217:// then has its port set to the speed before the question.
void BoardSearch::startNetworkAttempt(const QString& device, int baud) {
    if (m_speedIndex > 0 && m_telnet && m_socket.state() == QAbstractSocket::ConnectedState) {
        m_socket.write(m_telnet->setBaud(baud));
        m_phase = Phase::Settling;
        m_answerTimer.start(NetworkSerialPort::NegotiationLimitMs);
        return;
    }
    const auto parsed = NetworkDevice::parse(device);
    if (const QString* why = std::get_if<QString>(&parsed)) {
        deviceUnopened(device, *why);
        return;
    }
    m_address = std::get<NetworkDevice::Address>(parsed);
    m_telnet.reset();
    if (m_address.kind == NetworkDevice::Kind::Rfc2217)
        m_telnet.emplace();
    m_phase = Phase::Connecting;
    m_socket.connectToHost(m_address.host, m_address.port);
    m_answerTimer.start(NetworkDevice::ConnectLimitMs);
}

void BoardSearch::networkConnected() {
    if (m_phase != Phase::Connecting)
        return;
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_asked.append(m_devices.value(m_deviceIndex));
    if (!m_telnet) {
        askNetwork();
        return;
    }
    m_socket.write(m_telnet->opening(Speeds[m_speedIndex]));
    m_phase = Phase::Settling;
    m_answerTimer.start(NetworkSerialPort::NegotiationLimitMs);
}

void BoardSearch::askNetwork() {
    m_socket.readAll();
    QByteArray question = m_telnet ? m_telnet->purge() : QByteArray();
    TelnetClient::appendData(question, quint8(Attention));
    m_phase = Phase::Asking;
    m_socket.write(question);
    m_socket.flush();
    m_answerTimer.start(AnswerWaitMs);
}

void BoardSearch::networkData() {
    const QByteArray bytes = m_socket.readAll();
    // The purge's answer and the board's come in two messages: the second
    // is not to wait for our delayed acknowledgement of the first.
    NetworkDevice::acknowledgeAtOnce(m_socket);
    QByteArray data;
    if (m_telnet) {
        m_telnet->read(bytes.constData(), bytes.size(), data);
        m_socket.write(m_telnet->takeReplies());
    } else {
        data = bytes;
    }
    if (m_phase == Phase::Settling && m_telnet && m_telnet->speedSettled())
        askNetwork();
    else if (m_phase == Phase::Asking && !data.isEmpty())
        attemptOver(data.at(0) == AttentionAnswer);
}

void BoardSearch::networkFailed(QAbstractSocket::SocketError error) {
    const Phase phase = std::exchange(m_phase, Phase::None);
    if (phase == Phase::None)
        return;
    m_answerTimer.stop();
    const QString reason = NetworkDevice::failure(m_address, error, m_socket.errorString());
    m_socket.abort();
    if (phase == Phase::Connecting) {
        deviceUnopened(m_devices.value(m_deviceIndex), reason);
        return;
    }
    // Gone while asked: no board there, at any speed left.
    m_speedIndex = int(speedsFor(m_devices.value(m_deviceIndex)).size()) - 1;
    attemptOver(false);
}

void BoardSearch::timedOut() {
    switch (std::exchange(m_phase, Phase::None)) {
    case Phase::Connecting:
        m_socket.abort();
        deviceUnopened(m_devices.value(m_deviceIndex),
                       NetworkDevice::failure(m_address, QAbstractSocket::SocketTimeoutError, {}));
        return;
    case Phase::Settling:
        if (m_telnet && !m_telnet->heardTelnet()) {
            m_socket.abort();
            m_asked.removeLast();
            deviceUnopened(m_devices.value(m_deviceIndex),
                           QStringLiteral("does not answer in telnet (RFC 2217); a raw TCP port is "
                                          "written socket://%1")
                               .arg(m_address.hostPort()));
            return;
        }
        askNetwork(); // the server keeps its speed to itself: ask all the same
        return;
    default:
        attemptOver(false);
    }
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
    m_phase = Phase::None;
    const QString device = m_devices.value(m_deviceIndex);
    const QList<int> speeds = speedsFor(device);
    const int baud = speeds.value(m_speedIndex);
    if (answered || m_speedIndex + 1 >= speeds.size()) {
        closePorts();
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

void BoardSearch::closePorts() {
    if (m_port.isOpen())
        m_port.close();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    m_telnet.reset();
}

void BoardSearch::finish() {
    m_answerTimer.stop();
    m_waiting = false;
    m_phase = Phase::None;
    closePorts();
    m_running = false;
    emit finished(m_generation);
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
