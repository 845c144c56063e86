#pragma once

#include <cstdint>

namespace board {

/// @brief Asks the system for its finest timer while held, so that a thread's timed wait ends
/// within a millisecond of its deadline rather than at the system's default tick (15.6 ms on
/// Windows). The system counts the requests, so holders need not know of each other. Linux
/// timers are fine already: there it does nothing.
class FineTimer {
public:
    FineTimer();
    // Gives the timer back on Windows; only elsewhere could it be trivial.
    ~FineTimer(); // NOLINT(performance-trivially-destructible)
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
    FineTimer(FineTimer&&) = delete;
    FineTimer& operator=(FineTimer&&) = delete;

    /// How much later than asked a timed wait ends even so, in ns: a wait meant to end at a
    /// deadline is set this much before it. Windows ends waits in whole milliseconds.
    [[nodiscard]] static std::int64_t waitOvershootNs();

    /// Whether the system granted it (always true where there is nothing to ask).
    [[nodiscard]] bool granted() const { return granted_; }

private:
    bool granted_ = true;
};

} // namespace board
