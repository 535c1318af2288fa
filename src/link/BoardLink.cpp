#include "BoardLink.h"

#include "BoardProtocol.h"
#include "Clock.h"
#include "LongWait.h"

#include <algorithm>
#include <utility>

using namespace BoardProtocol;
using Step = Exchange::Step;
using Outcome = Exchange::Outcome;

// What an exchange is for, for its observers and its echo check.
struct BoardLink::Context {
    Step step = Step::Byte;
    int expect = -1;
    const ParsedAddress* address = nullptr;
    int byteIndex = 0;
    int mode = 0;
    int modeByte = 0;
};

// One long wait as the program sees it: started once, ended once, however
// the exchange leaves.
class BoardLink::LongWaitScope {
public:
    explicit LongWaitScope(LongWait* hook) : m_hook(hook) {}
    ~LongWaitScope() { end(); }
    LongWaitScope(const LongWaitScope&) = delete;
    LongWaitScope& operator=(const LongWaitScope&) = delete;

    bool wanted() const { return m_hook != nullptr; }
    bool active() const { return m_started; }
    void start(const QString& device) {
        m_started = true;
        m_hook->started(device);
    }
    void slice() {
        if (m_started)
            m_hook->slice();
    }
    void end() {
        if (std::exchange(m_started, false))
            m_hook->ended();
    }

private:
    LongWait* m_hook;
    bool m_started = false;
};

BoardLink::BoardLink(Clock& clock) : m_clock(clock) {}

BoardLink::~BoardLink() = default;

void BoardLink::setPolicy(Policy policy) {
    m_policy = std::move(policy);
}

void BoardLink::addObserver(ExchangeObserver& observer) {
    if (std::find(m_observers.begin(), m_observers.end(), &observer) == m_observers.end())
        m_observers.push_back(&observer);
}

void BoardLink::removeObserver(ExchangeObserver& observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), &observer),
                      m_observers.end());
}

void BoardLink::tell(const Exchange& exchange) {
    // A copy: an observer may take itself off while it is told.
    const auto observers = m_observers;
    for (ExchangeObserver* observer : observers)
        observer->exchanged(exchange);
}

LinkResult<void> BoardLink::open(SerialPort& port, const PortSettings& settings) {
    Transaction guard(*this);
    if (port.isOpen())
        port.close();
    m_port = &port;
    m_settings = settings;
    if (!port.open(settings)) {
        m_mode = 0;
        m_failed = true;
        return LinkFailure{LinkFailure::Kind::PortLost, -1, port.errorString()};
    }
    port.discardInput();
    m_mode = 0;
    m_failed = false;
    // Only the silence matters: whatever answers the greeting, answers.
    (void)exchangeByte(Attention, {Step::Greeting}, Send::AwaitReply);
    if (m_failed)
        return silentFailure();
    return {};
}

void BoardLink::close() {
    Transaction guard(*this);
    if (m_port && m_port->isOpen()) {
        // A connection the server closed takes no farewell.
        if (!m_failed && m_port->lostConnection().isEmpty())
            (void)exchangeByte(Attention, {Step::Farewell}, Send::AwaitReply);
        m_port->close();
    }
    m_mode = 0;
}

LinkFailure BoardLink::silentFailure() const {
    if (!m_port || !m_port->isOpen())
        return {LinkFailure::Kind::PortLost, -1, QStringLiteral("the port is not open")};
    if (const QString lost = m_port->lostConnection(); !lost.isEmpty())
        return {LinkFailure::Kind::PortLost, -1, lost};
    return {LinkFailure::Kind::NoAnswer, -1, {}};
}

BoardLink::Answer BoardLink::askAbout(Silence silence, const QString& reason) const {
    return m_policy.onSilence ? m_policy.onSilence(silence, reason) : Answer::Cancel;
}

// The question after a byte went unanswered, with what the port knows of
// the silence (a network port: which server and speed); on Retry a lost
// connection is opened again, and when that fails the question comes again
// with the reason.
bool BoardLink::reconnect(const QString& lost) {
    QString reason = lost.isEmpty() ? m_port->silence() : lost;
    for (;;) {
        if (askAbout(Silence::Byte, reason) != Answer::Retry)
            return false;
        if (lost.isEmpty() || m_port->open(m_settings))
            return true;
        reason = m_port->errorString();
    }
}

