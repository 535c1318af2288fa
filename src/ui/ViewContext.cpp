#include "ViewContext.h"

#include "RSComm.h"
#include "SharedState.h"

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

void ViewContext::ApplyOnlineMode() const {
    if (m_applyOnlineMode)
        m_applyOnlineMode();
}

void ViewContext::GoOffline() const {
    m_link.setOnlineMode(false);
    ApplyOnlineMode();
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
