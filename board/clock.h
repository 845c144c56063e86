#pragma once

#include "sim_time.h"

#include <chrono>
#include <cstdint>

namespace board {

/// @brief Where a simulated board and a request trace take "now" from. The board has no
/// thread: it catches up with this clock whenever a request arrives.
class SimClock {
public:
    virtual ~SimClock() = default;
    [[nodiscard]] virtual SimTime now() const = 0;
};

/// @brief The program's clock: monotonic, unaffected by changes of the time of day.
class SteadySimClock final : public SimClock {
public:
    [[nodiscard]] SimTime now() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

/// @brief The tests' clock: stands still until told to move.
class ManualSimClock final : public SimClock {
public:
    explicit ManualSimClock(SimTime start = 0) : now_(start) {}

    [[nodiscard]] SimTime now() const override { return now_; }
    void advance(SimTime by) { now_ += by; }
    void advanceMs(std::int64_t ms) { now_ += ms * 1'000'000; }
    void set(SimTime at) { now_ = at; }

private:
    SimTime now_;
};

/// @brief One steady clock for the whole program.
[[nodiscard]] inline const SimClock& steadySimClock() {
    static const SteadySimClock clock;
    return clock;
}

} // namespace board
