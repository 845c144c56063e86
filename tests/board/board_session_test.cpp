#include "board/board_session.h"
#include "board/control_codes.h"

#include "scripted_driver.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedDriver;

class BoardSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.addBoard(0);
        driver.addBoard(3);
        state.BoardCount = 2;
        state.BoardTable[0] = {ScriptedDriver::handleFor(0), 0, 11};
        state.BoardTable[1] = {ScriptedDriver::handleFor(3), 3, 22};
    }

    ScriptedDriver driver;
    board::SharedState state;
};

TEST_F(BoardSessionTest, ApplyTakesTheBoardAndResetsRatesAndArrays) {
    driver.answerU16(ScriptedDriver::handleFor(3), board::IOCTL_GET_CONFIGURATION, 0x0840);
    state.FreqCodes.SIfreq[4] = 2;
    state.FreqCodes.SOfreq[7] = 1;
    state.SOArrayDim[2] = 10;
    state.SOrecord[5].SOwords[200] = 0x12345678;
    state.CurSI = 3;
    state.CurSO = 6;
    state.SImode[1] = board::SImodeAddress;
    state.SIbuffer[1][4] = {0x10000, 9};

    board::applyBoard(driver, state, 1);

    EXPECT_EQ(state.DeviceHandle, ScriptedDriver::handleFor(3));
    EXPECT_EQ(state.DeviceSerial, 22u);
    EXPECT_EQ(state.DeviceOrdinal, 3u);
    EXPECT_TRUE(state.DeviceChosen);
    EXPECT_EQ(state.SIcount, 8);
    EXPECT_EQ(state.SOcount, 4);
    EXPECT_EQ(state.FreqCodes.SIfreq[4], 0);
    EXPECT_EQ(state.FreqCodes.SOfreq[7], 0);
    EXPECT_EQ(state.SOArrayDim[2], 256);
    EXPECT_EQ(state.SOCycleDim[2], 256);
    EXPECT_EQ(state.SOrecord[5].SOwords[200], 0u);
    EXPECT_EQ(state.CurSI, 0);
    EXPECT_EQ(state.CurSO, 0);
    // Modes and received words are not the choice's business.
    EXPECT_EQ(state.SImode[1], board::SImodeAddress);
    EXPECT_EQ(state.SIbuffer[1][4].word, 0x10000u);

    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_GET_CONFIGURATION);
    EXPECT_EQ(driver.requests()[0].handle, ScriptedDriver::handleFor(3));
}

TEST_F(BoardSessionTest, FailedConfigurationGivesNoChannels) {
    driver.fail(board::IOCTL_GET_CONFIGURATION);
    board::applyBoard(driver, state, 0);
    EXPECT_TRUE(state.DeviceChosen);
    EXPECT_EQ(state.SIcount, 0);
    EXPECT_EQ(state.SOcount, 0);
}

TEST_F(BoardSessionTest, InitialisationSendsOnlyTheRateCodes) {
    board::applyBoard(driver, state, 0);
    driver.clearRequests();
    board::storeRateCode(state, board::ChannelSide::Input, 0, 2);
    board::storeRateCode(state, board::ChannelSide::Output, 7, 1);
    state.SIbuffer[6][255] = {0xFFFF0000, 77};
    state.TickCount = 1234;
    state.SOmode[2] = board::SOmodeCyclic;

    board::initializeBoard(driver, state);

    ASSERT_EQ(driver.requests().size(), 1u);
    const auto& init = driver.requests()[0];
    EXPECT_EQ(init.code, board::IOCTL_INIT_DEVICE);
    ASSERT_EQ(init.input.size(), 16u);
    EXPECT_EQ(init.input[0], std::byte{2});
    EXPECT_EQ(init.input[15], std::byte{1});
    EXPECT_EQ(init.outputSize, 2u);
    EXPECT_EQ(state.SIbuffer[6][255].word, 0u);
    EXPECT_EQ(state.SIbuffer[6][255].tick, 0u);
    EXPECT_EQ(state.TickCount, 0u);
    EXPECT_EQ(state.SIchannelNo, 1);
    EXPECT_EQ(state.SOchannelNo, 1);
    EXPECT_EQ(state.SOmode[2], board::SOmodeCyclic);
}

TEST_F(BoardSessionTest, RateCodesOutsideTheTablesAreIgnored) {
    board::storeRateCode(state, board::ChannelSide::Input, 8, 1);
    board::storeRateCode(state, board::ChannelSide::Input, -1, 1);
    board::storeRateCode(state, board::ChannelSide::Output, 0, -1);
    EXPECT_EQ(state.FreqCodes.SIfreq, (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(state.FreqCodes.SOfreq, (std::array<std::uint8_t, 8>{}));
}

TEST(ShownChannelCount, OnlyTwoFourAndEightChangeTheDisplay) {
    EXPECT_EQ(board::shownChannelCount(2), 2);
    EXPECT_EQ(board::shownChannelCount(4), 4);
    EXPECT_EQ(board::shownChannelCount(8), 8);
    for (int other : {0, 1, 3, 5, 7, 15})
        EXPECT_FALSE(board::shownChannelCount(other).has_value()) << other;
}

TEST_F(BoardSessionTest, ClosingResetsOnlyAChosenBoard) {
    board::releaseBoardOnClose(driver, state);
    EXPECT_TRUE(driver.requests().empty());

    board::applyBoard(driver, state, 0);
    board::applyBoard(driver, state, 1);
    driver.clearRequests();
    board::releaseBoardOnClose(driver, state);
    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_RESET_DEVICE);
    EXPECT_EQ(driver.requests()[0].handle, ScriptedDriver::handleFor(3));
}

} // namespace
