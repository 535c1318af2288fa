#pragma once

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>

// A recording of samples into a CSV file, in the form of telvane-cli watch.
//
// The file grows for as long as the recording runs, a whole shift maybe, so
// it is written in place as an append stream rather than through QSaveFile
// (which shows nothing until it is committed, and nothing at all after a
// crash). Rows are flushed at least once a second, so that a crash or a
// pulled plug loses at most the last second, and another program can follow
// the file while it grows.
class SampleRecording final : public QObject {
    Q_OBJECT
public:
    static constexpr int FlushIntervalMs = 1000;

    explicit SampleRecording(QObject* parent = nullptr);
    ~SampleRecording() override;

    // Creates (or replaces) the file and writes the header; the reason
    // when it cannot, and then nothing is recorded.
    std::optional<QString> start(const QString& path, const QStringList& addresses);
    // One row; false when it could not be written (the recording has then
    // ended and failure() says why).
    bool write(const QDateTime& time, const QList<std::optional<QString>>& values);
    // Everything written, the file closed.
    void stop();

    bool isRecording() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    const QString& failure() const { return m_failure; }
    qint64 rows() const { return m_rows; }

signals:
    // The recording ended because the file could not be written.
    void failed(const QString& why);

private:
    void fail();
    bool writeLine(const QString& line);
    void flush();

    QFile m_file;
    QTimer m_flushTimer;
    QString m_failure;
    qint64 m_rows = 0;
};
