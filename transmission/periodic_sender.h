#pragma once

#include "transmission/burst_schedule.h"
#include "transmission/scheduled_run.h"

#include "board/driver.h"
#include "board/records.h"

#include <cstdint>
#include <string>

namespace transmission {

/// @brief A periodic schedule on one output of a board: each burst goes out as a single
/// transmission (IOCTL_SO_LOAD_ARRAY with a channel record of its own, then
/// IOCTL_SO_START_SINGLE), so the output's array in the window is left as it is. A request the
/// board fails stops the sender and says so; it sends nothing after that.
class PeriodicSender final : public ScheduledRun {
public:
    PeriodicSender(board::Driver& driver, board::DeviceHandle handle, std::uint16_t channelNo,
                   BurstSchedule schedule);

    /// Sends what is due at `now`; false once a request has failed.
    bool step(ScheduleTime now) override;
    [[nodiscard]] ScheduleTime nextLook() const override { return schedule_.nextLook(); }

    [[nodiscard]] BurstSchedule& schedule() { return schedule_; }
    [[nodiscard]] const BurstSchedule& schedule() const { return schedule_; }
    [[nodiscard]] bool failed() const { return !failure_.empty(); }
    /// Which request failed, in the system's words.
    [[nodiscard]] std::string failure() const override { return failure_; }

private:
    board::Driver& driver_;
    board::DeviceHandle handle_;
    std::uint16_t channelNo_;
    BurstSchedule schedule_;
    board::SOrecord record_{};
    std::string failure_;
};

} // namespace transmission
