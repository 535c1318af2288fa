#include "PressTracker.h"

#include "CodeTable.h"
#include "ProgramFolder.h"

CodeTexts::CodeTexts(QString programFolder)
    : m_faultTable(
          ProgramFolder::resolve(programFolder, QStringLiteral("support/FaultErrCodes.txt"))),
      m_commTable(
          ProgramFolder::resolve(programFolder, QStringLiteral("support/CommErrCodes.txt"))) {}

Plant::Code CodeTexts::lookup(QHash<int, QString>& cache, const QString& table, int code) {
    if (code == 0)
        return {0, {}};
    if (!cache.contains(code)) {
        // The first record, as the link's fault description takes it.
        const auto found =
            CodeTable::find(table, CodeTable::codeText(code), CodeTable::Match::First);
        cache.insert(code, found.description.value_or(QString()));
    }
    return {code, cache.value(code)};
}

Plant::Code CodeTexts::fault(int code) {
    return lookup(m_faults, m_faultTable, code);
}

Plant::Code CodeTexts::commError(int code) {
    return lookup(m_commErrors, m_commTable, code);
}

PressTracker::PressTracker(const MonitorConfig::Press& press, int offlineAfterMs, CodeTexts& texts,
                           QObject* parent)
    : QObject(parent), m_name(press.name), m_texts(texts) {
    m_status.device = press.port.device;
    m_status.baud = press.port.baud.toInt();
    m_offlineTimer.setSingleShot(true);
    m_offlineTimer.setInterval(offlineAfterMs);
    connect(&m_offlineTimer, &QTimer::timeout, this, &PressTracker::goOffline);
}

void PressTracker::changed(const Plant::PressStatus& next) {
    if (m_status.time.isValid() && next.state == m_status.state && next.reason == m_status.reason &&
        next.fault == m_status.fault && next.commError == m_status.commError &&
        next.board == m_status.board)
        return;
    m_status = next;
    m_status.time = QDateTime::currentDateTime();
    emit statusChanged();
}

void PressTracker::emitEvent(Plant::PressEvent::Kind kind, const Plant::Code& fault) {
    Plant::PressEvent e;
    e.kind = kind;
    e.time = QDateTime::currentDateTime();
    e.device = m_status.device;
    e.reason = m_status.reason;
    e.fault = fault;
    emit event(e);
}

void PressTracker::linkUp(const Plant::BoardInfo& board, const PressThread::Sample& first) {
    if (m_stopped)
        return;
    m_offlineTimer.stop();
    if (!m_saidOnline) {
        m_saidOnline = true;
        emitEvent(Plant::PressEvent::Kind::Online);
    }
    Plant::PressStatus next = m_status;
    next.state = Plant::State::Online;
    next.reason.clear();
    next.board = board;
    takeCodes(first, next);
    changed(next);
    emit sample(first.values);
}

void PressTracker::linkDown(const QString& reason) {
    if (m_stopped)
        return;
    Plant::PressStatus next = m_status;
    next.reason = reason;
    if (m_status.state == Plant::State::Online) {
        // A board that stops answering may be back in a moment: it is
        // offline only once it has not answered for a while.
        next.state = Plant::State::Reconnecting;
        m_offlineTimer.start();
    }
    changed(next);
}

void PressTracker::goOffline() {
    Plant::PressStatus next = m_status;
    next.state = Plant::State::Offline;
    changed(next);
    if (m_saidOnline) {
        m_saidOnline = false;
        emitEvent(Plant::PressEvent::Kind::Offline);
    }
}

void PressTracker::sampled(const PressThread::Sample& sample) {
    if (m_stopped)
        return;
    Plant::PressStatus next = m_status;
    takeCodes(sample, next);
    changed(next);
    emit this->sample(sample.values);
}

void PressTracker::takeCodes(const PressThread::Sample& sample, Plant::PressStatus& next) {
    if (sample.fault) {
        const Plant::Code now = m_texts.fault(*sample.fault);
        // The first reading is the state the press is in, not a change seen.
        if (m_status.fault && m_status.fault->code != now.code) {
            if (m_status.fault->code != 0)
                emitEvent(Plant::PressEvent::Kind::FaultCleared, *m_status.fault);
            if (now.code != 0)
                emitEvent(Plant::PressEvent::Kind::FaultRaised, now);
        }
        next.fault = now;
    }
    if (sample.commError)
        next.commError = m_texts.commError(*sample.commError);
}

void PressTracker::stop() {
    if (m_stopped)
        return;
    m_offlineTimer.stop();
    Plant::PressStatus next = m_status;
    next.state = Plant::State::Offline;
    next.reason = QStringLiteral("the monitor stopped");
    changed(next);
    if (m_saidOnline) {
        m_saidOnline = false;
        emitEvent(Plant::PressEvent::Kind::Offline);
    }
    m_stopped = true;
}
