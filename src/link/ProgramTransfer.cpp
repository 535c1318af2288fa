#include "ProgramTransfer.h"

#include "Clock.h"
#include "ErrorText.h"
#include "ProgramTransferSteps.h"
#include "RSComm.h"

#include <exception>

using namespace ProgramTransferSteps;

namespace {

constexpr int SettleWaitMs = 2000;
constexpr int InternalError = 51;

const QString OfflineText =
    QStringLiteral("Program is Currently OFFLINE.\n\nSwitch to ONLINE MODE to Continue.");

} // namespace

ProgramTransfer::ProgramTransfer(RSComm& link, Direction direction)
    : m_link(link), m_loading(link.Loading()), m_project(m_loading.project()),
      m_direction(direction) {}

ProgramTransfer::~ProgramTransfer() {
    if (Over())
        return;
    m_loading.EndProgramMode();
    m_loading.setReadingIdent(false);
    if (m_direction == Direction::Upload)
        m_link.setInUploadMode(false);
}

bool ProgramTransfer::Step() {
    if (Over())
        return false;
    try {
        RunPhase();
    } catch (const std::exception& e) {
        Trap(e.what());
    }
    return !Over();
}

void ProgramTransfer::RunPhase() {
    const bool download = m_direction == Direction::Download;
    // Each phase but the first two and the records belongs to one direction.
    switch (m_phase) {
    case Phase::Start:
        return download ? DownloadStart() : UploadStart();
    case Phase::ReadIdent:
        return download ? DownloadReadIdent() : UploadReadIdent();
    case Phase::Records:
        return RecordStep();
    case Phase::Confirm:
        return DownloadConfirm();
    case Phase::Prepare:
        return DownloadPrepare();
    case Phase::LeaveProgramMode:
        return DownloadLeave();
    case Phase::Settle:
        return DownloadSettle();
    case Phase::WriteIdent:
        return DownloadWriteIdent();
    case Phase::Report:
        return DownloadReport();
    case Phase::ReadConfiguration:
        return UploadReadConfiguration();
    case Phase::Save:
        return UploadSave();
    case Phase::Over:
        return;
    }
}

void ProgramTransfer::Trap(const char* what) {
    const bool download = m_direction == Direction::Download;
    if (download) {
        m_link.setOnlineMode(false);
        m_loading.EndProgramMode();
        m_project.Invalidate();
    } else {
        m_link.setInUploadMode(false);
        m_loading.setReadingIdent(false);
    }
    m_loading.prompt().message(download ? QStringLiteral("RSComm DumpProgram")
                                        : QStringLiteral("RSComm-Upload Program"),
                               ErrorText::numbered(InternalError, QString::fromLocal8Bit(what)),
                               Prompt::Icon::Information);
    End();
}

bool ProgramTransfer::RequireOnline(const QString& title) {
    if (m_link.OnlineMode())
        return true;
    m_loading.prompt().message(title, OfflineText, Prompt::Icon::Information);
    return false;
}

std::optional<QString> ProgramTransfer::ReadIdentByte() {
    QString value;
    if (!m_link.CommError())
        value = m_link.RSRead(byteAddress(IdentAddress + m_index));
    if (m_link.CommError())
        return std::nullopt;
    return value;
}

void ProgramTransfer::RecordStep() {
    const bool download = m_direction == Direction::Download;
    if (m_recordIndex < m_recordCount && !(download && m_link.CommError())) {
        if (download ? DownloadRecord() : UploadRecord())
            ++m_recordIndex;
        return;
    }
    if (!download)
        m_phase = Phase::Save;
    else // a link that failed skips the end of program loading
        StartSettle(m_link.CommError() ? Phase::Settle : Phase::LeaveProgramMode);
}

void ProgramTransfer::StartSettle(Phase phase) {
    m_phase = phase;
    m_settleUntilMs = m_loading.clock().nowMs() + SettleWaitMs;
}

// --- the whole transfer at once ------------------------------------------------

bool RSComm::DumpProgram() {
    ProgramTransfer job(*this, ProgramTransfer::Direction::Download);
    while (job.Step()) {
    }
    return job.Complete();
}

bool RSComm::UploadProgram() {
    ProgramTransfer job(*this, ProgramTransfer::Direction::Upload);
    while (job.Step()) {
    }
    return job.Complete();
}