LinkResult<int> BoardLink::exchangeByte(int byte, const Context& context, Send send) {
    // Busy for certain while a long wait lets timers run.
    Transaction guard(*this);
    Exchange event;
    const bool observed = this->observed();
    if (observed) {
        event.atUs = m_clock.nowUs();
        event.sent = qint16(byte);
        event.step = context.step;
        // Bytes after a handshake belong to its mode (a PLS command's bytes).
        event.mode = quint8(context.mode ? context.mode : m_mode);
        event.modeByte = quint8(context.mode ? context.modeByte : m_modeByte);
        event.byteIndex = quint8(context.byteIndex);
        if (context.address)
            event.address = *context.address;
    }
    auto told = [&](Outcome outcome, int reply = -1) {
        if (!observed)
            return;
        event.outcome = outcome;
        event.reply = qint16(reply);
        event.tookUs = reply >= 0 ? qint32(m_clock.nowUs() - event.atUs) : -1;
        tell(event);
    };
    if (m_failed) {
        told(Outcome::Skipped);
        return silentFailure();
    }
    if (send == Send::DiscardFirst && m_port && m_port->isOpen())
        m_port->discardInput();
    if (!m_port || !m_port->isOpen()) {
        m_mode = 0;
        m_failed = true;
        told(Outcome::Lost);
        return silentFailure();
    }
    m_port->writeByte(quint8(byte));
    if (send == Send::NoWait) {
        told(Outcome::Sent);
        return 0;
    }

    LongWaitScope longWait(m_policy.longWait);
    qint64 waitStart = m_clock.nowMs();
    qint64 deadline = waitStart + FirstReplyMs;
    int timeouts = 0;
    bool resent = false;
    auto resendAttention = [&] {
        m_port->writeByte(quint8(Attention));
        resent = true;
        if (observed) {
            event.atUs = m_clock.nowUs();
            event.sent = qint16(Attention);
            told(Outcome::Resent);
        }
    };
    for (;;) {
        if (waitForReply(deadline, waitStart, longWait)) {
            const int reply = m_port->readByte();
            if (reply < 0)
                continue;
            if (!resent) {
                if (context.expect >= 0 && reply != context.expect) {
                    told(Outcome::WrongEcho, reply);
                    return LinkFailure{LinkFailure::Kind::WrongEcho, reply, {}};
                }
                told(Outcome::Answered, reply);
                return reply;
            }
            // The board answered a resent attention byte, not the byte we
            // sent: the transaction is out of step and must start again.
            m_failed = false;
            m_mode = 0;
            told(Outcome::Resynced, reply);
            return LinkFailure{LinkFailure::Kind::WrongEcho, reply, {}};
        }
        m_mode = 0;
        m_failed = true;
        ++timeouts;
        // A closed connection carries no resend: the question comes at once.
        QString lost = m_port->lostConnection();
        told(lost.isEmpty() ? Outcome::TimedOut : Outcome::Lost);
        if (timeouts < TimeoutsBeforeQuestion && lost.isEmpty()) {
            m_failed = false;
            m_port->discardInput();
            resendAttention();
            deadline = m_clock.nowMs() + ResendReplyMs;
            continue;
        }
        // The question takes the place of the waiting.
        longWait.end();
        const bool wasLost = !lost.isEmpty();
        if (!reconnect(lost))
            return silentFailure();
        timeouts = 0;
        if (wasLost) {
            // Connected again: whatever became of the byte sent, the
            // transaction starts over, as after a resent attention byte.
            m_failed = false;
            resendAttention();
        }
        // Counted from the answer: the time the question was open is not the board's.
        waitStart = m_clock.nowMs();
        deadline = waitStart + ResendReplyMs;
    }
}

