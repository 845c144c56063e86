#include "transmission/output_array.h"
#include "transmission/output_rate_text.h"
#include "transmission/transmission_control.h"

#include "board/control_codes.h"

#include "byte_vectors.h"
#include "scripted_driver.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testing_support::ScriptedDriver;
using transmission::OutputControlsEnabling;

using testing_support::bytes;

std::vector<std::byte> first(const std::vector<std::byte>& all, std::size_t count) {
    return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(count, all.size()))};
}

class TransmissionControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.addBoard(2);
        state = transmission_tests::initialisedState();
        state.DeviceHandle = ScriptedDriver::handleFor(2);
        ASSERT_TRUE(transmission::selectOutputChannel(state, 2)); // channel 3
        transmission::fillTestPattern(state);
    }

    ScriptedDriver driver;
    board::SharedState state;
};

TEST_F(TransmissionControlTest, SingleStartLoadsTheWholeRecordThenStartsWithItsFirst4Bytes) {
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 0)); // one word
    state.SOmode[2] = board::SOmodeStopped;

    const auto enabling = transmission::startSingleTransmission(driver, state);

    EXPECT_EQ(enabling, (OutputControlsEnabling{true, false, std::nullopt, std::nullopt}));
    EXPECT_EQ(state.SOmode[2], board::SOmodeSingle);
    const auto& requests = driver.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].code, board::IOCTL_SO_LOAD_ARRAY);
    EXPECT_EQ(requests[0].handle, ScriptedDriver::handleFor(2));
    ASSERT_EQ(requests[0].input.size(), 1032u);
    EXPECT_EQ(requests[0].outputSize, 2u);
    EXPECT_EQ(first(requests[0].input, 12),
              bytes({3, 0, 1, 0, 0, 0, 1, 0, 0x00, 0x03, 0xFF, 0xFC}));
    // All 256 words go, although the array has one.
    EXPECT_EQ(requests[0].inputAs<board::SOrecord>().SOwords[255], 0xFC0003FFu);

    EXPECT_EQ(requests[1].code, board::IOCTL_SO_START_SINGLE);
    EXPECT_EQ(requests[1].input, bytes({3, 0, 1, 0}));
    EXPECT_EQ(requests[1].outputSize, 2u);
}

TEST_F(TransmissionControlTest, CyclicStartCarriesTheSizeTwiceAndSwitchesTypingOff) {
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 9));

    const auto enabling = transmission::startCyclicTransmission(driver, state);

    EXPECT_EQ(enabling, (OutputControlsEnabling{true, false, std::nullopt, false}));
    EXPECT_EQ(state.SOmode[2], board::SOmodeCyclic);
    ASSERT_EQ(driver.requests().size(), 1u);
    const auto& request = driver.requests()[0];
    EXPECT_EQ(request.code, board::IOCTL_SO_START_CYCLIC);
    ASSERT_EQ(request.input.size(), 1032u);
    EXPECT_EQ(first(request.input, 8), bytes({3, 0, 10, 0, 10, 0, 0, 0}));
    EXPECT_EQ(std::memcmp(request.input.data() + 8, state.SOrecord[2].SOwords.data(), 1024), 0);
    // The header stays in the channel's record.
    EXPECT_EQ(state.SOrecord[2].param1, 10);
    EXPECT_EQ(state.SOrecord[2].param2, 10);
}

TEST_F(TransmissionControlTest, StopSendsTheChannelNumberAndSwitchesTypingOn) {
    state.SOmode[2] = board::SOmodeCyclic;

    const auto enabling = transmission::stopTransmission(driver, state);

    EXPECT_EQ(enabling, (OutputControlsEnabling{false, true, std::nullopt, true}));
    EXPECT_EQ(state.SOmode[2], board::SOmodeStopped);
    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_SO_STOP);
    EXPECT_EQ(driver.requests()[0].input, bytes({3, 0}));
}

