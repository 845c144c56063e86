#include "simulated_driver.h"

#include "config_word.h"
#include "control_codes.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace board {
namespace {

// Handles are the interface index plus one, so that no valid handle is 0.
DeviceHandle handleForIndex(unsigned interfaceIndex) {
    return static_cast<DeviceHandle>(interfaceIndex) + 1;
}

bool answerU16(std::span<std::byte> output, std::uint16_t value) {
    if (output.size() < sizeof value)
        return false;
    std::memcpy(output.data(), &value, sizeof value);
    return true;
}

} // namespace

SimulatorConfig defaultSimulatorConfig() {
    return SimulatorConfig{
        .boards = {{.interfaceIndex = 0, .serial = 1021, .inputs = 8, .outputs = 8},
                   {.interfaceIndex = 2, .serial = 1187, .inputs = 4, .outputs = 4}},
        .indicesFailingToOpen = {1},
    };
}

SimulatedDriver::SimulatedDriver(SimulatorConfig config) : config_(std::move(config)) {}

OpenResult SimulatedDriver::open(unsigned interfaceIndex) {
    const auto& failing = config_.indicesFailingToOpen;
    if (std::find(failing.begin(), failing.end(), interfaceIndex) != failing.end())
        return {kNoDevice, kErrorGenFailure};
    if (boardAt(interfaceIndex) == nullptr)
        return {kNoDevice, kErrorNoMoreItems};
    return {handleForIndex(interfaceIndex), 0};
}

bool SimulatedDriver::send(DeviceHandle handle, std::uint32_t controlCode,
                           std::span<const std::byte> /*input*/, std::span<std::byte> output) {
    const SimulatedBoardSpec* board = boardFor(handle);
    if (board == nullptr)
        return false;
    switch (controlCode) {
    case IOCTL_GET_SERIAL_NUMBER:
        return answerU16(output, board->serial);
    case IOCTL_GET_CONFIGURATION:
        return answerU16(output, encodeConfigWord({board->inputs, board->outputs}));
    default:
        return !controlCodeName(controlCode).empty();
    }
}

const SimulatedBoardSpec* SimulatedDriver::boardAt(unsigned interfaceIndex) const {
    for (const SimulatedBoardSpec& spec : config_.boards)
        if (spec.interfaceIndex == interfaceIndex)
            return &spec;
    return nullptr;
}

const SimulatedBoardSpec* SimulatedDriver::boardFor(DeviceHandle handle) const {
    if (handle == kNoDevice)
        return nullptr;
    return boardAt(static_cast<unsigned>(handle - 1));
}

} // namespace board
