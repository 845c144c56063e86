#include "test_support.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace sim_testing;

// Changed cells between two snapshots; with a 255-word cycle every rewrite of a cell in file
// mode changes it, so this counts the words that arrived (fewer than 256 between polls).
int changedCells(const std::array<std::uint32_t, 256>& before,
                 const std::array<std::uint32_t, 256>& after) {
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i] ? 1 : 0;
    return changed;
}

struct RateCase {
    std::uint8_t rateCode;
    int wordsInOneSecond; // words complete by 1 s: the last one ends 4 bit times before its slot
};

class CyclicRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(CyclicRate, DeliversOneWordEvery36BitTimes) {
    SimBench bench;
    bench.init(GetParam().rateCode, GetParam().rateCode);
    bench.startFile(1);
    bench.startCyclic(1, labelledWords(255));

    int delivered = 0;
    auto previous = bench.readAll(1);
    for (int poll = 0; poll < 100; ++poll) {
        bench.clock.advanceMs(10);
        const auto now = bench.readAll(1);
        delivered += changedCells(previous, now);
        previous = now;
    }
    EXPECT_EQ(delivered, GetParam().wordsInOneSecond);
    EXPECT_TRUE(bench.outputActive(1));
}

// 12 500 / 36 = 347.2, 50 000 / 36 = 1388.9, 100 000 / 36 = 2777.8 words a second; at 50 kbit/s
// word 1389 completes exactly at 1 s (1389 x 720 us - 80 us of gap).
INSTANTIATE_TEST_SUITE_P(RateCodes, CyclicRate,
                         ::testing::Values(RateCase{k12_5kbit, 347}, RateCase{k50kbit, 1389},
                                           RateCase{k100kbit, 2777}));

TEST(SingleTransmission, IsActiveForItsWordsThenStops) {
    struct Case {
        std::uint8_t rateCode;
        int words;
    };
    for (const Case c : {Case{k12_5kbit, 256}, Case{k50kbit, 10}, Case{k100kbit, 1}}) {
        SCOPED_TRACE(testing::Message()
                     << "rate " << int(c.rateCode) << ", " << c.words << " words");
        SimBench bench;
        bench.init(c.rateCode, c.rateCode);
        bench.startFile(1);
        bench.startSingle(1, labelledWords(c.words));
        const board::SimTime duration = c.words * wordTime(c.rateCode);

        bench.clock.advance(duration - 1);
        EXPECT_TRUE(bench.outputActive(1));
        bench.clock.advance(1);
        EXPECT_FALSE(bench.outputActive(1));
        bench.clock.advanceMs(1000);
        EXPECT_FALSE(bench.outputActive(1));
        EXPECT_EQ(bench.receivedCells(1), c.words);
    }
}

TEST(SingleTransmission, Of256WordsAtLowSpeedLastsAbout074Seconds) {
    SimBench bench;
    bench.init(k12_5kbit, k12_5kbit);
    bench.startSingle(1, labelledWords(256));
    bench.clock.advanceMs(737);
    EXPECT_TRUE(bench.outputActive(1));
    bench.clock.advanceMs(1);
    EXPECT_FALSE(bench.outputActive(1));
}

TEST(SingleTransmission, SendsTheLoadedWordsInOrderOnce) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(2);
    const auto words = labelledWords(5, 0x700);
    bench.startSingle(2, words);
    bench.clock.advanceMs(50);
    const auto cells = bench.readAll(2);
    for (std::size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(cells[i], words[i]) << "cell " << i;
    EXPECT_EQ(cells[5], 0u);
}

TEST(SingleTransmission, WordIsCompleteAfter32BitTimes) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    bench.startSingle(1, labelledWords(2));
    bench.clock.advance(320 * kUs - 1);
    EXPECT_EQ(bench.read(1, 0), 0u);
    bench.clock.advance(1);
    EXPECT_NE(bench.read(1, 0), 0u);
    EXPECT_EQ(bench.read(1, 1), 0u);
}

TEST(CyclicTransmission, RunsUntilStoppedAndSendsNothingAfter) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startCyclic(3, labelledWords(10));
    bench.clock.advanceMs(10'000);
    EXPECT_TRUE(bench.outputActive(3));
    bench.stopOutput(3);
    EXPECT_FALSE(bench.outputActive(3));

    bench.startFile(3);
    bench.clock.advanceMs(100);
    EXPECT_EQ(bench.receivedCells(3), 0);
}

TEST(CyclicTransmission, AnEmptyArrayPutsNothingOnTheBus) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startCyclic(1, {});
    EXPECT_FALSE(bench.outputActive(1));
}

