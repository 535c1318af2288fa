#include "BoardSearch.h"

#include "BoardProtocol.h"
#include "DeviceText.h"
#include "QtSerialPort.h"
#include "SerialAccess.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <iterator>
#include <utility>

namespace {

constexpr char Attention = char(BoardProtocol::Attention);
constexpr char AttentionAnswer = char(BoardProtocol::Acknowledge);

} // namespace

BoardSearch::BoardSearch(QObject* parent) : QObject(parent) {
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_answerTimer, &QTimer::timeout, this, &BoardSearch::timedOut);
    connect(&m_port, &QSerialPort::readyRead, this, &BoardSearch::answerArrived);
    connect(&m_connection, &NetworkConnection::opened, this, &BoardSearch::networkOpened);
    connect(&m_connection, &NetworkConnection::dataArrived, this, &BoardSearch::networkData);
    connect(&m_connection, &NetworkConnection::failed, this, &BoardSearch::networkFailed);
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
    emit trying(DeviceText::shown(device), baud, step, steps);
    if (!m_running)
        return; // cancelled from the progress report
    if (const auto problem = DeviceText::problem(device)) {
        deviceUnopened(device, *problem);
        return;
    }
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
    m_tries = 0;
    sendAttention();
}

void BoardSearch::sendAttention() {
    ++m_tries;
    m_answerTimer.start(AnswerWaitMs);
    if (m_phase == Phase::Asking) {
        m_connection.sendData(QByteArray(1, Attention));
        return;
    }
    // Whatever came before belongs to nobody's question.
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    m_waiting = true;
    m_port.write(&Attention, 1);
    m_port.flush();
}

void BoardSearch::deviceUnopened(const QString& text, const QString& reason) {
    // A device text that is refused may hold a password: never shown.
    const QString device = DeviceText::shown(text);
    m_unopened.append({device, reason});
    ++m_deviceIndex;
    m_speedIndex = 0;
    emit portUnopened(device, reason);
    if (m_running)
        nextAttempt();
}

// A serial device server: connected to as the link connects (its name
// looked up off the event loop); rfc2217:// then has its port set to the
// speed before the question, and at the next speed set again.
void BoardSearch::startNetworkAttempt(const QString& device, int baud) {
    if (m_speedIndex > 0 && m_connection.isOpen()) {
        m_phase = Phase::Settling;
        if (!m_connection.changeSpeed(baud))
            askNetwork(); // the server keeps its speed to itself: ask all the same
        return;
    }
    const auto parsed = NetworkDevice::parse(device);
    if (const QString* why = std::get_if<QString>(&parsed)) {
        deviceUnopened(device, *why);
        return;
    }
    m_phase = Phase::Connecting;
    m_connection.start(std::get<NetworkDevice::Address>(parsed), baud);
}

void BoardSearch::networkOpened() {
    if (m_phase == Phase::Connecting)
        m_asked.append(m_devices.value(m_deviceIndex));
    if (m_phase == Phase::Connecting || m_phase == Phase::Settling)
        askNetwork();
}

void BoardSearch::askNetwork() {
    m_connection.dropInput();
    m_connection.purge();
    m_phase = Phase::Asking;
    m_tries = 0;
    sendAttention();
}

void BoardSearch::networkData() {
    const QByteArray data = m_connection.takeInput();
    if (m_phase == Phase::Asking && !data.isEmpty())
        answered(data.at(0));
}

void BoardSearch::networkFailed() {
    const Phase phase = std::exchange(m_phase, Phase::None);
    if (phase == Phase::None)
        return;
    m_answerTimer.stop();
    if (phase == Phase::Connecting) {
        deviceUnopened(m_devices.value(m_deviceIndex), m_connection.failure());
        return;
    }
    // Gone while asked: no board there, at any speed left.
    m_speedIndex = int(speedsFor(m_devices.value(m_deviceIndex)).size()) - 1;
    attemptOver(false);
}

void BoardSearch::timedOut() {
    attemptOver(false);
}

void BoardSearch::answerArrived() {
    const QByteArray bytes = m_port.readAll();
    if (!m_waiting || bytes.isEmpty())
        return;
    m_waiting = false;
    answered(bytes.at(0));
}

void BoardSearch::answered(char reply) {
    m_answerTimer.stop();
    // Only the board's answer counts; anything else is some other device,
    // or a board in the middle of a record.
    if (reply == AttentionAnswer || m_tries >= AttentionTries)
        attemptOver(reply == AttentionAnswer);
    else
        sendAttention();
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
    m_connection.close();
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
    // A socket:// device was asked once, at its server's speed.
    QStringList bothSpeeds;
    QStringList serverSpeed;
    for (const QString& device : m_asked)
        (speedsFor(device).size() > 1 ? bothSpeeds : serverSpeed).append(device);
    QStringList asked;
    if (!bothSpeeds.isEmpty())
        asked << QStringLiteral("at 19200 or 9600 baud on ") +
                     bothSpeeds.join(QStringLiteral(", "));
    if (!serverSpeed.isEmpty())
        asked << QStringLiteral("at its server's speed on ") +
                     serverSpeed.join(QStringLiteral(", "));
    QString text = m_asked.isEmpty()
                       ? QStringLiteral("No port could be opened")
                       : QStringLiteral("No board answered ") + asked.join(QStringLiteral("; "));
    if (!unopened.isEmpty())
        text += (m_asked.isEmpty() ? QStringLiteral(": ") : QStringLiteral("; not opened: ")) +
                unopened.join(QStringLiteral(", "));
    return text + u'.';
}
