#include "windows_driver.h"

#include "device_open.h"

#include <utility>

namespace board::windows {

WindowsDriver::WindowsDriver(std::unique_ptr<WindowsDeviceApi> api,
                             const InterfaceClassGuid& interfaceClass)
    : api_(std::move(api)), interfaceClass_(interfaceClass) {}

OpenResult WindowsDriver::open(unsigned interfaceIndex) {
    return openDeviceInterface(*api_, interfaceClass_, interfaceIndex);
}

// Handles stay open for the whole run and are released when the process ends.
bool WindowsDriver::send(DeviceHandle handle, std::uint32_t controlCode,
                         std::span<const std::byte> input, std::span<std::byte> output) {
    return api_->deviceIoControl(handle, controlCode, input, output);
}

} // namespace board::windows