TEST_F(TransmissionControlTest, StateQueryStatusTexts) {
    struct Case {
        std::uint8_t active;
        std::uint16_t mode;
        std::uint8_t rateCode;
        bool transmitting;
        const char* text;
    };
    const Case cases[] = {
        {1, board::SOmodeSingle, 0, true,
         "Выходной канал №3: выдача однократная; частота 12,5КГц+/-1%"},
        {0x80, board::SOmodeCyclic, 1, true,
         "Выходной канал №3: выдача циклическая; частота 50КГц+/-1%"},
        // After a stop command the board may still report the channel running.
        {1, board::SOmodeStopped, 2, true,
         "Выходной канал №3: выдача циклическая; частота 100КГц+/-1%"},
        {0, board::SOmodeCyclic, 2, false,
         "Выходной канал №3: выдача остановлена; частота 100КГц+/-1%"},
        // A code outside 0..2 keeps the previous rate text.
        {0, board::SOmodeSingle, 7, false,
         "Выходной канал №3: выдача остановлена; частота 100КГц+/-1%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        driver.answerU16(state.DeviceHandle, board::IOCTL_SO_GET_STATE, c.active);
        state.SOmode[2] = c.mode;
        state.FreqCodes.SOfreq[2] = c.rateCode;
        transmission::updateOutputRateText(state);
        driver.clearRequests();

        const auto result = transmission::queryOutputChannelState(driver, state);

        EXPECT_EQ(result.transmitting, c.transmitting);
        EXPECT_EQ(result.statusText, c.text);
        ASSERT_EQ(driver.requests().size(), 1u);
        EXPECT_EQ(driver.requests()[0].code, board::IOCTL_SO_GET_STATE);
        EXPECT_EQ(driver.requests()[0].input, bytes({3, 0}));
        EXPECT_EQ(driver.requests()[0].outputSize, 2u);
    }
}

TEST_F(TransmissionControlTest, FailedQueryReadsAsStoppedAndEnablesTheArrayCommands) {
    driver.answerU16(state.DeviceHandle, board::IOCTL_SO_GET_STATE, 1);
    driver.fail(board::IOCTL_SO_GET_STATE);
    state.SOrateText = {};
    const auto result = transmission::queryOutputChannelState(driver, state);
    EXPECT_FALSE(result.transmitting);
    EXPECT_EQ(result.statusText, "Выходной канал №3: выдача остановлена; ");
    EXPECT_EQ(transmission::outputControlsFor(result),
              (OutputControlsEnabling{false, true, true, std::nullopt}));
    EXPECT_EQ(transmission::outputControlsFor({true, {}}),
              (OutputControlsEnabling{true, false, false, std::nullopt}));
}

TEST_F(TransmissionControlTest, WordUpdateAfterTheBitEditorOnlyInCyclicMode) {
    state.SOparamIndex = 5;
    state.SOrecord[2].SOwords[5] = 0x11223344u;
    for (const auto mode : {board::SOmodeSingle, board::SOmodeStopped}) {
        state.SOmode[2] = mode;
        EXPECT_FALSE(transmission::sendWordAfterBitEditor(driver, state));
    }
    EXPECT_TRUE(driver.requests().empty());

    state.SOmode[2] = board::SOmodeCyclic;
    EXPECT_TRUE(transmission::sendWordAfterBitEditor(driver, state));
    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_SO_WRITE_WORD);
    EXPECT_EQ(driver.requests()[0].input, bytes({3, 0, 5, 0, 0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(driver.requests()[0].outputSize, 2u);
}

TEST_F(TransmissionControlTest, ModesArePerChannel) {
    state.SOmode.fill(board::SOmodeStopped);
    (void)transmission::startCyclicTransmission(driver, state);
    ASSERT_TRUE(transmission::selectOutputChannel(state, 0));
    (void)transmission::startSingleTransmission(driver, state);
    EXPECT_EQ(state.SOmode[2], board::SOmodeCyclic);
    EXPECT_EQ(state.SOmode[0], board::SOmodeSingle);
    EXPECT_EQ(state.SOmode[1], board::SOmodeStopped);
    EXPECT_EQ(driver.requests().back().input, bytes({1, 0, 1, 0}));
}

} // namespace
