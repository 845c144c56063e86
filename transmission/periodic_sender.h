#pragma once

#include "transmission/burst_schedule.h"
#include "transmission/scheduled_run.h"
#include "transmission/single_transmission.h"

#include "board/driver.h"
#include "board/records.h"

#include <cstdint>
#include <string>

namespace transmission {

/// @brief A periodic schedule on one output of a board, each burst a single transmission. A
/// request the board fails stops the sender and says so; it sends nothing after that.
class PeriodicSender final : public ScheduledRun {
public:
    PeriodicSender(board::Driver& driver, board::DeviceHandle handle, std::uint16_t channelNo,
                   BurstSchedule schedule);

    /// Sends what is due at `now`; false once a request has failed.
    using ScheduledRun::step;
    bool step(ScheduleTime now, const ScheduleClock& clock) override;
    [[nodiscard]] ScheduleTime nextLook() const override { return schedule_.nextLook(); }

    [[nodiscard]] BurstSchedule& schedule() { return schedule_; }
    [[nodiscard]] const BurstSchedule& schedule() const { return schedule_; }
    [[nodiscard]] bool failed() const { return transmissions_.failed(); }
    /// Which request failed, in the system's words.
    [[nodiscard]] std::string failure() const override { return transmissions_.failure(); }

private:
    SingleTransmissions transmissions_;
    BurstSchedule schedule_;
};

} // namespace transmission
