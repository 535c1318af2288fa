#pragma once

#include <QString>

// What the program does while the link waits long for the board. The link
// knows no windows: it only says when a wait has become long, gives the
// program a turn between slices of it, and says when it is over. Short
// exchanges never reach it.
class LongWait {
public:
    virtual ~LongWait() = default;
    // No reply for RSComm::LongWaitMs; device names the port the link opened.
    virtual void started(const QString& device) = 0;
    // A turn between two slices of the wait. The link is busy throughout:
    // nothing run here may start a transaction.
    virtual void slice() = 0;
    // The reply came, or the question about the silence is about to be asked.
    virtual void ended() = 0;
};
