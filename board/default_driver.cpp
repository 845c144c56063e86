#include "default_driver.h"

#include "interface_class_file.h"
#include "sim_config.h"
#include "simulated_driver.h"
#include "trace_driver.h"
#include "win_guid.h"

#ifdef _WIN32
#include "win_driver.h"
#include "win_system_api.h"
#endif

#include <cstdlib>
#include <iostream>
#include <optional>

namespace board {
namespace {

constexpr const char* kConfigVariable = "ZELVA1_SIM_CONFIG";
constexpr const char* kTraceVariable = "ZELVA1_DRIVER_TRACE";
constexpr const char* kBackendVariable = "ZELVA1_BACKEND";

constexpr std::string_view kSimulatedName = "simulated";
constexpr std::string_view kDriverName = "driver";

#ifdef ZELVA1_DEVICE_INTERFACE_GUID
// The build setting arrives as a string; a malformed one stops the build here.
constexpr std::optional<InterfaceClassGuid> kBuiltInInterfaceClass =
    parseInterfaceClassGuid(ZELVA1_DEVICE_INTERFACE_GUID);
static_assert(kBuiltInInterfaceClass.has_value(),
              "ZELVA1_DEVICE_INTERFACE_GUID must read {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
#else
constexpr std::optional<InterfaceClassGuid> kBuiltInInterfaceClass;
#endif

#ifdef _WIN32
constexpr bool kWindowsBuild = true;

std::unique_ptr<Driver> makeBoardDriver(const InterfaceClassGuid& interfaceClass) {
    return std::make_unique<WindowsDriver>(makeSystemDeviceApi(), interfaceClass);
}

std::filesystem::path interfaceClassFileBesideProgram() {
    const std::filesystem::path folder = programFolder();
    return folder.empty() ? folder : folder / kInterfaceClassFileName;
}
#else
constexpr bool kWindowsBuild = false;

// Never called: the driver is only chosen in Windows builds.
std::unique_ptr<Driver> makeBoardDriver(const InterfaceClassGuid&) { return nullptr; }

std::filesystem::path interfaceClassFileBesideProgram() { return {}; }
#endif

/// The interface class the driver would use; `refused` when the settings file names it
/// wrongly, in which case no class is trusted, not even the build's.
struct InterfaceClassChoice {
    std::optional<InterfaceClassGuid> interfaceClass;
    bool refused = false;
};

InterfaceClassChoice interfaceClassFor(const std::filesystem::path& file, std::ostream& messages) {
    if (file.empty())
        return {kBuiltInInterfaceClass};
    const InterfaceClassSetting setting = loadInterfaceClassSetting(file);
    if (!setting.ok()) {
        messages << file.string() << ": ";
        if (setting.errorLine > 0)
            messages << "line " << setting.errorLine << ": ";
        messages << setting.error << "; running on the simulated boards\n";
        return {std::nullopt, true};
    }
    return {setting.interfaceClass ? setting.interfaceClass : kBuiltInInterfaceClass};
}

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
    const InterfaceClassChoice choice = interfaceClassFor(settings.interfaceClassFile, messages);
    const bool driverUsable = kWindowsBuild && choice.interfaceClass.has_value();
    if (!choice.refused &&
        chooseBackend(settings.backend, driverUsable, messages) == Backend::boardDriver) {
        if (!settings.simulatorConfigPath.empty())
            messages << kConfigVariable << ": ignored, " << backendText(Backend::boardDriver)
                     << " (" << kBackendVariable << "=" << kSimulatedName
                     << " selects the simulated boards)\n";
        return makeBoardDriver(*choice.interfaceClass);
    }
    return std::make_unique<SimulatedDriver>(
        simulatorConfig(settings.simulatorConfigPath, messages), steadySimClock());
}

} // namespace

DriverSettings driverSettingsFromEnvironment() {
    return {environmentValue(kConfigVariable), environmentValue(kTraceVariable),
            environmentValue(kBackendVariable), interfaceClassFileBesideProgram()};
}

bool boardDriverBuiltIn() { return kWindowsBuild && kBuiltInInterfaceClass.has_value(); }

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
