#pragma once

#include "Exchange.h"

#include <QString>

// One exchange of the link as a line of text, the same in the Comm Traffic
// window and in telvane-cli --trace:
//
//      1234.5   2.08  03 03  W1020 high address
//
// the time in milliseconds from an origin, how long the answer took (ms),
// the byte sent and the byte answered in hexadecimal ("--": none), and what
// it means.
namespace TrafficText {

// How the window marks an exchange.
enum class Mark { Plain, Resend, TimeOut, WrongEcho, Lost };
Mark mark(const Exchange& exchange);

// What the exchange means: "attention", "read mode", "W1020 high address",
// "= W1020 300", "PLS ready?" ...
QString meaning(const Exchange& exchange);

// The register as an address text: "W1020", "B110.6", "D1100".
QString registerName(const ParsedAddress& address);

// The whole line; originUs is the link clock's time of 0.
QString line(const Exchange& exchange, qint64 originUs);

// What the exchange counts as in the link's health.
// A byte exchanged (answered, sent without waiting, or answered wrongly).
bool isExchange(const Exchange& exchange);
bool isResend(const Exchange& exchange);
bool isTimeOut(const Exchange& exchange);
bool isWrongEcho(const Exchange& exchange);

} // namespace TrafficText
