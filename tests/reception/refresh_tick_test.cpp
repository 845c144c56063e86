#include "reception/refresh_tick.h"

#include "board/control_codes.h"

#include "scripted_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

using testing_support::RecordedRequest;
using testing_support::ScriptedDriver;

// Answers every read with a word computed from the request's channel and index.
void answerReads(ScriptedDriver& driver, std::uint32_t (*wordFor)(int channelNo, int index)) {
    driver.answer(board::IOCTL_SI_READ, [wordFor](const RecordedRequest& r, auto output) {
        const auto request = r.inputAs<board::SIReadRequest>();
        board::SIReadReply reply{0, wordFor(request.channelNo, request.index)};
        std::memcpy(output.data(), &reply, std::min(output.size(), sizeof reply));
        return true;
    });
}

// A cell as (word, tick).
std::pair<std::uint32_t, std::uint32_t> cellAt(const board::SharedState& state, int channel,
                                               int index) {
    const board::InputCell& cell = state.SIbuffer[channel][index];
    return {cell.word, cell.tick};
}

class RefreshTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.DeviceHandle = ScriptedDriver::handleFor(0);
        state.CurSI = 0;
        state.SIchannelNo = 1;
    }

    ScriptedDriver driver;
    board::SharedState state;
};

TEST(RefreshStatusText, Texts) {
    EXPECT_EQ(reception::refreshStatusText(500, 1),
              "Обновление экрана:-период  500 мс;  -счетчик          1");
    EXPECT_EQ(reception::refreshStatusText(10000, 4294967295u),
              "Обновление экрана:-период 10000 мс;  -счетчик 4294967295");
    EXPECT_EQ(reception::initialRefreshStatusText(100),
              "Обновление экрана:-период  100 мс;   -счетчик 0");
}

TEST_F(RefreshTickTest, TickCountsAndWraps) {
    state.TickCount = 4294967294u;
    EXPECT_EQ(reception::beginRefreshTick(state, 250),
              "Обновление экрана:-период  250 мс;  -счетчик 4294967295");
    EXPECT_EQ(reception::beginRefreshTick(state, 250),
              "Обновление экрана:-период  250 мс;  -счетчик          0");
    EXPECT_EQ(state.TickCount, 0u);
    EXPECT_TRUE(driver.requests().empty());
}

TEST_F(RefreshTickTest, NoRunningChannelSendsNoRead) {
    const auto result = reception::readRunningChannels(driver, state);
    EXPECT_FALSE(result.currentChannelRead);
    EXPECT_EQ(result.channelsRead, 0);
    EXPECT_TRUE(driver.requests().empty());
}

TEST_F(RefreshTickTest, ReadsAllCellsOfRunningChannelsInOrder) {
    state.SImode[1] = board::SImodeAddress;
    state.SImode[4] = board::SImodeFile;

    const auto result = reception::readRunningChannels(driver, state);

    EXPECT_FALSE(result.currentChannelRead); // channel 1 is current and stopped
    EXPECT_EQ(result.channelsRead, 2);
    const auto& requests = driver.requests();
    ASSERT_EQ(requests.size(), 512u);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const RecordedRequest& r = requests[i];
        const std::uint16_t channelNo = i < 256 ? 2 : 5;
        const auto index = static_cast<std::uint16_t>(i % 256);
        ASSERT_EQ(r.code, board::IOCTL_SI_READ);
        ASSERT_EQ(r.handle, ScriptedDriver::handleFor(0));
        ASSERT_EQ(r.outputSize, 6u);
        const std::vector<std::byte> expected = {
            std::byte(channelNo),    std::byte{0},         std::byte{1}, std::byte{0},
            std::byte(index & 0xFF), std::byte(index >> 8)};
        ASSERT_EQ(r.input, expected) << "request " << i;
    }
}

TEST_F(RefreshTickTest, StoresOnlyReceivedWordsWithTheTick) {
    state.SImode[0] = board::SImodeAddress;
    state.TickCount = 42;
    state.SIbuffer[0][1] = {0xAAAA0000u, 7};
    state.SIbuffer[0][2] = {0xBBBB0000u, 8};
    answerReads(driver, [](int, int index) -> std::uint32_t {
        switch (index) {
        case 0: return 0x00010000u; // the smallest received word
        case 1: return 0x0000FFFFu; // nothing received: the cell keeps its word and tick
        case 2: return 0xBBBB0000u; // the same word again renews the tick
        default: return 0;
        }
    });

    reception::ChangedCells changes;
    changes.add({3, 3, 3}); // left from an earlier tick
    const auto result = reception::readRunningChannels(driver, state, &changes);

    // Only cell 0 changed its word: a repeated word renews the tick but is no change.
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes.begin()->channelIndex, 0);
    EXPECT_EQ(changes.begin()->cell, 0);
    EXPECT_EQ(changes.begin()->word, 0x00010000u);
    EXPECT_TRUE(result.currentChannelRead);
    EXPECT_EQ(cellAt(state, 0, 0), std::pair(0x00010000u, 42u));
    EXPECT_EQ(cellAt(state, 0, 1), std::pair(0xAAAA0000u, 7u));
    EXPECT_EQ(cellAt(state, 0, 2), std::pair(0xBBBB0000u, 42u));
    EXPECT_EQ(cellAt(state, 0, 3), std::pair(0u, 0u));
}

TEST_F(RefreshTickTest, FailedReadsStoreNothing) {
    state.SImode[0] = board::SImodeAddress;
    state.SIbuffer[0][9] = {0x12340000u, 3};
    driver.fail(board::IOCTL_SI_READ);
    answerReads(driver, [](int, int) -> std::uint32_t { return 0xFFFF0000u; });

    (void)reception::readRunningChannels(driver, state);

    EXPECT_EQ(cellAt(state, 0, 9), std::pair(0x12340000u, 3u));
    EXPECT_EQ(cellAt(state, 0, 10), std::pair(0u, 0u));
}

TEST_F(RefreshTickTest, EachChannelKeepsItsOwnWordsAndStoppedChannelsAreUntouched) {
    state.SImode[2] = board::SImodeAddress;
    state.SImode[7] = board::SImodeFile;
    state.SIbuffer[3][0] = {0x55550000u, 1};
    state.CurSI = 7;
    state.SIchannelNo = 8;
    state.TickCount = 9;
    answerReads(driver, [](int channelNo, int index) -> std::uint32_t {
        return (static_cast<std::uint32_t>(channelNo) << 24) | 0x10000u |
               static_cast<std::uint32_t>(index);
    });

    const auto result = reception::readRunningChannels(driver, state);

    EXPECT_TRUE(result.currentChannelRead);
    EXPECT_EQ(cellAt(state, 2, 17), std::pair(0x03010011u, 9u));
    EXPECT_EQ(cellAt(state, 7, 255), std::pair(0x080100FFu, 9u));
    EXPECT_EQ(cellAt(state, 3, 0), std::pair(0x55550000u, 1u));
    EXPECT_EQ(cellAt(state, 0, 0), std::pair(0u, 0u));
}

TEST(ReceivedWord, UpperHalfDecides) {
    EXPECT_FALSE(reception::isReceivedWord(0));
    EXPECT_FALSE(reception::isReceivedWord(0x0000FFFFu));
    EXPECT_TRUE(reception::isReceivedWord(0x00010000u));
    EXPECT_TRUE(reception::isReceivedWord(0x80000000u));
}

} // namespace
