#pragma once

#include <QtGlobal>
#include <array>

class RSComm;

// What one recall of a PLS channel yielded, decoded from the link's recall
// state and position: the transfer engine and the timing window read it the
// same way.
namespace ChannelRecall {

enum class Setpoint { On, Off, None };

struct Result {
    Setpoint setpoint = Setpoint::None;
    int position = 0;
};

// The recall that just succeeded on the link: its ON or OFF setpoint, or
// none (the channel is not programmed, or runs a pulse train).
Result decode(const RSComm& link);

// Memory takes the setpoint the recall yielded; a channel without setpoints
// has both zero.
void store(const Result& recalled, std::array<qint16, 2>& setpoints);

} // namespace ChannelRecall
