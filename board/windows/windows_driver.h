#pragma once

#include "board/driver.h"
#include "device_api.h"
#include "guid.h"

#include <memory>

namespace board::windows {

/// @brief Real ZELVA-1 boards through their kernel driver: boards are the present device
/// interfaces of the driver's interface class, requests are synchronous device control
/// requests whose completion status is handed back for the trace.
class WindowsDriver final : public Driver {
public:
    WindowsDriver(std::unique_ptr<WindowsDeviceApi> api, const InterfaceClassGuid& interfaceClass);

    [[nodiscard]] OpenResult open(unsigned interfaceIndex) override;
    bool send(DeviceHandle handle, std::uint32_t controlCode, std::span<const std::byte> input,
              std::span<std::byte> output) override;
    [[nodiscard]] std::uint32_t lastRequestError() override { return api_->lastError(); }

private:
    std::unique_ptr<WindowsDeviceApi> api_;
    InterfaceClassGuid interfaceClass_;
};

} // namespace board::windows
