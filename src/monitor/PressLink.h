#pragma once

#include "PlantMessages.h"
#include "SerialPort.h"

#include <QString>
#include <memory>
#include <optional>

// The one place where the monitor talks to a press's board, through a link
// core of its own (BoardLink). It only reads: the read mode's handshake,
// register reads and the attention byte are all that go on the wire. Made,
// used and ended on the press's own thread; no other thread touches it.
class PressLink {
public:
    explicit PressLink(PortSettings settings);
    ~PressLink();
    PressLink(const PressLink&) = delete;
    PressLink& operator=(const PressLink&) = delete;

    // Opens the port and greets the board: nullopt when the board answered,
    // else why not, in words.
    std::optional<QString> open();
    void close();
    // The register's value read whole (its bytes belong together); nullopt
    // when the read failed. After a failure, lost() tells a lost link from a
    // garbled answer.
    std::optional<qint64> read(const QString& address);
    bool lost() const;
    // Why the link was lost, in words.
    QString lostReason() const;
    // What the board says it is; nullopt when a read failed.
    std::optional<Plant::BoardInfo> identity();

private:
    struct Parts;
    PortSettings m_settings;
    std::unique_ptr<Parts> m_parts;
};
