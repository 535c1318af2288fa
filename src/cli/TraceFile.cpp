#include "TraceFile.h"

#include "TrafficText.h"

#include <QFile>
#include <cerrno>
#include <cstring>

TraceFile::~TraceFile() {
    if (m_own && m_file)
        std::fclose(m_file);
}

// The trace is a log that grows line by line while the command runs, so
// that a command that hangs or is stopped leaves what it did: it is written
// as it goes, not through the whole-file writer that replaces a file at once.
std::optional<QString> TraceFile::open(const QString& path) {
    if (path == u"-") {
        m_file = stderr;
        return std::nullopt;
    }
    m_file = std::fopen(QFile::encodeName(path).constData(), "w");
    if (!m_file)
        return QStringLiteral("cannot write the trace to %1: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    m_own = true;
    return std::nullopt;
}

void TraceFile::exchanged(const Exchange& exchange) {
    if (!m_file)
        return;
    if (!m_originUs)
        m_originUs = exchange.atUs;
    const QByteArray text = TrafficText::line(exchange, *m_originUs).toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), m_file);
    std::fflush(m_file);
}
