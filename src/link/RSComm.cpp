#include "RSComm.h"

#include "ErrorText.h"
#include "NumberText.h"
#include "PortSettingsFile.h"
#include "Prompt.h"
#include "SettingsLocation.h"

#include <utility>

namespace {
const QString CommWarningTitle = QStringLiteral("WARNING - Communication Error!");
} // namespace

RSComm::RSComm(Prompt& prompt, Clock& clock, QString programFolder, SerialPort* commControl)
    : m_prompt(prompt), m_programFolder(std::move(programFolder)), m_commControl(commControl),
      m_core(clock), m_project(prompt), m_loading(m_core, prompt, m_project), m_pls(m_core, prompt),
      m_identity(m_core, prompt, m_programFolder) {
    setLongWait(nullptr);
    m_core.addObserver(*this);
}

RSComm::~RSComm() {
    m_core.removeObserver(*this);
}

QString RSComm::CommSettingsFile() const {
    return SettingsLocation::portSettingsFile(m_programFolder);
}

void RSComm::setLongWait(LongWait* longWait) {
    m_core.setPolicy({[this](BoardLink::Silence silence, const QString& reason) {
                          return OnSilence(silence, reason);
                      },
                      longWait});
}

void RSComm::exchanged(const Exchange& exchange) {
    switch (exchange.outcome) {
    case Exchange::Outcome::TimedOut:
    case Exchange::Outcome::Lost:
        m_commErrorAlert = true;
        break;
    case Exchange::Outcome::Skipped:
        break;
    default:
        m_commErrorAlert = false;
    }
}

void RSComm::setOnline(bool online) {
    if (std::exchange(m_onlineMode, online) != online)
        emit onlineModeChanged(online, false);
}

void RSComm::setOnlineMode(bool on) {
    setOnline(on);
}

BoardLink::Answer RSComm::OnSilence(BoardLink::Silence silence, const QString& reason) {
    QString text;
    switch (silence) {
    case BoardLink::Silence::Byte:
        text = QStringLiteral("Cannot Communicate with Target Board.\r"
                              "Verify RS-232 Cable is Connected Between\r"
                              "COMM Port and PROG Port.");
        if (!reason.isEmpty())
            text += QStringLiteral("\r\r") + reason;
        break;
    case BoardLink::Silence::Mode:
        text = QStringLiteral("Cannot Set PLC Mode Within Target Board.");
        break;
    case BoardLink::Silence::PlsReady:
        text = QStringLiteral("Cannot Determine PLS READY Mode Within Target Board.");
        break;
    }
    const bool retry = m_prompt.message(CommWarningTitle, text, Prompt::Icon::Critical,
                                        Prompt::Buttons::RetryCancel) == Prompt::Answer::Retry;
    // A handshake given up takes the link offline and closes it.
    if (!retry && silence == BoardLink::Silence::Mode)
        setOnline(false);
    return retry ? BoardLink::Answer::Retry : BoardLink::Answer::Cancel;
}

void RSComm::OpenRSComm(SerialPort& commObj) {
    // A file that cannot be read keeps nobody offline either: the defaults.
    OpenRSComm(commObj,
               PortSettingsFile::readOrWriteDefaults(CommSettingsFile()).value_or(PortSettings{}));
}

void RSComm::OpenRSComm(SerialPort& commObj, const PortSettings& settings) {
    BoardLink::Transaction transaction(m_core);
    const auto opened = m_core.open(commObj, settings);
    if (!opened && !commObj.isOpen()) {
        m_prompt.message(QStringLiteral("Comm Port Error"),
                         ErrorText::numberedWithSource(commObj.errorNumber(), commObj.portName(),
                                                       commObj.errorString()),
                         Prompt::Icon::Critical);
    }
    setOnline(!m_core.failed());
}

void RSComm::CloseRSComm() {
    m_core.close();
    setOnline(false);
}

bool RSComm::GoOnline() {
    SerialPort* port = m_commControl ? m_commControl : m_core.port();
    if (port)
        OpenRSComm(*port);
    if (!m_onlineMode)
        emit onlineModeChanged(false, true);
    return m_onlineMode;
}

void RSComm::GoOffline() {
    CloseRSComm();
}

QString RSComm::RSRead(const QString& add) {
    BoardLink::Transaction transaction(m_core);
    if (add.compare(m_readCacheText, Qt::CaseInsensitive) != 0 || m_readCacheText.isEmpty()) {
        const auto parsed = Address::parse(add);
        if (!parsed) {
            // Nothing is sent for an address that does not resolve.
            m_lastReadFailed = true;
            return QStringLiteral("0");
        }
        m_readCacheText = add;
        m_readCacheAddress = *parsed;
    }
    const auto value = m_core.read(m_readCacheAddress);
    m_lastReadFailed = !value;
    return value ? QString::number(value.value()) : QStringLiteral("0");
}

void RSComm::RSWrite(const QString& add, const QString& dataValue) {
    BoardLink::Transaction transaction(m_core);
    auto alert = [this](const QString& reason) {
        m_prompt.message(QStringLiteral("ENTRY ALERT"), QStringLiteral("Error:\r") + reason,
                         Prompt::Icon::Critical);
    };
    m_lastWriteRefused = false;
    m_lastWriteFailed = false;
    const auto value = NumberText::registerValue(dataValue);
    if (!value) {
        alert(QStringLiteral("Only Numerical Data Allowed."));
        m_lastWriteRefused = true;
        return;
    }
    const auto parsed = Address::parse(add);
    if (!parsed) {
        m_lastWriteFailed = true;
        return;
    }
    const auto written = m_core.write(*parsed, *value);
    if (written.failedWith(LinkFailure::Kind::Refused)) {
        alert(written.failure().reason);
        m_lastWriteRefused = true;
    } else {
        m_lastWriteFailed = !written;
    }
}

int RSComm::FaultCode() {
    BoardLink::Transaction transaction(m_core);
    const auto code = m_identity.faultCode();
    m_lastReadFailed = !code;
    return code.valueOr(0);
}

int RSComm::FirmwareRev() {
    if (!m_onlineMode || m_core.failed())
        return -1;
    BoardLink::Transaction transaction(m_core);
    const auto revision = m_identity.firmwareRevision();
    m_lastReadFailed = !revision;
    return revision.valueOr(0);
}

QString RSComm::PlsWord(int command) {
    return QString::number(m_pls.readWord(command).valueOr(PlsOperations::ReadFailed));
}
