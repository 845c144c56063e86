#pragma once

#include "terminal.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace cli {

using Clock = std::chrono::steady_clock;

/// @brief Calls `poll(elapsedSeconds)` every `period` until it returns false, `seconds` have
/// passed (never when 0) or Ctrl-C is pressed; after a second, on a terminal, a line shows
/// "<what>: <elapsed> с" with what `poll` last returned added. Returns the seconds it ran.
template <typename Poll>
double runTimed(double seconds, std::chrono::milliseconds period, const std::string& what,
                Poll poll) {
    const Clock::time_point start = Clock::now();
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
        std::this_thread::sleep_for(period);
    }
    endProgress();
    return elapsed;
}

} // namespace cli
