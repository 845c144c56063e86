#include "transmission/periodic_sender.h"

namespace transmission {

PeriodicSender::PeriodicSender(board::Driver& driver, board::DeviceHandle handle,
                               std::uint16_t channelNo, BurstSchedule schedule)
    : transmissions_(driver, handle, channelNo), schedule_(std::move(schedule)) {}

bool PeriodicSender::step(ScheduleTime now, const ScheduleClock& clock) {
    if (failed())
        return false;
    const std::span<const std::uint32_t> burst = schedule_.dueAt(now);
    if (burst.empty())
        return true;
    if (!transmissions_.send(burst))
        return false;
    schedule_.sent(clock());
    return true;
}

} // namespace transmission
