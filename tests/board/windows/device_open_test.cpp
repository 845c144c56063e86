#include "board/windows/device_open.h"

#include "fake_device_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using win_testing::FakeDeviceApi;
using win_testing::kZelvaClass;

const std::string kPath0 = R"(\\?\pci#ven_1a2b&dev_0429#0#{6f0e1a2b-3c4d-4e5f-8091-a2b3c4d5e6f7})";
const std::string kPath1 = R"(\\?\pci#ven_1a2b&dev_0429#1#{6f0e1a2b-3c4d-4e5f-8091-a2b3c4d5e6f7})";

FakeDeviceApi twoBoards() {
    FakeDeviceApi api;
    api.devicePaths = {kPath0, kPath1};
    return api;
}

TEST(WinDeviceOpen, OpensTheDevicePathOfTheInterfaceAtTheIndex) {
    FakeDeviceApi api = twoBoards();

    const board::OpenResult result = board::windows::openDeviceInterface(api, kZelvaClass, 1);

    EXPECT_EQ(result.handle, FakeDeviceApi::handleFor(1));
    EXPECT_EQ(result.errorCode, 0u);
    const std::size_t detailSize = board::windows::kDetailPathOffset + kPath1.size() + 1;
    // The set is released before the device is opened.
    EXPECT_EQ(api.calls, (std::vector<std::string>{"class devices", "enumerate 1", "detail size",
                                                   "detail " + std::to_string(detailSize),
                                                   "release set", "open " + kPath1}));
    EXPECT_EQ(api.allocations, std::vector<std::size_t>{detailSize});
    EXPECT_EQ(api.classesAskedFor,
              (std::vector<board::windows::InterfaceClassGuid>{kZelvaClass, kZelvaClass}));
    EXPECT_TRUE(api.everySetReleased());
}

struct FailingStep {
    const char* name;
    std::function<void(FakeDeviceApi&)> arrange;
    unsigned index;
    std::uint32_t errorCode;
    int setsCreated;
    bool deviceOpened;
};

// Releasing the set clears the fake's last error, so each code below is only right when it
// is read straight after the failing call.
TEST(WinDeviceOpen, EachFailingStepGivesItsErrorAndReleasesTheSet) {
    const std::vector<FailingStep> steps = {
        {"no device information set",
         [](FakeDeviceApi& api) { api.classDevicesError = win_testing::kErrorAccessDenied; }, 0,
         win_testing::kErrorAccessDenied, 0, false},
        {"no interface at the index", [](FakeDeviceApi&) {}, 2, win_testing::kErrorNoMoreItems, 1,
         false},
        {"the size query fails",
         [](FakeDeviceApi& api) { api.sizingError[0] = win_testing::kErrorDeviceNotConnected; }, 0,
         win_testing::kErrorDeviceNotConnected, 1, false},
        {"a size with no room for a path",
         [](FakeDeviceApi& api) { api.reportedSize[1] = board::windows::kDetailPathOffset; }, 1,
         board::windows::kErrorInsufficientBuffer, 1, false},
        {"the detail buffer cannot be had", [](FakeDeviceApi& api) { api.refuseAllocation = true; },
         0, board::windows::kErrorNotEnoughMemory, 1, false},
        {"fetching the detail fails",
         [](FakeDeviceApi& api) { api.fetchError[1] = win_testing::kErrorDeviceNotConnected; }, 1,
         win_testing::kErrorDeviceNotConnected, 1, false},
        {"the device does not open",
         [](FakeDeviceApi& api) { api.createError[kPath0] = win_testing::kErrorAccessDenied; }, 0,
         win_testing::kErrorAccessDenied, 1, true},
    };
    for (const FailingStep& step : steps) {
        SCOPED_TRACE(step.name);
        FakeDeviceApi api = twoBoards();
        step.arrange(api);

        const board::OpenResult result =
            board::windows::openDeviceInterface(api, kZelvaClass, step.index);

        EXPECT_FALSE(result.valid());
        EXPECT_EQ(result.errorCode, step.errorCode);
        EXPECT_EQ(api.setsCreated, step.setsCreated);
        EXPECT_EQ(api.setsDestroyed, step.setsCreated);
        EXPECT_TRUE(api.everySetReleased());
        EXPECT_EQ(api.calls.back().rfind("open ", 0) == 0, step.deviceOpened);
    }
}

TEST(WinDeviceOpen, RefusedBufferIsAskedForWithTheReportedSizeAndNotFetchedInto) {
    FakeDeviceApi api = twoBoards();
    api.refuseAllocation = true;

    const board::OpenResult result = board::windows::openDeviceInterface(api, kZelvaClass, 0);

    EXPECT_EQ(result.errorCode, board::windows::kErrorNotEnoughMemory);
    EXPECT_EQ(api.allocations,
              std::vector<std::size_t>{board::windows::kDetailPathOffset + kPath0.size() + 1});
    EXPECT_EQ(api.calls, (std::vector<std::string>{"class devices", "enumerate 0", "detail size",
                                                   "release set"}));
}

TEST(WinDeviceOpen, PathWithoutTerminatorEndsAtTheBufferEnd) {
    FakeDeviceApi api = twoBoards();
    api.pathsUnterminated = true;

    const board::OpenResult result = board::windows::openDeviceInterface(api, kZelvaClass, 0);

    EXPECT_EQ(result.handle, FakeDeviceApi::handleFor(0));
    EXPECT_EQ(api.calls.back(), "open " + kPath0);
}

} // namespace
