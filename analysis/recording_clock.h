#pragma once

#include <chrono>

namespace analysis {

/// A moment in the computer's local time, to the millisecond.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

/// @brief The two clocks of a recording: the local time written into each row, and a
/// monotonic clock for the milliseconds since the recording began, which does not jump when
/// the local time is set or changes for summer time. Tests use a clock of their own.
class RecordingClock {
public:
    virtual ~RecordingClock() = default;
    [[nodiscard]] virtual LocalDateTime localNow() = 0;
    [[nodiscard]] virtual std::chrono::milliseconds monotonicNow() = 0;
};

/// @brief The computer's clocks.
[[nodiscard]] RecordingClock& systemRecordingClock();

} // namespace analysis
