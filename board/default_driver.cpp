#include "default_driver.h"

#include "simulated_driver.h"

namespace board {

std::unique_ptr<Driver> makeDefaultDriver() {
    return std::make_unique<SimulatedDriver>(defaultSimulatorConfig());
}

} // namespace board
