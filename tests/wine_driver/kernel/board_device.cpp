#include "board_device.h"

#include "board/simulated/request_gate.h"

#include <algorithm>
#include <cstring>

namespace wine_driver {

BoardDevice::BoardDevice(const TestBoardSettings& settings)
    : board_(settings.board),
      faults_(std::span(settings.rules)
                  .first(std::min<std::size_t>(settings.ruleCount, settings.rules.size()))),
      failsToOpen_(settings.failsToOpen != 0) {}

bool BoardDevice::carryOut(std::uint32_t controlCode, std::span<const std::byte> input,
                           std::span<std::byte> output, board::SimTime now) {
    return board::simulated::carryOutRequest(board_, faults_, controlCode, input, output, now);
}

bool usableSettings(std::span<const std::byte> bytes) {
    if (bytes.size() != sizeof(TestBoardSettings))
        return false;
    std::uint32_t layout = 0;
    std::memcpy(&layout, bytes.data(), sizeof layout);
    return layout == kSettingsLayout;
}

} // namespace wine_driver
