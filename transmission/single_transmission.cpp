#include "transmission/single_transmission.h"

#include "board/control_codes.h"
#include "board/requests.h"

#include <algorithm>

namespace transmission {

bool SingleTransmissions::send(std::span<const std::uint32_t> words) {
    if (failed())
        return false;
    // The header of a single transmission: channel, one pass, no cycle, the word count.
    record_.channelNo = channelNo_;
    record_.param1 = 1;
    record_.param2 = 0;
    record_.param3 = static_cast<std::uint16_t>(words.size());
    std::copy(words.begin(), words.end(), record_.SOwords.begin());
    board::AckReply ack{};
    if (!driver_.send(handle_, board::IOCTL_SO_LOAD_ARRAY, board::bytesOf(record_),
                      board::writableBytesOf(ack))) {
        failure_ = "выходной канал № " + std::to_string(channelNo_) +
                   ": модуль не принял массив (IOCTL_SO_LOAD_ARRAY)";
        return false;
    }
    const board::SOStartSingleRecord start{channelNo_, record_.param1};
    if (!driver_.send(handle_, board::IOCTL_SO_START_SINGLE, board::bytesOf(start),
                      board::writableBytesOf(ack))) {
        failure_ = "выходной канал № " + std::to_string(channelNo_) +
                   ": модуль не начал выдачу (IOCTL_SO_START_SINGLE)";
        return false;
    }
    return true;
}

} // namespace transmission
