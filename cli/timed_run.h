#pragma once

#include "terminal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace cli {

using Clock = std::chrono::steady_clock;

/// @brief Sleeps until `wake` or Ctrl-C, in slices short enough that a stop request need not
/// wait out a long polling period (a signal handler can set a flag but wake no condition).
inline void sleepUntil(Clock::time_point wake) {
    constexpr auto kSlice = std::chrono::milliseconds(20);
    for (auto now = Clock::now(); now < wake && !stopRequested(); now = Clock::now())
        std::this_thread::sleep_for(std::min<Clock::duration>(wake - now, kSlice));
}

/// @brief Calls `poll(elapsedSeconds)` every `period` until it returns false, `seconds` have
/// passed (never when 0; the last period is cut short there) or Ctrl-C is pressed; after a
/// second, on a terminal, a line shows "<what>: <elapsed> с" with what `poll` last returned added.
/// Returns the seconds it ran.
template <typename Poll>
double runTimed(double seconds, std::chrono::milliseconds period, const std::string& what,
                Poll poll) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    double elapsed = 0.0;
    while (!stopRequested()) {
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        std::string note;
        if (!poll(elapsed, note))
            break;
        if (seconds > 0.0 && elapsed >= seconds)
            break;
        std::array<char, 64> time{};
        if (seconds > 0.0)
            std::snprintf(time.data(), time.size(), "%.1f из %.1f с", elapsed, seconds);
        else
            std::snprintf(time.data(), time.size(), "%.1f с (Ctrl-C: стоп)", elapsed);
        if (elapsed >= 1.0) // a shorter run needs no progress line
            showProgress(what + ": " + time.data() + note);
        const Clock::time_point wake = Clock::now() + period;
        sleepUntil(seconds > 0.0 ? std::min(wake, end) : wake);
    }
    endProgress();
    return elapsed;
}

} // namespace cli
