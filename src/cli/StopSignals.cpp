#include "StopSignals.h"

#include <atomic>
#include <csignal>

namespace StopSignals {
namespace {

std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void onStopSignal(int) {
    stopFlag.store(true, std::memory_order_relaxed);
}

} // namespace

void install() {
    stopFlag.store(false);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls carry on; the flag is looked at between reads.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

void uninstall() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool requested() {
    return stopFlag.load(std::memory_order_relaxed);
}

} // namespace StopSignals
