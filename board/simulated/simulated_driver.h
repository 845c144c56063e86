#pragma once

#include "board.h"
#include "board/clock.h"
#include "board/driver.h"
#include "faults.h"
#include "setup.h"

#include <cstdint>
#include <vector>

namespace board::simulated {

// System error codes the way the device functions report them.
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;

/// @brief A set of simulated ZELVA-1 boards behind the driver interface, for running and
/// testing the monitor without hardware. Each board transmits, receives over its wiring and
/// hears the built-in traffic as time passes on the given clock; configured faults make
/// boards fail to open or requests fail.
class SimulatedDriver final : public Driver {
public:
    /// Boards on the program's steady clock.
    explicit SimulatedDriver(SimulatorConfig config);
    /// Boards on a clock that must outlive the driver (the tests' manual clock).
    SimulatedDriver(SimulatorConfig config, const SimClock& clock);

    [[nodiscard]] OpenResult open(unsigned interfaceIndex) override;
    bool send(DeviceHandle handle, std::uint32_t controlCode, std::span<const std::byte> input,
              std::span<std::byte> output) override;
    /// A failed request gives the error the device functions report for a failed request.
    [[nodiscard]] std::uint32_t lastRequestError() override { return kErrorGenFailure; }

private:
    [[nodiscard]] SimBoard* boardAt(unsigned interfaceIndex);
    [[nodiscard]] SimBoard* boardFor(DeviceHandle handle);

    const SimClock& clock_;
    std::vector<unsigned> indicesFailingToOpen_;
    std::vector<SimBoard> boards_;
    SimFaults faults_;
};

} // namespace board::simulated
