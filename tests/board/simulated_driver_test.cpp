#include "board/board_list.h"
#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/simulated_driver.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulatedDriver, DefaultBoardsAreFoundAroundTheFailingIndex) {
    board::SimulatedDriver driver(board::defaultSimulatorConfig());
    board::SharedState state;
    board::buildBoardList(driver, state);

    ASSERT_EQ(state.BoardCount, 2);
    EXPECT_EQ(state.BoardTable[0].ordinal, 0u);
    EXPECT_EQ(state.BoardTable[1].ordinal, 2u);
    EXPECT_NE(state.BoardTable[0].serial, state.BoardTable[1].serial);
    EXPECT_NE(state.BoardTable[0].serial, 0u);
}

TEST(SimulatedDriver, ReportsEachBoardsChannelCounts) {
    board::SimulatedDriver driver(board::defaultSimulatorConfig());
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
    board::SimulatedDriver driver(board::defaultSimulatorConfig());
    const auto failing = driver.open(1);
    EXPECT_FALSE(failing.valid());
    EXPECT_NE(failing.errorCode, 0u);
    const auto absent = driver.open(9);
    EXPECT_FALSE(absent.valid());
    EXPECT_EQ(absent.errorCode, board::kErrorNoMoreItems);
    EXPECT_EQ(driver.open(0).errorCode, 0u);
}

TEST(SimulatedDriver, RejectsUnknownHandlesAndCodes) {
    board::SimulatedDriver driver(board::defaultSimulatorConfig());
    std::byte out[2]{};
    EXPECT_FALSE(driver.send(board::kNoDevice, board::IOCTL_GET_SERIAL_NUMBER, {}, out));
    const auto handle = driver.open(0).handle;
    EXPECT_TRUE(driver.send(handle, board::IOCTL_RESET_DEVICE, {}, {}));
    EXPECT_FALSE(driver.send(handle, 0x80002000u, {}, out));
}

} // namespace
