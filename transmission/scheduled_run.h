#pragma once

#include "transmission/burst_schedule.h"

#include <functional>
#include <string>

namespace transmission {

/// Tells the schedule's time when asked.
using ScheduleClock = std::function<ScheduleTime()>;

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

    /// Sends what is due at `now`; false once the board failed a request. A burst goes on the
    /// bus when its request reaches the board, which can be well after `now` (a request of
    /// another thread ahead of it, this thread preempted): the bus is taken to be busy from
    /// `clock`'s time after the request, so that the next burst never cuts one short.
    virtual bool step(ScheduleTime now, const ScheduleClock& clock) = 0;
    /// The same where time stands still while requests are made, as on a manual clock.
    bool step(ScheduleTime now) {
        return step(now, [now] { return now; });
    }
    /// When to look again; the largest ScheduleTime when nothing will be due by itself.
    [[nodiscard]] virtual ScheduleTime nextLook() const = 0;
    /// Which request failed, in the system's words; empty while none has.
    [[nodiscard]] virtual std::string failure() const = 0;
};

} // namespace transmission
