#pragma once

#include "board/driver.h"
#include "guid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>

namespace board::windows {

/// A device information set as the system hands it out (HDEVINFO).
using DeviceInfoSet = std::uintptr_t;

/// One device interface of an information set, field for field as SP_DEVICE_INTERFACE_DATA
/// without its size field.
struct DeviceInterface {
    InterfaceClassGuid interfaceClass;
    std::uint32_t flags = 0;
    std::uintptr_t reserved = 0;
};

// System error codes the opening of a board reports itself.
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

/// The interface detail data is a 32-bit size field followed by the NUL-terminated device path.
inline constexpr std::size_t kDetailPathOffset = 4;

/// @brief The system calls through which boards are found, opened and commanded, one virtual
/// per call, with plain types. The real one exists only in Windows builds; tests use a fake.
/// Every call that fails leaves its reason for lastError(), as the system does.
class WindowsDeviceApi {
public:
    virtual ~WindowsDeviceApi() = default;

    /// SetupDiGetClassDevsA for the present devices exposing this interface class.
    [[nodiscard]] virtual std::optional<DeviceInfoSet> getClassDevices(
        const InterfaceClassGuid& interfaceClass) = 0;

    /// SetupDiEnumDeviceInterfaces: the interface with this index in the set.
    [[nodiscard]] virtual std::optional<DeviceInterface> enumDeviceInterface(
        DeviceInfoSet set, const InterfaceClassGuid& interfaceClass, unsigned index) = 0;

    /// SetupDiGetDeviceInterfaceDetailA. With an empty `detail` it only asks for the size,
    /// which comes back in `requiredSize` together with a failure (kErrorInsufficientBuffer);
    /// otherwise it fills `detail`, which must be at least that size.
    [[nodiscard]] virtual bool getInterfaceDetail(DeviceInfoSet set,
                                                  const DeviceInterface& deviceInterface,
                                                  std::span<std::byte> detail,
                                                  std::uint32_t& requiredSize) = 0;

    /// SetupDiDestroyDeviceInfoList.
    virtual void destroyDeviceInfoList(DeviceInfoSet set) = 0;

    /// CreateFileA with no access rights, read and write sharing, open-existing and normal
    /// attributes: a handle for device control requests only, or kNoDevice.
    [[nodiscard]] virtual DeviceHandle createFile(const char* path) = 0;

    /// DeviceIoControl, synchronous: the completion status.
    virtual bool deviceIoControl(DeviceHandle handle, std::uint32_t controlCode,
                                 std::span<const std::byte> input, std::span<std::byte> output) = 0;

    /// GetLastError.
    [[nodiscard]] virtual std::uint32_t lastError() = 0;

    /// The buffer for the interface detail data; null when it cannot be had.
    [[nodiscard]] virtual std::unique_ptr<std::byte[]> allocateDetailBuffer(std::size_t bytes) {
        return std::unique_ptr<std::byte[]>(new (std::nothrow) std::byte[bytes]);
    }
};

} // namespace board::windows
