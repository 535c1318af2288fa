#pragma once

#include <QString>
#include <array>
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

// The Set-up Parameters view's seven fields, in field order.
constexpr int SetupFieldCount = 7;
constexpr std::array<Limits, SetupFieldCount> SetupFields{
    {{0, 359}, {0, 359}, {0, 999}, {0, 899}, {0, 999}, {0, 999}, {0, 999}}};

// The DF1 communication set-up view's rows that write: the PLC type list
// (0 PLC5, 1 SLC500), the destination node and file number fields.
constexpr std::array<Limits, 3> Df1Setup{{{0, 1}, {0, 255}, {0, 255}}};

// The Machine Timing window: its channels' setpoint boxes, the resolver
// offset box and the channel number box of Recall and Clear.
constexpr int TimingChannels = 8;
constexpr Limits Setpoint{0, 359};
constexpr Limits ResolverOffset{0, 359};
constexpr Limits ChannelNumber{0, TimingChannels - 1};
// nullopt when a channel may be programmed from on to off; why not otherwise.
std::optional<QString> SetpointPair(qint64 on, qint64 off);

} // namespace EntryChecks
