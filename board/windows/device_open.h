#pragma once

#include "board/driver.h"
#include "device_api.h"
#include "guid.h"

namespace board::windows {

/// @brief Opens the board at `interfaceIndex` among the present devices of the interface
/// class: finds its interface, fetches its device path and opens that for device control.
/// On failure the handle is invalid and the error code is the failing call's system error,
/// or kErrorNotEnoughMemory when the buffer for the device path cannot be had. The device
/// information set is released on every path, before the device is opened.
[[nodiscard]] OpenResult openDeviceInterface(WindowsDeviceApi& api,
                                             const InterfaceClassGuid& interfaceClass,
                                             unsigned interfaceIndex);

} // namespace board::windows
