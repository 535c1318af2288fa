#pragma once

// Replaying a transfer's exchanges through the minimal host: the trace of a
// transfer against the in-process board gives every byte the host sends and
// how many bytes the board answers to each; the minimal host replays the
// host's bytes and waits for each answer. Attention handshakes it does
// itself (255 until 85), since the board's mode before a handshake depends on
// who spoke last, and the PLS ready poll it polls as the link does, since it
// lasts as long as the board stays busy.
#include "MinimalHost.h"

#include <QString>
#include <optional>
#include <vector>

// One step of a replay: an attention handshake up to the board's 85, the PLS
// ready poll, or one host byte and the answer the in-process board gave (-1: none).
struct ReplayedExchange {
    bool attention = false;
    bool plsReady = false;
    int host = 0;
    int reply = -1;
    int replies = 0;
};

// Turns a trace ("hFF b55 h01 b55 h10 b10 ...") into exchanges and counts the
// bytes the host sent; nullopt when the board spoke unasked.
std::optional<std::vector<ReplayedExchange>> parseTrace(const QString& trace, int* hostBytes);

// The minimal host's replay; the seconds it took, or nullopt when an answer
// did not come. Answers whose value differed from the in-process board's
// (live values such as counters) are counted in mismatches.
std::optional<double> replay(MinimalHost& host, const std::vector<ReplayedExchange>& exchanges,
                             int* mismatches);
