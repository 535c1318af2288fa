#include "SampleRecording.h"

#include "SampleCsv.h"

SampleRecording::SampleRecording(QObject* parent) : QObject(parent) {}

SampleRecording::~SampleRecording() {
    stop();
}

std::optional<QString> SampleRecording::start(const QString& path, const QStringList& addresses) {
    stop();
    m_failure.clear();
    m_rows = 0;
    m_bytes = 0;
    m_path = path;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const QString why = m_file.errorString();
        m_file.setFileName(QString());
        m_path.clear();
        return why;
    }
    if (!writeLine(SampleCsv::header(addresses))) {
        const QString why = m_file.errorString();
        m_file.close();
        QFile::remove(path); // a part of a header would pass for a recording
        m_file.setFileName(QString());
        m_path.clear();
        return why;
    }
    return std::nullopt;
}

bool SampleRecording::write(const QDateTime& time, const QList<std::optional<QString>>& values) {
    if (!isRecording())
        return false;
    if (!writeLine(SampleCsv::row(time, values))) {
        m_failure = m_file.errorString();
        // A row cut short would read as a value that was never there.
        m_file.resize(m_bytes);
        m_file.close();
        emit failed(m_failure);
        return false;
    }
    ++m_rows;
    return true;
}

bool SampleRecording::writeLine(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    // A write cut short says nothing; the one after it says why.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    m_bytes += bytes.size();
    return true;
}

bool SampleRecording::stop() {
    if (m_file.isOpen()) {
        m_file.close();
        // A network file system may tell only now that the writes did not land.
        if (m_file.error() != QFileDevice::NoError && m_failure.isEmpty())
            m_failure = m_file.errorString();
    }
    return m_failure.isEmpty();
}
