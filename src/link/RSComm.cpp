#include "RSComm.h"

#include "BoardCodes.h"
#include "Clock.h"
#include "PortSettingsFile.h"
#include "ProgramFolder.h"
#include "Prompt.h"
#include "SettingsLocation.h"

#include <utility>

namespace {
constexpr int Attention = 255;
constexpr int AttentionAnswer = 85;
constexpr int FirstReplyMs = 1000;
constexpr int ResendReplyMs = 2000;
constexpr int HandshakeMs = 2000;
const QString CommWarningTitle = QStringLiteral("WARNING - Communication Error!");
} // namespace

RSComm::RSComm(Prompt& prompt, Clock& clock, QString programFolder)
    : m_prompt(prompt), m_clock(clock), m_programFolder(std::move(programFolder)) {}

RSComm::~RSComm() = default;

QString RSComm::PortSettingsPath() const {
    return SettingsLocation::portSettingsFile(m_programFolder);
}

QString RSComm::SupportFile(const QString& name) const {
    return ProgramFolder::resolve(m_programFolder, QStringLiteral("Support/") + name);
}

bool RSComm::ConfigurePort(SerialPort& commObj, const PortSettings& settings) {
    if (commObj.isOpen())
        commObj.close();
    m_port = &commObj;
    m_portSettings = settings;
    if (!commObj.open(settings))
        return false;
    m_portSetupFailed = false;
    return true;
}

PortSettings RSComm::SettingsFromFile() const {
    // A file that cannot be read keeps nobody offline either: the defaults.
    return PortSettingsFile::readOrWriteDefaults(PortSettingsPath()).value_or(PortSettings{});
}

void RSComm::OpenRSComm(SerialPort& commObj) {
    OpenRSComm(commObj, SettingsFromFile());
}

void RSComm::OpenRSComm(SerialPort& commObj, const PortSettings& settings) {
    BusyGuard busy(*this);
    if (!ConfigurePort(commObj, settings)) {
        m_prompt.message(QStringLiteral("Comm Port Error"),
                         QStringLiteral("Error Number = ") +
                             QString::number(commObj.errorNumber()) +
                             QStringLiteral("\nError Source = ") + commObj.portName() +
                             QStringLiteral("\n\n") + commObj.errorString(),
                         Prompt::Icon::Critical);
        m_commError = true;
        m_onlineMode = false;
        m_portSetupFailed = true;
        return;
    }
    commObj.discardInput();
    m_boardMode = 0;
    m_commError = false;
    ExchangeByte(Attention);
    m_onlineMode = !m_commError;
}

void RSComm::CloseRSComm() {
    BusyGuard busy(*this);
    if (m_port && m_port->isOpen()) {
        // A connection the server closed takes no farewell.
        if (!m_commError && m_port->lostConnection().isEmpty())
            ExchangeByte(Attention);
        m_port->close();
    }
    m_boardMode = 0;
    m_onlineMode = false;
}

// One long wait as the program sees it: started once, ended once, however
// the exchange leaves.
class RSComm::LongWaitScope {
public:
    LongWaitScope() = default;
    ~LongWaitScope() { end(); }
    LongWaitScope(const LongWaitScope&) = delete;
    LongWaitScope& operator=(const LongWaitScope&) = delete;

    bool active() const { return m_hook != nullptr; }
    void start(LongWait& hook, const QString& device) {
        m_hook = &hook;
        hook.started(device);
    }
    void slice() {
        if (m_hook)
            m_hook->slice();
    }
    void end() {
        if (LongWait* hook = std::exchange(m_hook, nullptr))
            hook->ended();
    }

private:
    LongWait* m_hook = nullptr;
};

int RSComm::ExchangeByte(int byte, bool noWait, bool discard) {
    // Busy for certain while a long wait lets timers run.
    BusyGuard busy(*this);
    if (m_commError)
        return NoReply;
    if (discard && m_port && m_port->isOpen())
        m_port->discardInput();
    if (!m_port || !m_port->isOpen()) {
        m_boardMode = 0;
        m_commError = true;
        return NoReply;
    }
    m_port->writeByte(quint8(byte));
    m_commErrorAlert = false;
    if (noWait)
        return 0;

    LongWaitScope longWait;
    qint64 waitStart = m_clock.nowMs();
    qint64 deadline = waitStart + FirstReplyMs;
    int timeouts = 0;
    bool resent = false;
    for (;;) {
        if (WaitForReply(deadline, waitStart, longWait)) {
            const int reply = m_port->readByte();
            if (reply < 0)
                continue;
            m_commErrorAlert = false;
            if (!resent)
                return reply;
            // The board answered a resent attention byte, not the byte we
            // sent: the transaction is out of step and must start again.
            m_commError = false;
            m_boardMode = 0;
            m_resyncReply = reply;
            return Resynced;
        }
        m_boardMode = 0;
        m_commError = true;
        m_commErrorAlert = true;
        ++timeouts;
        // A closed connection carries no resend: the question comes at once.
        const bool lost = !m_port->lostConnection().isEmpty();
        if (timeouts < 3 && !lost) {
            m_commError = false;
            m_port->discardInput();
            m_port->writeByte(quint8(Attention));
            resent = true;
            deadline = m_clock.nowMs() + ResendReplyMs;
            continue;
        }
        // The question takes the place of the waiting.
        longWait.end();
        if (!AskToRetry())
            return NoReply;
        timeouts = 0;
        if (lost) {
            // Connected again: whatever became of the byte sent, the
            // transaction starts over, as after a resent attention byte.
            m_commError = false;
            m_port->writeByte(quint8(Attention));
            resent = true;
        }
        // Counted from the answer: the time the question was open is not the board's.
        waitStart = m_clock.nowMs();
        deadline = waitStart + ResendReplyMs;
    }
}

