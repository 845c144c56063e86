#include "default_driver.h"

#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "driver_access.h"
#include "trace_driver.h"

#include <cstdlib>
#include <iostream>

namespace board {
namespace {

using simulated::SimulatorConfig;

constexpr const char* kConfigVariable = "ZELVA1_SIM_CONFIG";
constexpr const char* kTraceVariable = "ZELVA1_DRIVER_TRACE";
constexpr const char* kBackendVariable = "ZELVA1_BACKEND";

constexpr std::string_view kSimulatedName = "simulated";
constexpr std::string_view kDriverName = "driver";

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

SimulatorConfig simulatorConfig(const std::string& path, std::ostream& messages) {
    if (path.empty())
        return simulated::defaultSimulatorConfig();
    simulated::SimConfigResult result = simulated::loadSimulatorConfig(path);
    if (!result.ok()) {
        messages << kConfigVariable << ": " << path << ": ";
        if (result.errorLine > 0)
            messages << "line " << result.errorLine << ": ";
        messages << result.error << "; running on the built-in simulated boards\n";
    }
    return std::move(result.config);
}

const char* backendText(Backend backend) {
    return backend == Backend::boardDriver ? "running on the board driver"
                                           : "running on the simulated boards";
}

std::unique_ptr<Driver> makeBackend(const DriverSettings& settings, std::ostream& messages) {
    const BoardDriverAccess access = boardDriverAccess(settings.interfaceClassFile, messages);
    const bool driverUsable = static_cast<bool>(access.makeDriver);
    if (!access.refused &&
        chooseBackend(settings.backend, driverUsable, messages) == Backend::boardDriver) {
        if (!settings.simulatorConfigPath.empty())
            messages << kConfigVariable << ": ignored, " << backendText(Backend::boardDriver)
                     << " (" << kBackendVariable << "=" << kSimulatedName
                     << " selects the simulated boards)\n";
        return access.makeDriver();
    }
    return std::make_unique<simulated::SimulatedDriver>(
        simulatorConfig(settings.simulatorConfigPath, messages), steadySimClock());
}

} // namespace

DriverSettings driverSettingsFromEnvironment() {
    return {environmentValue(kConfigVariable), environmentValue(kTraceVariable),
            environmentValue(kBackendVariable), driverSettingsFile()};
}

Backend chooseBackend(std::string_view setting, bool driverBuiltIn, std::ostream& messages) {
    const Backend fallback = driverBuiltIn ? Backend::boardDriver : Backend::simulated;
    if (setting.empty())
        return fallback;
    if (setting == kSimulatedName)
        return Backend::simulated;
    if (setting == kDriverName) {
        if (driverBuiltIn)
            return Backend::boardDriver;
        messages << kBackendVariable << ": " << setting
                 << ": the board driver is not available (a Windows build has it once it knows "
                    "the driver's interface class: ZELVA1_DEVICE_INTERFACE_GUID when built, or "
                 << kInterfaceClassFileName << " beside the program); " << backendText(fallback)
                 << "\n";
        return fallback;
    }
    messages << kBackendVariable << ": " << setting << ": unknown back-end (expected "
             << kSimulatedName << " or " << kDriverName << "); " << backendText(fallback) << "\n";
    return fallback;
}

std::unique_ptr<Driver> makeDriver(const DriverSettings& settings, std::ostream& messages) {
    std::unique_ptr<Driver> driver = makeBackend(settings, messages);
    if (settings.tracePath.empty())
        return driver;
    std::string problem;
    driver = withTrace(std::move(driver), settings.tracePath, steadySimClock(), problem);
    if (!problem.empty())
        messages << kTraceVariable << ": " << settings.tracePath << ": " << problem
                 << "; requests are not traced\n";
    return driver;
}

std::unique_ptr<Driver> makeDefaultDriver(std::ostream& messages) {
    return makeDriver(driverSettingsFromEnvironment(), messages);
}

std::unique_ptr<Driver> makeDefaultDriver() { return makeDefaultDriver(std::cerr); }

} // namespace board