TEST(CyclicTransmission, WrittenWordAppearsFromTheNextPassOn) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    const auto words = labelledWords(4, 0x100);
    bench.startCyclic(1, words);
    // Word 0 is complete, word 1 is on the bus; words 2 and 3 of this pass are still to go.
    bench.clock.advance(wordTime(k100kbit) + 100 * kUs);
    const std::uint32_t replacement = wordWithLabel(3, 0xABCDE);
    bench.writeWord(1, 2, replacement);
    bench.clock.advance(8 * wordTime(k100kbit));

    const auto cells = bench.readAll(1);
    EXPECT_EQ(cells[2], words[2]) << "this pass keeps the old word";
    EXPECT_EQ(cells[6], replacement);
    EXPECT_EQ(cells[5], words[1]);
    EXPECT_EQ(cells[7], words[3]);
}

TEST(CyclicTransmission, TwoWritesInOnePassBothTakeEffectTogether) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    const auto words = labelledWords(3, 0x100);
    bench.startCyclic(1, words);
    bench.writeWord(1, 0, wordWithLabel(1, 0x11111));
    bench.clock.advance(wordTime(k100kbit));
    bench.writeWord(1, 1, wordWithLabel(2, 0x22222));
    bench.clock.advance(6 * wordTime(k100kbit));

    const auto cells = bench.readAll(1);
    EXPECT_EQ(cells[0], words[0]);
    EXPECT_EQ(cells[1], words[1]);
    EXPECT_EQ(cells[3], wordWithLabel(1, 0x11111));
    EXPECT_EQ(cells[4], wordWithLabel(2, 0x22222));
    EXPECT_EQ(cells[5], words[2]);
}

TEST(Wiring, ReceiverAtAnotherRateHearsNothing) {
    for (std::uint8_t in = 0; in < 3; ++in)
        for (std::uint8_t out = 0; out < 3; ++out) {
            SCOPED_TRACE(testing::Message()
                         << "input rate " << int(in) << ", output rate " << int(out));
            SimBench bench;
            bench.init(in, out);
            bench.startAddress(1);
            bench.startCyclic(1, labelledWords(8));
            bench.clock.advanceMs(100);
            EXPECT_EQ(bench.receivedCells(1), in == out ? 8 : 0);
            EXPECT_TRUE(bench.inputActive(1));
        }
}

TEST(Wiring, OutputFeedsOnlyTheInputOfItsNumber) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    for (std::uint16_t no = 1; no <= 4; ++no)
        bench.startAddress(no);
    bench.startCyclic(2, labelledWords(3));
    bench.clock.advanceMs(10);
    EXPECT_EQ(bench.receivedCells(1), 0);
    EXPECT_EQ(bench.receivedCells(2), 3);
    EXPECT_EQ(bench.receivedCells(3), 0);
}

TEST(Lifecycle, BeforeInitialisationNothingRuns) {
    SimBench bench;
    bench.startCyclic(1, labelledWords(4));
    bench.startAddress(1);
    bench.clock.advanceMs(100);
    EXPECT_FALSE(bench.outputActive(1));
    EXPECT_FALSE(bench.inputActive(1));
    EXPECT_EQ(bench.read(1, 1), 0u);
}

TEST(Lifecycle, ResetStopsEverythingAndInitialisationStartsClean) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    bench.startFile(5);
    bench.startCyclic(1, labelledWords(4));
    bench.startSingle(2, labelledWords(200));
    bench.clock.advanceMs(5);
    ASSERT_EQ(bench.receivedCells(1), 4);

    bench.reset();
    EXPECT_FALSE(bench.outputActive(1));
    EXPECT_FALSE(bench.outputActive(2));
    EXPECT_FALSE(bench.inputActive(1));
    EXPECT_FALSE(bench.inputActive(5));
    EXPECT_EQ(bench.receivedCells(1), 0) << "reads fail on a board that is not running";

    bench.init(k100kbit, k100kbit);
    bench.clock.advanceMs(100);
    EXPECT_FALSE(bench.outputActive(1));
    EXPECT_FALSE(bench.inputActive(1));
    EXPECT_EQ(bench.receivedCells(1), 0);
}

TEST(Lifecycle, ChannelsTheBoardDoesNotHaveAreRefused) {
    SimBench bench(board::simulated::defaultSimulatorConfig(), 2); // the 4-channel board
    bench.init(k100kbit, k100kbit);
    board::AckReply ack{};
    EXPECT_FALSE(bench.driver.send(bench.handle, board::IOCTL_SI_STOP,
                                   board::bytesOf(board::ChannelRecord{5}),
                                   board::writableBytesOf(ack)));
    EXPECT_FALSE(bench.driver.send(bench.handle, board::IOCTL_SO_STOP,
                                   board::bytesOf(board::ChannelRecord{0}),
                                   board::writableBytesOf(ack)));
    board::SIReadReply reply{};
    EXPECT_FALSE(bench.driver.send(bench.handle, board::IOCTL_SI_READ,
                                   board::bytesOf(board::SIReadRequest{1, 1, 256}),
                                   board::writableBytesOf(reply)));
    EXPECT_TRUE(bench.driver.send(bench.handle, board::IOCTL_SO_STOP,
                                  board::bytesOf(board::ChannelRecord{4}),
                                  board::writableBytesOf(ack)));
}

} // namespace
