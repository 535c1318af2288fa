#include "PressLink.h"

#include "AnySerialPort.h"
#include "Clock.h"
#include "ProgramFolder.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SampleRead.h"
#include "TargetBoardData.h"

namespace {

// Nobody is at a service's screen: every question of the link is answered by
// its most cautious button (Cancel: the read fails and the link is lost).
class UnattendedPrompt final : public Prompt {
public:
    Answer message(const QString&, const QString&, Icon, Buttons buttons) override {
        return cautious(buttons);
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

constexpr int FirmwareRegister = 8159;

} // namespace

struct PressLink::Parts {
    UnattendedPrompt prompt;
    SteadyClock clock;
    AnySerialPort port;
    RSComm link{prompt, clock, ProgramFolder::path()};
};

PressLink::PressLink(PortSettings settings)
    : m_settings(std::move(settings)), m_parts(std::make_unique<Parts>()) {}

PressLink::~PressLink() {
    close();
}

std::optional<QString> PressLink::open() {
    m_parts->link.OpenRSComm(m_parts->port, m_settings);
    if (m_parts->link.OnlineMode())
        return std::nullopt;
    // The port's reason may run to paragraphs (who holds its lock file): a
    // status and the journal take one line.
    const QString reason = !m_parts->port.isOpen()
                               ? QStringLiteral("cannot open %1: %2")
                                     .arg(m_settings.device, m_parts->port.errorString()
                                                                 .split(u'\n', Qt::SkipEmptyParts)
                                                                 .join(QStringLiteral(": ")))
                               : lostReason();
    m_parts->link.CloseRSComm();
    return reason;
}

void PressLink::close() {
    m_parts->link.CloseRSComm();
}

std::optional<qint64> PressLink::read(const QString& address) {
    const auto value = SampleRead::read(m_parts->link, address);
    if (!value)
        return std::nullopt;
    return value->toLongLong();
}

bool PressLink::lost() const {
    return m_parts->link.CommError() || !m_parts->port.isOpen();
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
    const auto firmware = read(QStringLiteral("B%1").arg(FirmwareRegister));
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
