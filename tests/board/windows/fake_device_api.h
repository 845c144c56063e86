#pragma once

#include "board/windows/device_api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace win_testing {

inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

inline constexpr board::windows::InterfaceClassGuid kZelvaClass{
    0x6F0E1A2Bu, 0x3C4D, 0x4E5F, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};

/// One request that reached the device control call.
struct IoRequest {
    board::DeviceHandle handle;
    std::uint32_t code;
    std::vector<std::byte> input;
    std::size_t outputSize;
};

/// @brief The system's device calls over a list of present interfaces, each named by its
/// device path. Failures are set up per interface index or per path; every failing call
/// leaves its error for lastError(), and a released set clears it, as the system may.
/// Every call is logged in order, so tests see what was asked and when.
class FakeDeviceApi final : public board::windows::WindowsDeviceApi {
public:
    // Set-up.
    std::vector<std::string> devicePaths;
    std::optional<std::uint32_t> classDevicesError;
    std::map<unsigned, std::uint32_t>
        sizingError; // the size query fails otherwise than by asking for a buffer
    std::map<unsigned, std::uint32_t> reportedSize; // the size query answers this instead
    std::map<unsigned, std::uint32_t> fetchError;
    std::map<std::string, std::uint32_t> createError; // by device path
    std::map<board::DeviceHandle, std::uint16_t> serials;
    bool refuseAllocation = false;
    bool pathsUnterminated = false;
    bool requestsFail = false;

    // What happened.
    std::vector<std::string> calls;
    std::vector<board::windows::InterfaceClassGuid> classesAskedFor;
    std::vector<unsigned> enumeratedIndices;
    std::vector<std::size_t> allocations;
    std::vector<IoRequest> requests;
    int setsCreated = 0;
    int setsDestroyed = 0;
    int strayDestroys = 0;

    [[nodiscard]] static board::DeviceHandle handleFor(unsigned index) { return 0x700 + index; }
    [[nodiscard]] bool everySetReleased() const { return liveSets_.empty() && strayDestroys == 0; }

    std::optional<board::windows::DeviceInfoSet> getClassDevices(
        const board::windows::InterfaceClassGuid& interfaceClass) override {
        calls.emplace_back("class devices");
        classesAskedFor.push_back(interfaceClass);
        if (classDevicesError)
            return fail(*classDevicesError), std::nullopt;
        const board::windows::DeviceInfoSet set =
            0x5000 + static_cast<board::windows::DeviceInfoSet>(setsCreated++);
        liveSets_.insert(set);
        return set;
    }

    std::optional<board::windows::DeviceInterface> enumDeviceInterface(
        board::windows::DeviceInfoSet set, const board::windows::InterfaceClassGuid& interfaceClass,
        unsigned index) override {
        calls.push_back("enumerate " + std::to_string(index));
        classesAskedFor.push_back(interfaceClass);
        enumeratedIndices.push_back(index);
        if (!liveSets_.contains(set))
            return fail(kErrorInvalidData), std::nullopt;
        if (index >= devicePaths.size())
            return fail(kErrorNoMoreItems), std::nullopt;
        return board::windows::DeviceInterface{interfaceClass, 1, index};
    }

    bool getInterfaceDetail(board::windows::DeviceInfoSet set,
                            const board::windows::DeviceInterface& found,
                            std::span<std::byte> detail, std::uint32_t& requiredSize) override {
        const auto index = static_cast<unsigned>(found.reserved);
        calls.push_back(detail.empty() ? "detail size" : "detail " + std::to_string(detail.size()));
        if (!liveSets_.contains(set) || index >= devicePaths.size())
            return fail(kErrorInvalidData);
        const std::string& path = devicePaths[index];
        const std::size_t terminator = pathsUnterminated ? 0 : 1;
        requiredSize = static_cast<std::uint32_t>(board::windows::kDetailPathOffset + path.size() +
                                                  terminator);
        if (detail.empty()) {
            if (const auto error = sizingError.find(index); error != sizingError.end())
                return fail(error->second);
            if (const auto size = reportedSize.find(index); size != reportedSize.end())
                requiredSize = size->second;
            return fail(board::windows::kErrorInsufficientBuffer);
        }
        if (const auto error = fetchError.find(index); error != fetchError.end())
            return fail(error->second);
        if (detail.size() < requiredSize)
            return fail(board::windows::kErrorInsufficientBuffer);
        std::fill(detail.begin(), detail.end(), std::byte{0x5A});
        std::memcpy(detail.data() + board::windows::kDetailPathOffset, path.c_str(),
                    path.size() + terminator);
        return true;
    }

    void destroyDeviceInfoList(board::windows::DeviceInfoSet set) override {
        calls.emplace_back("release set");
        if (liveSets_.erase(set) == 0)
            ++strayDestroys;
        ++setsDestroyed;
        lastError_ = 0;
    }

    board::DeviceHandle createFile(const char* path) override {
        calls.push_back(std::string("open ") + path);
        if (const auto error = createError.find(path); error != createError.end())
            return fail(error->second), board::kNoDevice;
        const auto found = std::find(devicePaths.begin(), devicePaths.end(), path);
        if (found == devicePaths.end())
            return fail(2), board::kNoDevice;
        return handleFor(static_cast<unsigned>(found - devicePaths.begin()));
    }

    bool deviceIoControl(board::DeviceHandle handle, std::uint32_t controlCode,
                         std::span<const std::byte> input, std::span<std::byte> output) override {
        requests.push_back({handle, controlCode, {input.begin(), input.end()}, output.size()});
        if (requestsFail)
            return fail(kErrorGenFailure);
        if (const auto serial = serials.find(handle); serial != serials.end() && output.size() == 2)
            std::memcpy(output.data(), &serial->second, 2);
        return true;
    }

    std::uint32_t lastError() override { return lastError_; }

    std::unique_ptr<std::byte[]> allocateDetailBuffer(std::size_t bytes) override {
        allocations.push_back(bytes);
        if (refuseAllocation)
            return nullptr;
        return WindowsDeviceApi::allocateDetailBuffer(bytes);
    }

private:
    bool fail(std::uint32_t error) {
        lastError_ = error;
        return false;
    }

    std::set<board::windows::DeviceInfoSet> liveSets_;
    std::uint32_t lastError_ = 0;
};

} // namespace win_testing
