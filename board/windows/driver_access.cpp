#include "board/driver_access.h"

#include "guid.h"
#include "interface_class_file.h"
#include "system_api.h"
#include "windows_driver.h"

#include <optional>
#include <ostream>

// The Windows build's side of the board layer's driver access: the interface class comes
// from the settings file beside the program, else from the build setting.
namespace board {
namespace {

using windows::InterfaceClassGuid;

#ifdef ZELVA1_DEVICE_INTERFACE_GUID
// The build setting arrives as a string; a malformed one stops the build here.
constexpr std::optional<InterfaceClassGuid> kBuiltInInterfaceClass =
    windows::parseInterfaceClassGuid(ZELVA1_DEVICE_INTERFACE_GUID);
static_assert(kBuiltInInterfaceClass.has_value(),
              "ZELVA1_DEVICE_INTERFACE_GUID must read {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
#else
constexpr std::optional<InterfaceClassGuid> kBuiltInInterfaceClass;
#endif

BoardDriverAccess accessThrough(const InterfaceClassGuid& interfaceClass) {
    return {[interfaceClass] {
                return std::make_unique<windows::WindowsDriver>(windows::makeSystemDeviceApi(),
                                                                interfaceClass);
            },
            false};
}

} // namespace

BoardDriverAccess boardDriverAccess(const std::filesystem::path& settingsFile,
                                    std::ostream& messages) {
    if (settingsFile.empty())
        return kBuiltInInterfaceClass ? accessThrough(*kBuiltInInterfaceClass)
                                      : BoardDriverAccess{};
    const windows::InterfaceClassSetting setting = windows::loadInterfaceClassSetting(settingsFile);
    if (!setting.ok()) {
        messages << settingsFile.string() << ": ";
        if (setting.errorLine > 0)
            messages << "line " << setting.errorLine << ": ";
        messages << setting.error << "; running on the simulated boards\n";
        return {{}, true};
    }
    const std::optional<InterfaceClassGuid> interfaceClass =
        setting.interfaceClass ? setting.interfaceClass : kBuiltInInterfaceClass;
    return interfaceClass ? accessThrough(*interfaceClass) : BoardDriverAccess{};
}

bool boardDriverBuiltIn() { return kBuiltInInterfaceClass.has_value(); }

std::filesystem::path driverSettingsFile() {
    const std::filesystem::path folder = windows::programFolder();
    return folder.empty() ? folder : folder / kInterfaceClassFileName;
}

} // namespace board
