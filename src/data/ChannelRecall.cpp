#include "ChannelRecall.h"

#include "RSComm.h"

namespace ChannelRecall {

namespace {
// The board's recall state: which setpoint the position belongs to.
constexpr int OnState = 1;
constexpr int OffState = 0;
} // namespace

Result decode(const RSComm& link) {
    switch (link.ChannelRecallState()) {
    case OnState:
        return {Setpoint::On, link.ChannelRecallPos()};
    case OffState:
        return {Setpoint::Off, link.ChannelRecallPos()};
    default:
        return {Setpoint::None, link.ChannelRecallPos()};
    }
}

void store(const Result& recalled, std::array<qint16, 2>& setpoints) {
    switch (recalled.setpoint) {
    case Setpoint::On:
        setpoints[0] = qint16(recalled.position);
        break;
    case Setpoint::Off:
        setpoints[1] = qint16(recalled.position);
        break;
    case Setpoint::None:
        setpoints = {0, 0};
        break;
    }
}

} // namespace ChannelRecall
