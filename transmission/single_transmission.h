#pragma once

#include "board/driver.h"
#include "board/records.h"

#include <cstdint>
#include <span>
#include <string>

namespace transmission {

/// @brief Bursts of words sent on one output as single transmissions (IOCTL_SO_LOAD_ARRAY
/// with a channel record of its own, then IOCTL_SO_START_SINGLE), so that the output's array
/// in the window is left as it is. Once the board fails a request it says which and sends
/// nothing more.
class SingleTransmissions {
public:
    SingleTransmissions(board::Driver& driver, board::DeviceHandle handle, std::uint16_t channelNo)
        : driver_(driver), handle_(handle), channelNo_(channelNo) {}

    /// Sends `words` (1..256) as one burst; false once a request has failed.
    bool send(std::span<const std::uint32_t> words);

    [[nodiscard]] std::uint16_t channelNo() const { return channelNo_; }
    [[nodiscard]] bool failed() const { return !failure_.empty(); }
    /// Which request failed, in the system's words.
    [[nodiscard]] const std::string& failure() const { return failure_; }

private:
    board::Driver& driver_;
    board::DeviceHandle handle_;
    std::uint16_t channelNo_;
    board::SOrecord record_{};
    std::string failure_;
};

} // namespace transmission
