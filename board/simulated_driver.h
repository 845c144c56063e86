#pragma once

#include "driver.h"

#include <cstdint>
#include <vector>

namespace board {

/// One simulated board: where it sits among the device interfaces, and what it reports.
struct SimulatedBoardSpec {
    unsigned interfaceIndex = 0;
    std::uint16_t serial = 0;
    int inputs = 8;
    int outputs = 8;
};

struct SimulatorConfig {
    std::vector<SimulatedBoardSpec> boards;
    std::vector<unsigned> indicesFailingToOpen;
};

/// Two boards of different sizes, at indices 0 and 2; index 1 is present but fails to open.
[[nodiscard]] SimulatorConfig defaultSimulatorConfig();

// System error codes the way the device functions report them.
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;

/// @brief A set of simulated boards behind the driver interface, for running the monitor
/// without hardware. Answers the serial number and configuration requests and accepts
/// every other request.
class SimulatedDriver final : public Driver {
public:
    explicit SimulatedDriver(SimulatorConfig config);

    [[nodiscard]] OpenResult open(unsigned interfaceIndex) override;
    bool send(DeviceHandle handle, std::uint32_t controlCode, std::span<const std::byte> input,
              std::span<std::byte> output) override;

private:
    [[nodiscard]] const SimulatedBoardSpec* boardAt(unsigned interfaceIndex) const;
    [[nodiscard]] const SimulatedBoardSpec* boardFor(DeviceHandle handle) const;

    SimulatorConfig config_;
};

} // namespace board
