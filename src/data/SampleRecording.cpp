#include "SampleRecording.h"

#include "SampleCsv.h"

SampleRecording::SampleRecording(QObject* parent) : QObject(parent) {
    m_flushTimer.setInterval(FlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &SampleRecording::flush);
}

SampleRecording::~SampleRecording() {
    stop();
}

std::optional<QString> SampleRecording::start(const QString& path, const QStringList& addresses) {
    stop();
    m_failure.clear();
    m_rows = 0;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        const QString why = m_file.errorString();
        m_file.setFileName(QString());
        return why;
    }
    if (!writeLine(SampleCsv::header(addresses)) || !m_file.flush()) {
        const QString why = m_file.errorString();
        m_file.close();
        QFile::remove(path); // a header and nothing else would pass for a recording
        m_file.setFileName(QString());
        return why;
    }
    m_flushTimer.start();
    return std::nullopt;
}

bool SampleRecording::write(const QDateTime& time, const QList<std::optional<QString>>& values) {
    if (!isRecording())
        return false;
    if (!writeLine(SampleCsv::row(time, values))) {
        fail();
        return false;
    }
    ++m_rows;
    return true;
}

bool SampleRecording::writeLine(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    return m_file.write(bytes) == bytes.size();
}

void SampleRecording::flush() {
    if (isRecording() && !m_file.flush())
        fail();
}

void SampleRecording::fail() {
    m_failure = m_file.errorString();
    stop();
    emit failed(m_failure);
}

void SampleRecording::stop() {
    m_flushTimer.stop();
    if (m_file.isOpen()) {
        if (!m_file.flush() && m_failure.isEmpty())
            m_failure = m_file.errorString();
        m_file.close();
    }
}
