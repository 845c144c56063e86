#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace analysis {

/// Milliseconds of a clock that never goes back; only differences between its readings mean
/// anything. Views that count time since a change take one, so that tests can set the time.
using MonotonicClock = std::function<std::int64_t()>;

[[nodiscard]] inline MonotonicClock steadyClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
}

} // namespace analysis