bool BoardLink::waitForReply(qint64 deadline, qint64 waitStart, LongWaitScope& longWait) {
    for (;;) {
        const qint64 now = m_clock.nowMs();
        if (now >= deadline)
            return false;
        qint64 wait = deadline - now;
        if (longWait.wanted() && !longWait.active()) {
            if (now - waitStart >= LongWaitMs) {
                longWait.start(m_port->portName());
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

LinkResult<int> BoardLink::exchange(int byte, Step step, int expect, Send send) {
    return exchangeByte(byte, {step, expect}, send);
}

LinkResult<int> BoardLink::awaitByte(int timeoutMs, Step step) {
    Transaction guard(*this);
    if (!m_port || !m_port->isOpen())
        return silentFailure();
    Exchange event;
    event.step = step;
    const qint64 startUs = observed() ? m_clock.nowUs() : 0;
    LongWaitScope longWait(m_policy.longWait);
    const qint64 start = m_clock.nowMs();
    while (waitForReply(start + timeoutMs, start, longWait)) {
        const int reply = m_port->readByte();
        if (reply < 0)
            continue;
        if (observed()) {
            event.atUs = startUs;
            event.reply = qint16(reply);
            event.tookUs = qint32(m_clock.nowUs() - startUs);
            tell(event);
        }
        return reply;
    }
    if (observed()) {
        event.atUs = startUs;
        event.outcome = Outcome::TimedOut;
        tell(event);
    }
    return silentFailure();
}

LinkResult<void> BoardLink::enterMode(int mode, int modeByte) {
    Transaction guard(*this);
    m_mode = 0;
    qint64 deadline = m_clock.nowMs() + HandshakeMs;
    while (m_mode != mode) {
        if (m_clock.nowMs() >= deadline) {
            if (askAbout(Silence::Mode, {}) != Answer::Retry) {
                m_failed = true;
                close();
                return LinkFailure{LinkFailure::Kind::NoAnswer, -1, {}};
            }
            deadline = m_clock.nowMs() + HandshakeMs;
        }
        const auto attention = exchangeByte(
            Attention, {Step::Attention, -1, nullptr, 0, mode, modeByte}, Send::DiscardFirst);
        if (!attention && !attention.failedWith(LinkFailure::Kind::WrongEcho))
            return attention.failure();
        if (!attention || attention.value() != Acknowledge)
            continue;
        const auto answer = exchangeByte(modeByte, {Step::ModeByte, -1, nullptr, 0, mode, modeByte},
                                         Send::AwaitReply);
        if (!answer && !answer.failedWith(LinkFailure::Kind::WrongEcho))
            return answer.failure();
        if (answer && answer.value() == Acknowledge) {
            m_mode = mode;
            m_modeByte = modeByte;
            return {};
        }
        m_mode = 0;
    }
    return {};
}

LinkResult<qint64> BoardLink::read(const ParsedAddress& address) {
    Transaction guard(*this);
    auto value = readOnce(address);
    // A wrong echo is tried once more from a fresh handshake, as a write is.
    if (value.failedWith(LinkFailure::Kind::WrongEcho) && !m_failed)
        value = readOnce(address);
    return value;
}

LinkResult<qint64> BoardLink::readOnce(const ParsedAddress& a) {
    if (m_mode != ReadMode) {
        if (auto entered = enterMode(ReadMode, ReadModeByte); !entered)
            return entered.failure();
    }
    quint8 bytes[4] = {};
    for (int i = 0; i < a.size(); ++i) {
        const int address = a.boardAddress + i;
        const auto high =
            exchangeByte(address >> 8, {Step::AddressHigh, address >> 8, &a, i}, Send::AwaitReply);
        if (!high) {
            if (high.failedWith(LinkFailure::Kind::WrongEcho))
                m_mode = 0;
            return high.failure();
        }
        const auto data =
            exchangeByte(address & 0xFF, {Step::AddressLow, -1, &a, i}, Send::AwaitReply);
        if (!data)
            return data.failure();
        bytes[i] = quint8(data.value());
    }
    qint64 value = 0;
    if (a.bitFlag)
        value = (bytes[0] & a.bitMask) ? 1 : 0;
    else if (a.letter == u'W')
        value = bytes[0] + 256 * bytes[1];
    else if (a.letter == u'D')
        value = qint64(bytes[2] + 256 * bytes[3]) * 10000 + (bytes[0] + 256 * bytes[1]);
    else
        value = bytes[0];
    if (observed()) {
        Exchange event;
        event.atUs = m_clock.nowUs();
        event.step = Step::Value;
        event.address = a;
        event.value = value;
        tell(event);
    }
    return value;
}

LinkResult<void> BoardLink::write(const ParsedAddress& address, quint64 value) {
    Transaction guard(*this);
    auto written = writeOnce(address, value);
    if (written.failedWith(LinkFailure::Kind::WrongEcho))
        written = writeOnce(address, value);
    return written;
}

LinkResult<void> BoardLink::writeOnce(const ParsedAddress& a, quint64 value) {
    auto refuse = [](const char* reason) {
        return LinkFailure{LinkFailure::Kind::Refused, -1, QString::fromLatin1(reason)};
    };
    quint8 bytes[4] = {};
    int count = 1;
    if (a.bitFlag) {
        if (value > 1)
            return refuse("Enter 0 or 1 Only.");
        // The other seven bits are written back only as they were read.
        ParsedAddress byte = a;
        byte.bitFlag = false;
        const auto old = read(byte);
        if (!old)
            return old.failure();
        bytes[0] = quint8((value ? (old.value() | a.bitMask) : (old.value() & ~a.bitMask)) & 0xFF);
    } else if (a.letter == u'B') {
        if (value > 255)
            return refuse("Entry out of Range (0-255).");
        bytes[0] = quint8(value);
    } else if (a.letter == u'W') {
        if (value > 65535)
            return refuse("Entry out of Range (0-65,535).");
        bytes[0] = quint8(value % 256);
        bytes[1] = quint8(value / 256);
        count = 2;
    } else {
        if (value > 655359999)
            return refuse("Entry out of Range (0-655,359,999).");
        const quint64 low = value % 10000;
        const quint64 high = value / 10000;
        bytes[0] = quint8(low % 256);
        bytes[1] = quint8(low / 256);
        bytes[2] = quint8(high % 256);
        bytes[3] = quint8(high / 256);
        count = 4;
    }

    if (m_mode != WriteMode) {
        if (auto entered = enterMode(WriteMode, WriteModeByte); !entered)
            return entered.failure();
    }
    for (int i = 0; i < count; ++i) {
        const int address = a.boardAddress + i;
        const std::pair<int, Step> parts[3] = {{address >> 8, Step::AddressHigh},
                                               {address & 0xFF, Step::AddressLow},
                                               {bytes[i], Step::Data}};
        for (const auto& [sent, step] : parts) {
            const auto echo = exchangeByte(sent, {step, sent, &a, i}, Send::AwaitReply);
            if (!echo) {
                if (echo.failedWith(LinkFailure::Kind::WrongEcho))
                    m_mode = 0;
                return echo.failure();
            }
        }
    }
    if (observed()) {
        Exchange event;
        event.atUs = m_clock.nowUs();
        event.step = Step::Written;
        event.address = a;
        event.value = qint64(value);
        tell(event);
    }
    return {};
}

LinkResult<void> BoardLink::waitPlsReady() {
    Transaction guard(*this);
    qint64 deadline = m_clock.nowMs() + PlsReadyFirstMs;
    for (;;) {
        // A link that failed inside a poll has had its question already.
        if (m_failed)
            return silentFailure();
        if (m_clock.nowMs() >= deadline) {
            if (askAbout(Silence::PlsReady, {}) != Answer::Retry) {
                m_failed = true;
                return silentFailure();
            }
            deadline = m_clock.nowMs() + PlsReadyRetryMs;
        }
        if (!exchangeByte(PlsPoll, {Step::PlsReadyPoll, Acknowledge}, Send::AwaitReply))
            continue;
        const auto answer = exchangeByte(Acknowledge, {Step::PlsReadyAnswer}, Send::AwaitReply);
        if (answer && answer.value() == PlsReady) {
            // Ends the command; the answer does not matter.
            (void)exchangeByte(Acknowledge, {Step::PlsEnd}, Send::AwaitReply);
            return {};
        }
    }
}
