#pragma once

#include "LongWait.h"

#include <QString>

class RSComm;
class StatusPanels;

// Keeps the main window alive while the board is slow to answer: the status
// panel says what the program waits for, and between slices of the wait the
// window repaints and timers run (the clock, pollers that find the link busy
// and skip). User input is held back until the wait is over. Installs itself
// on the link for its lifetime.
class LinkWaitDisplay final : public LongWait {
public:
    LinkWaitDisplay(RSComm& link, StatusPanels& panels);
    ~LinkWaitDisplay() override;
    LinkWaitDisplay(const LinkWaitDisplay&) = delete;
    LinkWaitDisplay& operator=(const LinkWaitDisplay&) = delete;

    static QString WaitingText(const QString& device);

    void started(const QString& device) override;
    void slice() override;
    void ended() override;

private:
    RSComm& m_link;
    StatusPanels& m_panels;
    QString m_waitingText;
    QString m_previousText;
    int m_depth = 0;
};
