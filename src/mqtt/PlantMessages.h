#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <optional>

// The plant's topics and their JSON payloads (UTF-8, times in ISO 8601 with
// the UTC offset), written by telvane-monitor and read by the Plant window:
//   PREFIX/PRESS/status   retained: state, when it last changed, device, fault...
//   PREFIX/PRESS/sample   the registers' values read whole at one time
//   PREFIX/PRESS/event    fault raised and cleared, online and offline
//   PREFIX/monitor/ID     retained "online", "offline" (also the last will)
namespace Plant {

enum class State { Online, Offline, Reconnecting };
QString stateText(State state);

// A code the board reports (fault, comm error) with its text from the code
// text table; the text is empty when the table has none.
struct Code {
    int code = 0;
    QString text;
    bool operator==(const Code&) const = default;
};

// What the board says it is: its firmware revision and the program in it.
struct BoardInfo {
    int firmware = 0;
    QString program; // the ident block's name
    int checksum = 0;
    int revision = 0;
    bool operator==(const BoardInfo&) const = default;
};

struct PressStatus {
    State state = State::Offline;
    QDateTime time; // when the status last changed
    QString device;
    int baud = 9600;
    QString reason; // why it is not online; empty while it is
    // nullopt until the board was first read.
    std::optional<Code> fault;
    std::optional<Code> commError;
    std::optional<BoardInfo> board;

    QByteArray toJson() const;
    static std::optional<PressStatus> fromJson(const QByteArray& json);
};

struct PressSample {
    QDateTime time;
    QMap<QString, qint64> values; // by address; a failed read is left out

    QByteArray toJson() const;
    static std::optional<PressSample> fromJson(const QByteArray& json);
};

struct PressEvent {
    enum class Kind { Online, Offline, FaultRaised, FaultCleared };
    Kind kind = Kind::Online;
    QDateTime time;
    QString device; // online
    QString reason; // offline
    Code fault;     // fault raised, fault cleared

    QByteArray toJson() const;
};

namespace Topics {

QString status(const QString& prefix, const QString& press);
QString sample(const QString& prefix, const QString& press);
QString event(const QString& prefix, const QString& press);
QString monitor(const QString& prefix, const QString& clientId);
// The level of the monitors' own topics, which no press may be named.
inline const QString MonitorLevel = QStringLiteral("monitor");

// The topic filter of every press's status and sample.
QStringList pressFilters(const QString& prefix);
struct Parsed {
    QString press;
    QString kind; // "status", "sample", "event"
};
std::optional<Parsed> parse(const QString& prefix, const QString& topic);

} // namespace Topics

} // namespace Plant
