#include "StopSignals.h"

#include <atomic>
#include <csignal>

namespace StopSignals {
namespace {

std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onStopSignal(int) {
    stopFlag.store(true, std::memory_order_relaxed);
}

#ifdef _WIN32
// Windows has no sigaction; its C runtime delivers Ctrl+C as SIGINT.
using Previous = void (*)(int);
Previous previousInt = SIG_DFL;
Previous previousTerm = SIG_DFL;
#else
struct sigaction previousInt {};
struct sigaction previousTerm {};
#endif

} // namespace

void install() {
    stopFlag.store(false);
#ifdef _WIN32
    previousInt = std::signal(SIGINT, onStopSignal);
    previousTerm = std::signal(SIGTERM, onStopSignal);
#else
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls carry on; the flag is looked at between reads.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
#endif
}

void uninstall() {
#ifdef _WIN32
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
#else
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
#endif
}

bool requested() {
    return stopFlag.load(std::memory_order_relaxed);
}

} // namespace StopSignals
