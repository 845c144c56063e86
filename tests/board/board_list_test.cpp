#include "board/board_list.h"
#include "board/control_codes.h"

#include "scripted_driver.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedDriver;

TEST(BoardList, SkipsIndicesThatDoNotOpenAndKeepsDiscoveryOrder) {
    ScriptedDriver driver;
    driver.addBoard(0);
    driver.addBoard(2);
    driver.answerU16(ScriptedDriver::handleFor(0), board::IOCTL_GET_SERIAL_NUMBER, 1021);
    driver.answerU16(ScriptedDriver::handleFor(2), board::IOCTL_GET_SERIAL_NUMBER, 65535);
    board::SharedState state;

    board::buildBoardList(driver, state);

    ASSERT_EQ(state.BoardCount, 2);
    EXPECT_EQ(state.BoardTable[0].ordinal, 0u);
    EXPECT_EQ(state.BoardTable[0].serial, 1021u);
    EXPECT_EQ(state.BoardTable[0].handle, ScriptedDriver::handleFor(0));
    EXPECT_EQ(state.BoardTable[1].ordinal, 2u);
    EXPECT_EQ(state.BoardTable[1].serial, 65535u); // unsigned, zero-extended
    EXPECT_EQ(driver.openedIndices().size(), 16u);
    // One serial request per opened board, nothing else.
    ASSERT_EQ(driver.requests().size(), 2u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_GET_SERIAL_NUMBER);
    EXPECT_TRUE(driver.requests()[0].input.empty());
    EXPECT_EQ(driver.requests()[0].outputSize, 2u);
}

TEST(BoardList, StopsTryingOnceEightBoardsAreOpen) {
    ScriptedDriver driver;
    for (unsigned i = 0; i < 16; ++i)
        driver.addBoard(i);
    board::SharedState state;

    board::buildBoardList(driver, state);

    EXPECT_EQ(state.BoardCount, 8);
    EXPECT_EQ(driver.openedIndices(), (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(state.BoardTable[7].ordinal, 7u);
}

TEST(BoardList, FailedSerialRequestShowsSerialZero) {
    ScriptedDriver driver;
    driver.addBoard(5);
    driver.fail(board::IOCTL_GET_SERIAL_NUMBER);
    board::SharedState state;

    board::buildBoardList(driver, state);

    ASSERT_EQ(state.BoardCount, 1);
    EXPECT_EQ(state.BoardTable[0].serial, 0u);
    EXPECT_EQ(state.BoardTable[0].ordinal, 5u);
}

TEST(BoardList, NoBoardsLeavesCountZero) {
    ScriptedDriver driver;
    board::SharedState state;
    board::buildBoardList(driver, state);
    EXPECT_EQ(state.BoardCount, 0);
    EXPECT_TRUE(driver.requests().empty());
}

TEST(BoardList, ItemTextHasTwoRightAlignedFields) {
    EXPECT_EQ(board::boardListItemText(1021, 0), "              1021                         0");
    EXPECT_EQ(board::boardListItemText(65535, 15).size(), 18u + 1u + 25u);
}

TEST(BoardList, DeviceStatusTextNamesSerialAndOrdinal) {
    EXPECT_EQ(board::deviceStatusText(1187, 2), "ZELVA-1: серийный № 1187; порядковый № 2");
}

} // namespace
