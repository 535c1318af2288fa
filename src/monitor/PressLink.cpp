#include "PressLink.h"

#include "AnySerialPort.h"
#include "BoardLink.h"
#include "BoardProtocol.h"
#include "Clock.h"
#include "SampleRead.h"
#include "TargetBoardData.h"

struct PressLink::Parts {
    SteadyClock clock;
    AnySerialPort port;
    BoardLink core{clock};
};

PressLink::PressLink(PortSettings settings)
    : m_settings(std::move(settings)), m_parts(std::make_unique<Parts>()) {
    // Nobody is at a service's screen to answer for a board that stays
    // silent: the link gives up at once, and the press's thread backs off
    // and opens it again by itself.
    m_parts->core.setPolicy(
        {[](BoardLink::Silence, const QString&) { return BoardLink::Answer::Cancel; }, nullptr});
}

PressLink::~PressLink() {
    close();
}

std::optional<QString> PressLink::open() {
    const auto opened = m_parts->core.open(m_parts->port, m_settings);
    if (opened)
        return std::nullopt;
    // The port's reason may run to paragraphs (who holds its lock file): a
    // status and the journal take one line.
    const QString reason =
        !m_parts->port.isOpen()
            ? QStringLiteral("cannot open %1: %2")
                  .arg(m_settings.device, opened.failure()
                                              .reason.split(u'\n', Qt::SkipEmptyParts)
                                              .join(QStringLiteral(": ")))
            : lostReason();
    m_parts->core.close();
    return reason;
}

void PressLink::close() {
    m_parts->core.close();
}

std::optional<qint64> PressLink::read(const QString& address) {
    return SampleRead::read(m_parts->core, address);
}

bool PressLink::lost() const {
    return m_parts->core.failed() || !m_parts->port.isOpen();
}

QString PressLink::lostReason() const {
    const QString lostConnection = m_parts->port.lostConnection();
    if (!lostConnection.isEmpty())
        return QStringLiteral("lost the connection to %1: %2")
            .arg(m_settings.device, lostConnection);
    return QStringLiteral("no answer from the board on %1").arg(m_settings.device);
}

std::optional<Plant::BoardInfo> PressLink::identity() {
    Plant::BoardInfo info;
    const auto firmware = read(QStringLiteral("B%1").arg(BoardProtocol::FirmwareRegister));
    if (!firmware)
        return std::nullopt;
    info.firmware = int(*firmware);
    using namespace TargetBoardData;
    for (int k = 0; k < IdentBytes; ++k) {
        const auto byte = read(IdentByteAddress(k));
        if (!byte)
            return std::nullopt;
        if (k < IdentNameBytes)
            info.program += IdentCharacter(QString::number(*byte));
        else if (k == IdentNameBytes)
            info.checksum = int(*byte);
        else
            info.revision = int(*byte);
    }
    info.program = info.program.trimmed();
    return info;
}
