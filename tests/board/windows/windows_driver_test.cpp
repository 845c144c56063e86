#include "board/board_list.h"
#include "board/clock.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/trace_driver.h"
#include "board/windows/windows_driver.h"

#include "fake_device_api.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using win_testing::FakeDeviceApi;
using win_testing::kZelvaClass;

std::vector<std::string> pathsFor(unsigned count) {
    std::vector<std::string> paths;
    for (unsigned i = 0; i < count; ++i)
        paths.push_back(R"(\\?\pci#ven_1a2b&dev_0429#)" + std::to_string(i));
    return paths;
}

class WinDriver : public ::testing::Test {
protected:
    WinDriver() {
        auto fake = std::make_unique<FakeDeviceApi>();
        api = fake.get();
        driver = std::make_unique<board::windows::WindowsDriver>(std::move(fake), kZelvaClass);
    }

    FakeDeviceApi* api;
    std::unique_ptr<board::windows::WindowsDriver> driver;
    board::SharedState state;
};

TEST_F(WinDriver, TwoInterfacesGiveTwoBoardsAndTheOtherIndicesFailAtTheirLookup) {
    api->devicePaths = pathsFor(2);
    api->serials = {{FakeDeviceApi::handleFor(0), 1021}, {FakeDeviceApi::handleFor(1), 1187}};

    board::buildBoardList(*driver, state);

    ASSERT_EQ(state.BoardCount, 2);
    EXPECT_EQ(state.BoardTable[0].handle, FakeDeviceApi::handleFor(0));
    EXPECT_EQ(state.BoardTable[0].serial, 1021u);
    EXPECT_EQ(state.BoardTable[1].ordinal, 1u);
    EXPECT_EQ(state.BoardTable[1].serial, 1187u);
    // Every index 0..15 was looked up, each in a set of its own that was released.
    std::vector<unsigned> all(16);
    for (unsigned i = 0; i < 16; ++i)
        all[i] = i;
    EXPECT_EQ(api->enumeratedIndices, all);
    EXPECT_EQ(api->setsCreated, 16);
    EXPECT_EQ(api->setsDestroyed, 16);
    EXPECT_TRUE(api->everySetReleased());
    for (unsigned index = 2; index < 16; ++index) {
        const board::OpenResult result = driver->open(index);
        EXPECT_FALSE(result.valid());
        EXPECT_EQ(result.errorCode, win_testing::kErrorNoMoreItems) << index;
    }
}

TEST_F(WinDriver, InterfaceThatDoesNotOpenIsSkipped) {
    api->devicePaths = pathsFor(3);
    api->createError[api->devicePaths[1]] = win_testing::kErrorAccessDenied;

    board::buildBoardList(*driver, state);

    ASSERT_EQ(state.BoardCount, 2);
    EXPECT_EQ(state.BoardTable[0].ordinal, 0u);
    EXPECT_EQ(state.BoardTable[1].ordinal, 2u);
    EXPECT_EQ(state.BoardTable[1].handle, FakeDeviceApi::handleFor(2));
    EXPECT_TRUE(api->everySetReleased());
}

TEST_F(WinDriver, EightBoardsStopTheLookup) {
    api->devicePaths = pathsFor(10);

    board::buildBoardList(*driver, state);

    EXPECT_EQ(state.BoardCount, 8);
    EXPECT_EQ(api->enumeratedIndices, (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(api->setsDestroyed, 8);
    EXPECT_TRUE(api->everySetReleased());
}

TEST_F(WinDriver, RequestsPassUnchangedAndAnswerWithTheCompletionStatus) {
    const board::DeviceHandle handle = FakeDeviceApi::handleFor(3);
    const board::ChannelRecord channel{5};
    board::StateReply reply;

    board::sendRequest(*driver, handle, board::IOCTL_SI_GET_STATE, channel, reply);
    api->requestsFail = true;
    const bool completed = driver->send(handle, board::IOCTL_RESET_DEVICE, {}, {});

    EXPECT_FALSE(completed);
    ASSERT_EQ(api->requests.size(), 2u);
    EXPECT_EQ(api->requests[0].handle, handle);
    EXPECT_EQ(api->requests[0].code, board::IOCTL_SI_GET_STATE);
    EXPECT_EQ(api->requests[0].input, (std::vector<std::byte>{std::byte{5}, std::byte{0}}));
    EXPECT_EQ(api->requests[0].outputSize, sizeof(board::StateReply));
    EXPECT_TRUE(api->requests[1].input.empty());
    EXPECT_EQ(api->requests[1].outputSize, 0u);
}

TEST_F(WinDriver, FailedRequestReadsAsZeros) {
    api->requestsFail = true;
    board::SerialReply reply{0xBEEF};

    board::sendRequestWithoutInput(*driver, FakeDeviceApi::handleFor(0),
                                   board::IOCTL_GET_SERIAL_NUMBER, reply);

    EXPECT_EQ(reply.serial, 0);
}

TEST_F(WinDriver, TraceShowsOpenErrorsAndCompletionStatus) {
    const std::string path = ::testing::TempDir() + "win_driver_trace.log";
    std::remove(path.c_str());
    api->devicePaths = pathsFor(1);
    {
        board::ManualSimClock clock;
        std::string problem;
        auto traced = board::withTrace(std::move(driver), path, clock, problem);
        ASSERT_TRUE(problem.empty()) << problem;
        const board::OpenResult opened = traced->open(0);
        EXPECT_FALSE(traced->open(1).valid());
        board::SerialReply reply;
        board::sendRequestWithoutInput(*traced, opened.handle, board::IOCTL_GET_SERIAL_NUMBER,
                                       reply);
        api->requestsFail = true;
        board::sendRequestWithoutInput(*traced, opened.handle, board::IOCTL_GET_SERIAL_NUMBER,
                                       reply);
    }
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        if (line.rfind('#', 0) != 0)
            lines.push_back(line.substr(line.find(' ', line.find_first_not_of(' ')) + 1));
    std::remove(path.c_str());

    EXPECT_EQ(lines, (std::vector<std::string>{
                         "0 open ok",
                         "1 open failed 259",
                         "0 IOCTL_GET_SERIAL_NUMBER in - out 0000 ok",
                         "0 IOCTL_GET_SERIAL_NUMBER in - out 0000 failed",
                     }));
}

} // namespace
