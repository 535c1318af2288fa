// The Trend view's recording: Record..., Stop, and what the window says about
// the file, while it grows and after it ended or failed.
#include "frmTrend.h"

#include "DisplayFormat.h"
#include "FileDialogs.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"
#include "ViewContext.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString Title = QStringLiteral("Trend");

QString rowsText(qint64 rows) {
    return DisplayFormat::GroupedWhole(rows) +
           (rows == 1 ? QStringLiteral(" row") : QStringLiteral(" rows"));
}

} // namespace

void frmTrend::chooseFileAndRecord() {
    if (m_recording.isRecording() || !m_context.link().OnlineMode())
        return;
    const QString preset = m_recordPath.isEmpty()
                               ? m_context.setupFolder() + QStringLiteral("/trend.csv")
                               : m_recordPath;
    const QString path = m_context.fileDialogs().getSaveFileName(
        this, QStringLiteral("CSV Files (*.csv)"), preset, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    m_recordPath = WithDefaultSuffix(path, QStringLiteral("csv"));
    // The sample in progress began before the recording: the first row is
    // the next whole sample (PollItems notes which pass began recording).
    if (const auto why = m_recording.start(m_recordPath, addresses())) {
        m_context.prompt().message(
            Title,
            QStringLiteral("Cannot record to %1:\n%2\n\nNothing is recorded.")
                .arg(QDir::toNativeSeparators(m_recordPath), *why),
            Prompt::Icon::Exclamation);
    }
    showRecordingState();
}

void frmTrend::stopRecording() {
    finishRecording();
}

// Stop, offline or closing: the file is closed, and a file that did not take
// every row says so, closing or not.
void frmTrend::finishRecording() {
    if (!m_recording.isRecording())
        return;
    if (m_recording.stop())
        showRecordingState();
    else
        recordingFailed();
}

void frmTrend::recordingFailed() {
    showRecordingState();
    const QString text = QStringLiteral("Recording to %1 failed:\n%2\n\nThe file holds the %3 "
                                        "written before.")
                             .arg(QDir::toNativeSeparators(m_recording.path()),
                                  m_recording.failure(), rowsText(m_recording.rows()));
    // Not from inside the loop's step: the message box waits outside it. The
    // context outlives a window that is closing.
    QTimer::singleShot(0, &m_context, [&context = m_context, text] {
        context.prompt().message(Title, text, Prompt::Icon::Exclamation);
    });
}

void frmTrend::showRecordingState() {
    const bool recording = m_recording.isRecording();
    const QString file = QDir::toNativeSeparators(m_recording.path());
    if (recording)
        m_lblRecording->setText(QStringLiteral("Recording to %1").arg(file));
    else if (m_recording.path().isEmpty())
        m_lblRecording->setText(QStringLiteral("Not recording"));
    else if (!m_recording.failure().isEmpty())
        m_lblRecording->setText(
            QStringLiteral("Recording to %1 failed after %2: %3")
                .arg(file, rowsText(m_recording.rows()), m_recording.failure()));
    else
        m_lblRecording->setText(
            QStringLiteral("Recorded %1 to %2").arg(rowsText(m_recording.rows()), file));
    m_cmdRecord->setEnabled(!recording && m_context.link().OnlineMode());
    m_cmdStop->setEnabled(recording);
    // The file's columns are fixed by its header.
    m_cmdAdd->setEnabled(!recording && m_registers.size() < MaxRegisters);
    m_cmdRemove->setEnabled(!recording && m_registers.size() > 1);
    m_txtAddress->setEnabled(!recording);
}
