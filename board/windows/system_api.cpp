#include "system_api.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace board::windows {
namespace {

GUID toSystemGuid(const InterfaceClassGuid& guid) {
    GUID result{};
    result.Data1 = guid.data1;
    result.Data2 = guid.data2;
    result.Data3 = guid.data3;
    std::copy(guid.data4.begin(), guid.data4.end(), result.Data4);
    return result;
}

InterfaceClassGuid fromSystemGuid(const GUID& guid) {
    InterfaceClassGuid result;
    result.data1 = static_cast<std::uint32_t>(guid.Data1);
    result.data2 = guid.Data2;
    result.data3 = guid.Data3;
    std::copy(std::begin(guid.Data4), std::end(guid.Data4), result.data4.begin());
    return result;
}

// The system's handles are pointers that the driver interface carries as integers.
HDEVINFO toInfoSet(DeviceInfoSet set) {
    return reinterpret_cast<HDEVINFO>(set); // NOLINT(performance-no-int-to-ptr)
}

SP_DEVICE_INTERFACE_DATA toSystemInterface(const DeviceInterface& deviceInterface) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    data.InterfaceClassGuid = toSystemGuid(deviceInterface.interfaceClass);
    data.Flags = deviceInterface.flags;
    data.Reserved = deviceInterface.reserved;
    return data;
}

class SystemDeviceApi final : public WindowsDeviceApi {
public:
    std::optional<DeviceInfoSet> getClassDevices(
        const InterfaceClassGuid& interfaceClass) override {
        const GUID guid = toSystemGuid(interfaceClass);
        const HDEVINFO set =
            ::SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE)
            return std::nullopt;
        return reinterpret_cast<DeviceInfoSet>(set);
    }

    std::optional<DeviceInterface> enumDeviceInterface(DeviceInfoSet set,
                                                       const InterfaceClassGuid& interfaceClass,
                                                       unsigned index) override {
        const GUID guid = toSystemGuid(interfaceClass);
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        if (!::SetupDiEnumDeviceInterfaces(toInfoSet(set), nullptr, &guid, index, &data))
            return std::nullopt;
        return DeviceInterface{fromSystemGuid(data.InterfaceClassGuid), data.Flags, data.Reserved};
    }

    bool getInterfaceDetail(DeviceInfoSet set, const DeviceInterface& deviceInterface,
                            std::span<std::byte> detail, std::uint32_t& requiredSize) override {
        SP_DEVICE_INTERFACE_DATA data = toSystemInterface(deviceInterface);
        PSP_DEVICE_INTERFACE_DETAIL_DATA_A header = nullptr;
        if (!detail.empty()) {
            // The call checks the size field against the structure's own size.
            if (detail.size() < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) ||
                detail.size() > MAXDWORD) {
                ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return false;
            }
            const DWORD headerSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            std::memcpy(detail.data(), &headerSize, sizeof headerSize);
            header = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail.data());
        }
        DWORD required = 0;
        const BOOL fetched = ::SetupDiGetDeviceInterfaceDetailA(
            toInfoSet(set), &data, header, static_cast<DWORD>(detail.size()), &required, nullptr);
        requiredSize = required;
        return fetched != FALSE;
    }

    void destroyDeviceInfoList(DeviceInfoSet set) override {
        ::SetupDiDestroyDeviceInfoList(toInfoSet(set));
    }

    DeviceHandle createFile(const char* path) override {
        const HANDLE handle = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
            return kNoDevice;
        return reinterpret_cast<DeviceHandle>(handle);
    }

    bool deviceIoControl(DeviceHandle handle, std::uint32_t controlCode,
                         std::span<const std::byte> input, std::span<std::byte> output) override {
        // The call does not write its input; its parameter is merely not declared const.
        void* in = input.empty() ? nullptr : const_cast<std::byte*>(input.data());
        void* out = output.empty() ? nullptr : output.data();
        DWORD returned = 0;
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle is the system's, as an integer
        return ::DeviceIoControl(reinterpret_cast<HANDLE>(handle), controlCode, in,
                                 static_cast<DWORD>(input.size()), out,
                                 static_cast<DWORD>(output.size()), &returned, nullptr) != FALSE;
    }

    std::uint32_t lastError() override { return ::GetLastError(); }
};

} // namespace

std::unique_ptr<WindowsDeviceApi> makeSystemDeviceApi() {
    return std::make_unique<SystemDeviceApi>();
}

std::filesystem::path programFolder() {
    // Wide characters: the folder may be named in any language, whatever the code page.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

} // namespace board::windows
