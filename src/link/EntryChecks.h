#pragma once

#include <QString>
#include <optional>

// What the windows refuse of a number a user enters, without widgets, so
// that telvane-cli refuses exactly the same before it sends anything.
namespace EntryChecks {

struct Limits {
    int min;
    int max;
};

// The range message of every numeric field.
QString RangeMessage(const Limits& limits);
// nullopt when value lies within the limits; the range message otherwise.
std::optional<QString> InRange(qint64 value, const Limits& limits);

// The Machine Timing window: its channels' setpoint boxes, the resolver
// offset box and the channel number box of Recall and Clear.
constexpr int TimingChannels = 8;
constexpr Limits Setpoint{0, 359};
constexpr Limits ResolverOffset{0, 359};
constexpr Limits ChannelNumber{0, TimingChannels - 1};
// nullopt when a channel may be programmed from on to off; why not otherwise.
std::optional<QString> SetpointPair(qint64 on, qint64 off);

} // namespace EntryChecks
