#include "board_removal.h"

#include <windows.h>

#include <setupapi.h>

namespace wine_driver {

std::uint32_t removeBoardDevice(const std::string& instanceId) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return GetLastError();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    const bool removed = SetupDiOpenDeviceInfoA(set, instanceId.c_str(), nullptr, 0, &device) &&
                         SetupDiCallClassInstaller(DIF_REMOVE, set, &device);
    const DWORD error = removed ? 0 : GetLastError();
    SetupDiDestroyDeviceInfoList(set);
    return error;
}

} // namespace wine_driver
