#include "default_driver.h"

#include "sim_config.h"
#include "simulated_driver.h"
#include "trace_driver.h"

#include <cstdlib>
#include <iostream>

namespace board {
namespace {

constexpr const char* kConfigVariable = "ZELVA1_SIM_CONFIG";
constexpr const char* kTraceVariable = "ZELVA1_DRIVER_TRACE";

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

SimulatorConfig simulatorConfig(const std::string& path, std::ostream& messages) {
    if (path.empty())
        return defaultSimulatorConfig();
    SimConfigResult result = loadSimulatorConfig(path);
    if (result.ok())
        return std::move(result.config);
    messages << kConfigVariable << ": " << path << ": ";
    if (result.errorLine > 0)
        messages << "line " << result.errorLine << ": ";
    messages << result.error << "; running on the built-in simulated boards\n";
    return defaultSimulatorConfig();
}

} // namespace

DriverSettings driverSettingsFromEnvironment() {
    return {environmentValue(kConfigVariable), environmentValue(kTraceVariable)};
}

std::unique_ptr<Driver> makeDriver(const DriverSettings& settings, std::ostream& messages) {
    std::unique_ptr<Driver> driver = std::make_unique<SimulatedDriver>(
        simulatorConfig(settings.simulatorConfigPath, messages), steadySimClock());
    if (settings.tracePath.empty())
        return driver;
    std::string problem;
    driver = withTrace(std::move(driver), settings.tracePath, steadySimClock(), problem);
    if (!problem.empty())
        messages << kTraceVariable << ": " << settings.tracePath << ": " << problem
                 << "; requests are not traced\n";
    return driver;
}

std::unique_ptr<Driver> makeDefaultDriver() {
    return makeDriver(driverSettingsFromEnvironment(), std::cerr);
}

} // namespace board
