#include "ViewContext.h"

#include "HistoryKeeper.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"

#include <QFileInfo>

ViewContext::ViewContext(RSComm& link, SharedState& shared, Prompt& prompt,
                         FileDialogs& fileDialogs, QString programFolder, QObject* parent)
    : QObject(parent), m_link(link), m_shared(shared), m_prompt(prompt),
      m_fileDialogs(&fileDialogs), m_programFolder(std::move(programFolder)) {
    setObjectName(QStringLiteral("viewContext"));
}

bool ViewContext::WriteIfOnline(const QString& address, const QString& value) const {
    if (!m_link.OnlineMode() || m_link.CommError() || m_link.Busy())
        return false;
    m_link.RSWrite(address, value);
    return true;
}

void ViewContext::GoOffline() const {
    m_link.GoOffline();
}

QString ViewContext::setupFolder() const {
    return QFileInfo(m_shared.Files.gFileNamePath).absolutePath();
}

bool ViewContext::OfferToGoOnline() const {
    if (m_link.OnlineMode())
        return true;
    const auto answer = m_prompt.message(QStringLiteral("Program Offline"),
                                         QStringLiteral("Program is Currently OFFLINE\r\n\r\n"
                                                        "Do You Wish to Switch to ONLINE MODE to "
                                                        "Continue?"),
                                         Prompt::Icon::Question, Prompt::Buttons::YesNo);
    if (answer != Prompt::Answer::Yes)
        return false;
    // Never inside another transaction's message box.
    if (!m_link.Busy())
        m_link.GoOnline();
    return true;
}

void ViewContext::NotifyDataReplaced() {
    m_shared.DataReplaced = true;
    emit dataReplaced();
}

void ViewContext::setPrintCommand(std::function<void()> command) {
    m_printCommand = std::move(command);
    emit commandsChanged();
}

void ViewContext::setTargetBoardOpener(std::function<void(const QString&)> open) {
    m_targetBoardOpener = std::move(open);
    emit commandsChanged();
}

void ViewContext::setPlantOpener(std::function<void()> open) {
    m_plantOpener = std::move(open);
    emit commandsChanged();
}

void ViewContext::setHistory(HistoryKeeper* keeper, std::function<QString()> boardDevice) {
    m_history = keeper;
    m_boardDevice = std::move(boardDevice);
}

std::optional<qint64> ViewContext::TakeSnapshot(const QString& action, int groups,
                                                const SetupRecord& record) const {
    if (!m_history)
        return std::nullopt;
    return m_history->Take(boardDevice(), action, groups, record, m_knownBoard);
}

void ViewContext::TakeSnapshotAfter(const DataTransfer& transfer, const SetupRecord& record) const {
    if (m_history)
        m_history->TakeAfter(transfer, boardDevice(), record, m_knownBoard);
}
