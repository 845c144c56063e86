#pragma once

#include "transmission/burst_schedule.h"

#include <string>

namespace transmission {

/// @brief What a schedule thread drives: told the time, it sends what is due and says when
/// to look again. A run that fails stops for good and says why.
class ScheduledRun {
public:
    ScheduledRun() = default;
    virtual ~ScheduledRun() = default;
    ScheduledRun(const ScheduledRun&) = delete;
    ScheduledRun& operator=(const ScheduledRun&) = delete;
    ScheduledRun(ScheduledRun&&) = delete;
    ScheduledRun& operator=(ScheduledRun&&) = delete;

    /// Sends what is due at `now`; false once the board failed a request.
    virtual bool step(ScheduleTime now) = 0;
    /// When to look again; the largest ScheduleTime when nothing will be due by itself.
    [[nodiscard]] virtual ScheduleTime nextLook() const = 0;
    /// Which request failed, in the system's words; empty while none has.
    [[nodiscard]] virtual std::string failure() const = 0;
};

} // namespace transmission
