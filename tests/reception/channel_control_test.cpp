#include "reception/channel_control.h"

#include "format_test_helpers.h"

#include "board/control_codes.h"
#include "board/rate_codes.h"

#include "byte_vectors.h"
#include "scripted_driver.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using testing_support::bytes;
using testing_support::RecordedRequest;
using testing_support::ScriptedDriver;

class ChannelControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.DeviceHandle = ScriptedDriver::handleFor(2);
        state.CurSI = 2;
        state.SIchannelNo = 3;
        state.SIrateText = board::kInputRateTexts[1];
    }

    ScriptedDriver driver;
    board::SharedState state;
};

TEST_F(ChannelControlTest, AddressStartClearsTheChannelAndSendsTheStartRecord) {
    state.SIbuffer[2].fill({0x12340000u, 5});
    state.SIbuffer[1][0] = {0x56780000u, 6};

    reception::startReception(driver, state, reception::ReceptionMode::Address);

    EXPECT_EQ(state.SImode[2], board::SImodeAddress);
    for (const board::InputCell& cell : state.SIbuffer[2]) {
        EXPECT_EQ(cell.word, 0u);
        EXPECT_EQ(cell.tick, 0u);
    }
    EXPECT_EQ(state.SIbuffer[1][0].word, 0x56780000u);
    ASSERT_EQ(driver.requests().size(), 1u);
    const RecordedRequest& r = driver.requests()[0];
    EXPECT_EQ(r.code, board::IOCTL_SI_START_ADDRESS);
    EXPECT_EQ(r.handle, ScriptedDriver::handleFor(2));
    EXPECT_EQ(r.input, bytes({3, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(r.outputSize, 2u);
}

TEST_F(ChannelControlTest, FileStartOnAnAddressChannelSwitchesModeAndClearsAgain) {
    reception::startReception(driver, state, reception::ReceptionMode::Address);
    state.SIbuffer[2][10] = {0x10000u, 4};

    reception::startReception(driver, state, reception::ReceptionMode::File);

    EXPECT_EQ(state.SImode[2], board::SImodeFile);
    EXPECT_EQ(state.SIbuffer[2][10].word, 0u);
    ASSERT_EQ(driver.requests().size(), 2u);
    EXPECT_EQ(driver.requests()[1].code, board::IOCTL_SI_START_FILE);
    EXPECT_EQ(driver.requests()[1].input, driver.requests()[0].input);
}

TEST_F(ChannelControlTest, StopKeepsTheWordsAndSendsTheChannelNumber) {
    state.SImode[2] = board::SImodeFile;
    state.SIbuffer[2][0] = {0x10000u, 4};

    reception::stopReception(driver, state);

    EXPECT_EQ(state.SImode[2], board::SImodeStopped);
    EXPECT_EQ(state.SIbuffer[2][0].word, 0x10000u);
    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_SI_STOP);
    EXPECT_EQ(driver.requests()[0].input, bytes({3, 0}));
    EXPECT_EQ(driver.requests()[0].outputSize, 2u);
}

struct StateCase {
    std::uint8_t active;
    std::uint16_t mode;
    bool expectActive;
    const char* text; // nullptr: the line is left as it is
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << "active " << int{c.active} << " mode " << c.mode;
}

class QueryInputChannelState : public ChannelControlTest,
                               public ::testing::WithParamInterface<StateCase> {};

TEST_P(QueryInputChannelState, GivesControlsAndText) {
    const StateCase& c = GetParam();
    driver.answerU16(state.DeviceHandle, board::IOCTL_SI_GET_STATE, c.active);
    state.SImode[2] = c.mode;

    const auto result = reception::queryInputChannelState(driver, state);

    EXPECT_EQ(result.active, c.expectActive);
    if (c.text == nullptr)
        EXPECT_FALSE(result.statusText.has_value());
    else
        EXPECT_EQ(result.statusText, std::optional<std::string>(c.text));
    EXPECT_EQ(state.SImode[2], c.mode); // the query never changes the mode
    ASSERT_EQ(driver.requests().size(), 1u);
    EXPECT_EQ(driver.requests()[0].code, board::IOCTL_SI_GET_STATE);
    EXPECT_EQ(driver.requests()[0].input, bytes({3, 0}));
    EXPECT_EQ(driver.requests()[0].outputSize, 2u);
}

INSTANTIATE_TEST_SUITE_P(
    States, QueryInputChannelState,
    ::testing::Values(
        StateCase{1, 1, true, "Входной канал №3: прием адресный; частота 48КГц+/-25%"},
        StateCase{0x80, 2, true, "Входной канал №3: прием файловый; частота 48КГц+/-25%"},
        StateCase{1, 0, true, nullptr},
        StateCase{0, 1, false, "Входной канал №3: прием остановлен; частота 48КГц+/-25%"},
        StateCase{0, 0, false, "Входной канал №3: прием остановлен; частота 48КГц+/-25%"}),
    [](const auto& info) {
        return "Active" + std::to_string(info.param.active) + "Mode" +
               std::to_string(info.param.mode);
    });

TEST_F(ChannelControlTest, FailedStateQueryReadsAsStopped) {
    driver.answerU16(state.DeviceHandle, board::IOCTL_SI_GET_STATE, 1);
    driver.fail(board::IOCTL_SI_GET_STATE);
    state.SImode[2] = board::SImodeAddress;
    const auto result = reception::queryInputChannelState(driver, state);
    EXPECT_FALSE(result.active);
    EXPECT_EQ(result.statusText, std::optional<std::string>(
                                     "Входной канал №3: прием остановлен; частота 48КГц+/-25%"));
}

TEST_F(ChannelControlTest, EmptyRateTextBeforeInitialisation) {
    state.SIrateText = {};
    const auto result = reception::queryInputChannelState(driver, state);
    EXPECT_EQ(result.statusText,
              std::optional<std::string>("Входной канал №3: прием остановлен; "));
}

TEST_F(ChannelControlTest, SelectingATabFollowsItsChannelAndSendsNothing) {
    formats::DecimalFormatTable formatTable;
    formatTable.slots[0] = reception_testing::makeFormat("ALT", 0, 28, 18, 90.0f, "deg");
    formatTable.formatCount = 1;
    formats::AssignmentTable assignments;
    assignments.slots[0] = reception_testing::makeAssignment(0203, 6, "ALT");
    assignments.assignmentCount = 1;
    reception::ChannelFormatLookup lookup;
    state.FreqCodes.SIfreq[5] = 2;

    const std::string caption =
        reception::selectInputChannel(state, 5, lookup, formatTable, assignments);

    EXPECT_EQ(caption, "Буфер входного канала № 6");
    EXPECT_EQ(state.CurSI, 5);
    EXPECT_EQ(state.SIchannelNo, 6);
    EXPECT_EQ(state.SIrateText, "частота 100КГц+/-1%");
    EXPECT_EQ(lookup.slots[0203].label[0], 'A');
    EXPECT_TRUE(driver.requests().empty());

    (void)reception::selectInputChannel(state, 0, lookup, formatTable, assignments);
    EXPECT_EQ(lookup.slots[0203].label[0], '\0');
    EXPECT_EQ(state.SIrateText, "частота 12..14,5КГц");
}

} // namespace
