#include "default_driver.h"

#include "sim_config.h"
#include "simulated_driver.h"
#include "trace_driver.h"

#ifdef ZELVA1_DEVICE_INTERFACE_GUID
#include "win_driver.h"
#include "win_guid.h"
#include "win_system_api.h"
#endif

#include <cstdlib>
#include <iostream>

namespace board {
namespace {

constexpr const char* kConfigVariable = "ZELVA1_SIM_CONFIG";
constexpr const char* kTraceVariable = "ZELVA1_DRIVER_TRACE";
constexpr const char* kBackendVariable = "ZELVA1_BACKEND";

constexpr std::string_view kSimulatedName = "simulated";
constexpr std::string_view kDriverName = "driver";

#ifdef ZELVA1_DEVICE_INTERFACE_GUID
// The build setting arrives as a string; a malformed one stops the build here.
constexpr std::optional<InterfaceClassGuid> kInterfaceClass =
    parseInterfaceClassGuid(ZELVA1_DEVICE_INTERFACE_GUID);
static_assert(kInterfaceClass.has_value(),
              "ZELVA1_DEVICE_INTERFACE_GUID must read {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
constexpr bool kBoardDriverBuiltIn = true;

std::unique_ptr<Driver> makeBoardDriver() {
    return std::make_unique<WindowsDriver>(makeSystemDeviceApi(), *kInterfaceClass);
}
#else
constexpr bool kBoardDriverBuiltIn = false;

// Never called: chooseBackend() does not pick a driver that is not built in.
std::unique_ptr<Driver> makeBoardDriver() {
    return nullptr;
}
#endif

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

SimulatorConfig simulatorConfig(const std::string& path, std::ostream& messages) {
    if (path.empty())
        return defaultSimulatorConfig();
    SimConfigResult result = loadSimulatorConfig(path);
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
    if (chooseBackend(settings.backend, kBoardDriverBuiltIn, messages) == Backend::boardDriver) {
        if (!settings.simulatorConfigPath.empty())
            messages << kConfigVariable << ": ignored, " << backendText(Backend::boardDriver)
                     << " (" << kBackendVariable << "=" << kSimulatedName
                     << " selects the simulated boards)\n";
        return makeBoardDriver();
    }
    return std::make_unique<SimulatedDriver>(
        simulatorConfig(settings.simulatorConfigPath, messages), steadySimClock());
}

} // namespace

DriverSettings driverSettingsFromEnvironment() {
    return {environmentValue(kConfigVariable), environmentValue(kTraceVariable),
            environmentValue(kBackendVariable)};
}

bool boardDriverBuiltIn() {
    return kBoardDriverBuiltIn;
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
                 << ": this build has no board driver (a Windows build with "
                    "ZELVA1_DEVICE_INTERFACE_GUID set has one); "
                 << backendText(fallback) << "\n";
        return fallback;
    }
    messages << kBackendVariable << ": " << setting << ": unknown back-end (expected "
             << kSimulatedName << " or " << kDriverName << "); " << backendText(fallback)
             << "\n";
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

std::unique_ptr<Driver> makeDefaultDriver() {
    return makeDriver(driverSettingsFromEnvironment(), std::cerr);
}

} // namespace board
