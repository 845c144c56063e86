#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/simulated/simulated_driver.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulatedDriver, DefaultBoardsAreFoundAroundTheFailingIndex) {
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig());
    board::SharedState state;
    board::buildBoardList(driver, state);

    ASSERT_EQ(state.BoardCount, 2);
    EXPECT_EQ(state.BoardTable[0].ordinal, 0u);
    EXPECT_EQ(state.BoardTable[1].ordinal, 2u);
    EXPECT_NE(state.BoardTable[0].serial, state.BoardTable[1].serial);
    EXPECT_NE(state.BoardTable[0].serial, 0u);
}

TEST(SimulatedDriver, ReportsEachBoardsChannelCounts) {
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig());
    board::SharedState state;
    board::buildBoardList(driver, state);

    board::applyBoard(driver, state, 0);
    EXPECT_EQ(state.SIcount, 8);
    EXPECT_EQ(state.SOcount, 8);
    board::applyBoard(driver, state, 1);
    EXPECT_EQ(state.SIcount, 4);
    EXPECT_EQ(state.SOcount, 4);
}

TEST(SimulatedDriver, OpenFailuresCarryAnErrorCode) {
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig());
    const auto failing = driver.open(1);
    EXPECT_FALSE(failing.valid());
    EXPECT_NE(failing.errorCode, 0u);
    const auto absent = driver.open(9);
    EXPECT_FALSE(absent.valid());
    EXPECT_EQ(absent.errorCode, board::simulated::kErrorNoMoreItems);
    EXPECT_EQ(driver.open(0).errorCode, 0u);
}

TEST(SimulatedDriver, RejectsUnknownHandlesAndCodes) {
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig());
    std::byte out[2]{};
    EXPECT_FALSE(driver.send(board::kNoDevice, board::IOCTL_GET_SERIAL_NUMBER, {}, out));
    const auto handle = driver.open(0).handle;
    EXPECT_TRUE(driver.send(handle, board::IOCTL_RESET_DEVICE, {}, {}));
    EXPECT_FALSE(driver.send(handle, 0x80002000u, {}, out));
}

} // namespace

namespace {

// The monitor's own steps as a new user takes them: choose the 8-channel board, initialise
// with the rates as applied (all 0), start address reception on input 5, then transmit a
// pattern cyclically on output 1 and receive it on input 1.
TEST(SimulatedDriver, NewUserSeesLiveTrafficAndTheirOwnPattern) {
    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig(), clock);
    board::SharedState state;
    board::buildBoardList(driver, state);
    board::applyBoard(driver, state, 0);
    board::initializeBoard(driver, state);

    const auto read = [&](std::uint16_t channelNo, std::uint16_t index) {
        board::SIReadReply reply;
        board::sendRequest(driver, state.DeviceHandle, board::IOCTL_SI_READ,
                           board::SIReadRequest{channelNo, 1, index}, reply);
        return reply.word;
    };
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SI_START_ADDRESS,
                       board::SIStartRecord{5, 1, 0xFFFF, 0xFFFF});
    clock.advance(500'000'000);
    const std::uint32_t altitude = read(5, 0203);
    EXPECT_GE(altitude, 0x10000u);
    clock.advance(2'000'000'000);
    EXPECT_NE(read(5, 0203), altitude);

    board::SOrecord& record = state.SOrecord[0];
    for (std::uint32_t i = 0; i < 256; ++i)
        record.SOwords[i] = 0x80000000u | i << 8 | i;
    record = {.channelNo = 1, .param1 = 256, .param2 = 256, .param3 = 0, .SOwords = record.SOwords};
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SO_START_CYCLIC, record);
    board::sendCommand(driver, state.DeviceHandle, board::IOCTL_SI_START_ADDRESS,
                       board::SIStartRecord{1, 1, 0xFFFF, 0xFFFF});
    clock.advance(1'000'000'000);
    for (std::uint16_t cell = 0; cell < 256; ++cell)
        ASSERT_EQ(read(1, cell), 0x80000000u | cell << 8 | cell) << "cell " << cell;
}

} // namespace