bool RSComm::AskToRetry() {
    // A network port says which server and speed went silent, or why the
    // connection ended; only an ended one is made again on Retry.
    const bool lost = !m_port->lostConnection().isEmpty();
    QString reason = lost ? m_port->lostConnection() : m_port->silence();
    for (;;) {
        QString text = QStringLiteral("Cannot Communicate with Target Board.\r"
                                      "Verify RS-232 Cable is Connected Between\r"
                                      "COMM Port and PROG Port.");
        if (!reason.isEmpty())
            text += QStringLiteral("\r\r") + reason;
        const auto answer = m_prompt.message(CommWarningTitle, text, Prompt::Icon::Critical,
                                             Prompt::Buttons::RetryCancel);
        if (answer != Prompt::Answer::Retry)
            return false;
        if (!lost || m_port->open(m_portSettings))
            return true;
        reason = m_port->errorString(); // not connected again: asked again, with the reason
    }
}

int RSComm::ExchangeAttention() {
    const int reply = ExchangeByte(Attention);
    return reply == Resynced ? m_resyncReply : reply;
}

int RSComm::AwaitByte(int timeoutMs) {
    BusyGuard busy(*this);
    if (!m_port || !m_port->isOpen())
        return -1;
    LongWaitScope longWait;
    const qint64 start = m_clock.nowMs();
    while (WaitForReply(start + timeoutMs, start, longWait)) {
        const int reply = m_port->readByte();
        if (reply >= 0)
            return reply;
    }
    return -1;
}

bool RSComm::WaitForReply(qint64 deadline, qint64 waitStart, LongWaitScope& longWait) {
    for (;;) {
        const qint64 now = m_clock.nowMs();
        if (now >= deadline)
            return false;
        qint64 wait = deadline - now;
        if (m_longWait && !longWait.active()) {
            if (now - waitStart >= LongWaitMs) {
                longWait.start(*m_longWait, m_port->portName());
                longWait.slice();
                continue;
            }
            // A quick reply ends this first wait at once: normal exchanges
            // cost nothing more.
            wait = std::min(wait, waitStart + LongWaitMs - now);
        } else if (longWait.active()) {
            wait = std::min<qint64>(wait, LongWaitSliceMs);
        }
        if (m_port->waitForByte(int(wait)))
            return true;
        if (!m_port->lostConnection().isEmpty())
            return false; // nothing more will come
        longWait.slice();
    }
}

bool RSComm::EnterBoardMode(int modeNumber, int modeByte) {
    m_boardMode = 0;
    qint64 deadline = m_clock.nowMs() + HandshakeMs;
    while (m_boardMode != modeNumber) {
        if (m_clock.nowMs() >= deadline) {
            const auto answer = m_prompt.message(
                CommWarningTitle, QStringLiteral("Cannot Set PLC Mode Within Target Board."),
                Prompt::Icon::Critical, Prompt::Buttons::RetryCancel);
            if (answer != Prompt::Answer::Retry) {
                m_commError = true;
                m_onlineMode = false;
                CloseRSComm();
                return false;
            }
            deadline = m_clock.nowMs() + HandshakeMs;
        }
        const int reply = ExchangeByte(Attention, false, true);
        if (reply == NoReply)
            return false;
        if (reply != AttentionAnswer)
            continue;
        const int modeReply = ExchangeByte(modeByte);
        if (modeReply == NoReply)
            return false;
        if (modeReply == AttentionAnswer) {
            m_boardMode = modeNumber;
            return true;
        }
        m_boardMode = 0;
    }
    return true;
}

QString RSComm::TargetboardName(int boardType) {
    return BoardCodes::targetboardName(boardType);
}

QString RSComm::LCFBoardIndex(int boardType) {
    return BoardCodes::lcfBoardIndex(boardType);
}

QString RSComm::EquateAdd(const QString& var, int targetBoardIndex) {
    return Address::equateAdd(var, targetBoardIndex);
}

bool RSComm::ValidAdd(const QString& var, int targetBoardIndex) {
    return Address::validAdd(var, targetBoardIndex);
}

std::optional<int> RSComm::Dec2Octal(int decNum) {
    return Address::dec2Octal(decNum);
}

std::optional<int> RSComm::Octal2Dec(int octNum) {
    return Address::octal2Dec(octNum);
}
