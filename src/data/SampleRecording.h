#pragma once

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>

// A recording of samples into a CSV file, in the form of telvane-cli watch.
//
// The file grows for as long as the recording runs, a whole shift maybe, so
// it is written in place as an append stream rather than through QSaveFile
// (which shows nothing until it is committed, and nothing at all after a
// crash). Each row goes to the system as it is written, unbuffered: a crash
// of the program loses no row, another program can follow the file while it
// grows, and a row that cannot be written (a full disk, a pulled stick) is
// known at once. Such a row is cut off again, so that the file holds only
// whole rows, and the recording ends; rows() counts the rows in the file.
class SampleRecording final : public QObject {
    Q_OBJECT
public:
    explicit SampleRecording(QObject* parent = nullptr);
    ~SampleRecording() override;

    // Creates (or replaces) the file and writes the header; the reason
    // when it cannot, and then nothing is recorded.
    std::optional<QString> start(const QString& path, const QStringList& addresses);
    // One row; false when it could not be written (the recording has then
    // ended, failed() was emitted and failure() says why).
    bool write(const QDateTime& time, const QList<std::optional<QString>>& values);
    // Ends the recording and closes the file; false when the file could not
    // be closed as written (failure() says why) or a write had failed.
    bool stop();

    bool isRecording() const { return m_file.isOpen(); }
    // The file of the recording in progress or of the last one; empty when
    // none started.
    const QString& path() const { return m_path; }
    // Why the last recording failed; empty when it did not.
    const QString& failure() const { return m_failure; }
    // Rows of the last recording in its file, the header not counted.
    qint64 rows() const { return m_rows; }

signals:
    // A row could not be written: the recording has ended.
    void failed(const QString& why);

private:
    bool writeLine(const QString& line);

    QFile m_file;
    QString m_path;
    QString m_failure;
    qint64 m_rows = 0;
    qint64 m_bytes = 0; // in the file, all of them whole lines
};
