#include "simulated_driver.h"

#include "request_gate.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace board::simulated {
namespace {

// Handles are the interface index plus one, so that no valid handle is 0.
DeviceHandle handleForIndex(unsigned interfaceIndex) {
    return static_cast<DeviceHandle>(interfaceIndex) + 1;
}

} // namespace

SimulatedDriver::SimulatedDriver(SimulatorConfig config)
    : SimulatedDriver(std::move(config), steadySimClock()) {}

SimulatedDriver::SimulatedDriver(SimulatorConfig config, const SimClock& clock)
    : clock_(clock), indicesFailingToOpen_(std::move(config.indicesFailingToOpen)),
      faults_(config.failingRequests) {
    boards_.reserve(config.boards.size());
    for (const SimulatedBoardSpec& boardSetup : config.boards)
        boards_.emplace_back(boardSetup);
}

OpenResult SimulatedDriver::open(unsigned interfaceIndex) {
    const auto& failing = indicesFailingToOpen_;
    if (std::find(failing.begin(), failing.end(), interfaceIndex) != failing.end())
        return {kNoDevice, kErrorGenFailure};
    if (boardAt(interfaceIndex) == nullptr)
        return {kNoDevice, kErrorNoMoreItems};
    return {handleForIndex(interfaceIndex), 0};
}

bool SimulatedDriver::send(DeviceHandle handle, std::uint32_t controlCode,
                           std::span<const std::byte> input, std::span<std::byte> output) {
    SimBoard* board = boardFor(handle);
    if (board == nullptr)
        return false;
    return carryOutRequest(*board, faults_, controlCode, input, output, clock_.now());
}

SimBoard* SimulatedDriver::boardAt(unsigned interfaceIndex) {
    for (SimBoard& board : boards_)
        if (board.boardSetup().interfaceIndex == interfaceIndex)
            return &board;
    return nullptr;
}

SimBoard* SimulatedDriver::boardFor(DeviceHandle handle) {
    if (handle == kNoDevice || handle - 1 > std::numeric_limits<unsigned>::max())
        return nullptr;
    return boardAt(static_cast<unsigned>(handle - 1));
}

} // namespace board::simulated
