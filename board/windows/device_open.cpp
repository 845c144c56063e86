#include "device_open.h"

#include <algorithm>
#include <optional>
#include <string>

namespace board::windows {
namespace {

// Releases the set however the lookup ends. A failed call's error is read before this runs,
// since releasing the set may change the system's last error.
class InfoSetRelease {
public:
    InfoSetRelease(WindowsDeviceApi& api, DeviceInfoSet set) : api_(api), set_(set) {}
    ~InfoSetRelease() { api_.destroyDeviceInfoList(set_); }

    InfoSetRelease(const InfoSetRelease&) = delete;
    InfoSetRelease& operator=(const InfoSetRelease&) = delete;

private:
    WindowsDeviceApi& api_;
    DeviceInfoSet set_;
};

struct PathLookup {
    std::optional<std::string> path;
    std::uint32_t errorCode = 0;
};

PathLookup failed(std::uint32_t errorCode) { return {std::nullopt, errorCode}; }

std::string pathIn(std::span<const std::byte> detail) {
    // The path ends at its NUL, or at the end of the buffer should the system leave none.
    const std::span<const std::byte> text = detail.subspan(kDetailPathOffset);
    const auto end = std::find(text.begin(), text.end(), std::byte{0});
    return {reinterpret_cast<const char*>(text.data()),
            static_cast<std::size_t>(end - text.begin())};
}

PathLookup devicePathAt(WindowsDeviceApi& api, const InterfaceClassGuid& interfaceClass,
                        unsigned interfaceIndex) {
    const std::optional<DeviceInfoSet> set = api.getClassDevices(interfaceClass);
    if (!set)
        return failed(api.lastError());
    const InfoSetRelease release(api, *set);

    const std::optional<DeviceInterface> found =
        api.enumDeviceInterface(*set, interfaceClass, interfaceIndex);
    if (!found)
        return failed(api.lastError());

    // Asking for the size fails by design, asking for a buffer; any other failure is real.
    std::uint32_t size = 0;
    if (!api.getInterfaceDetail(*set, *found, {}, size)) {
        const std::uint32_t error = api.lastError();
        if (error != kErrorInsufficientBuffer)
            return failed(error);
    }
    // Too small to hold the size field and a path: writing the detail header would overrun it.
    if (size <= kDetailPathOffset)
        return failed(kErrorInsufficientBuffer);

    const std::unique_ptr<std::byte[]> buffer = api.allocateDetailBuffer(size);
    if (!buffer)
        return failed(kErrorNotEnoughMemory);
    const std::span<std::byte> detail(buffer.get(), size);
    std::uint32_t fetchedSize = 0;
    if (!api.getInterfaceDetail(*set, *found, detail, fetchedSize))
        return failed(api.lastError());
    return {pathIn(detail), 0};
}

} // namespace

OpenResult openDeviceInterface(WindowsDeviceApi& api, const InterfaceClassGuid& interfaceClass,
                               unsigned interfaceIndex) {
    const PathLookup lookup = devicePathAt(api, interfaceClass, interfaceIndex);
    if (!lookup.path)
        return {kNoDevice, lookup.errorCode};
    const DeviceHandle handle = api.createFile(lookup.path->c_str());
    if (handle == kNoDevice)
        return {kNoDevice, api.lastError()};
    return {handle, 0};
}

} // namespace board::windows
