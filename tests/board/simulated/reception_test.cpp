#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace sim_testing;

TEST(AddressReception, FilesEachWordAtItsLabel) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    const std::vector<std::uint32_t> words = {wordWithLabel(0203, 1), wordWithLabel(0017, 2),
                                              wordWithLabel(0377, 3)};
    bench.startCyclic(1, words);
    bench.clock.advanceMs(5);

    const auto cells = bench.readAll(1);
    EXPECT_EQ(cells[0203], words[0]);
    EXPECT_EQ(cells[0017], words[1]);
    EXPECT_EQ(cells[0377], words[2]);
    EXPECT_EQ(bench.receivedCells(1), 3) << "cells never written since the start read 0";
}

TEST(AddressReception, ALaterWordReplacesTheOneAtItsLabel) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startAddress(1);
    bench.startSingle(1, {wordWithLabel(0100, 1), wordWithLabel(0100, 2)});
    bench.clock.advanceMs(1);
    EXPECT_EQ(bench.read(1, 0100), wordWithLabel(0100, 2));
}

TEST(FileReception, StoresInArrivalOrderAndWrapsToCellZero) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    const auto first = labelledWords(250, 0x1000);
    bench.startSingle(1, first);
    bench.clock.advanceMs(100);
    const auto second = labelledWords(10, 0x5000);
    bench.startSingle(1, second);
    bench.clock.advanceMs(100);

    const auto cells = bench.readAll(1);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cells[250 + i], second[i]) << "cell " << 250 + i;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(cells[i], second[6 + i]) << "cell " << i;
    EXPECT_EQ(cells[4], first[4]);
    EXPECT_EQ(cells[249], first[249]);
}

TEST(Reception, StartClearsTheCellsAndTheFilePosition) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    bench.startSingle(1, labelledWords(20));
    bench.clock.advanceMs(20);
    ASSERT_EQ(bench.receivedCells(1), 20);

    bench.startFile(1);
    EXPECT_EQ(bench.receivedCells(1), 0);
    const auto words = labelledWords(2, 0x900);
    bench.startSingle(1, words);
    bench.clock.advanceMs(1);
    EXPECT_EQ(bench.read(1, 0), words[0]);
    EXPECT_EQ(bench.read(1, 1), words[1]);
    EXPECT_EQ(bench.receivedCells(1), 2);
}

TEST(Reception, WordsSentBeforeTheStartAreNotReceived) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startSingle(1, labelledWords(10));
    bench.clock.advance(5 * wordTime(k100kbit));
    bench.startFile(1);
    bench.clock.advanceMs(10);
    EXPECT_EQ(bench.receivedCells(1), 5);
    EXPECT_EQ(bench.read(1, 0), labelledWords(10)[5]);
}

TEST(Reception, StoppedChannelKeepsItsWordsAndTakesNoMore) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    bench.startCyclic(1, labelledWords(3));
    bench.clock.advance(2 * wordTime(k100kbit));
    bench.stopInput(1);
    EXPECT_FALSE(bench.inputActive(1));
    bench.clock.advanceMs(500);
    EXPECT_EQ(bench.receivedCells(1), 2);
}

// However often or seldom the monitor looks, the buffer must end up the same: catching up
// after a long pause may skip only words that later ones overwrote.
struct Scenario {
    bool fileMode;
    int arraySize;
    board::SimTime pollEvery;
};

std::array<std::uint32_t, 256> runScenario(const Scenario& s) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    s.fileMode ? bench.startFile(1) : bench.startAddress(1);
    s.fileMode ? bench.startFile(6) : bench.startAddress(6);
    auto words = labelledWords(s.arraySize, 0x300);
    words[4] = wordWithLabel(0150, 0x1);
    bench.startCyclic(1, words);
    const board::SimTime end = 3'000 * kMs + 123 * kUs;
    const board::SimTime writeAt = 1'000 * kMs + 7 * kUs;
    bool written = false;
    while (bench.clock.now() < end) {
        const board::SimTime step = std::min(s.pollEvery, end - bench.clock.now());
        if (!written && bench.clock.now() + step > writeAt) {
            bench.clock.set(writeAt);
            // The word at position 4 moves to another label: its old label keeps the old word.
            bench.writeWord(1, 4, wordWithLabel(0151, 0x2));
            written = true;
            continue;
        }
        bench.clock.advance(step);
        static_cast<void>(bench.read(1, 0));
        static_cast<void>(bench.read(6, 0));
    }
    auto cells = bench.readAll(1);
    const auto traffic = bench.readAll(6);
    // Fold the built-in traffic in, so that both sources are compared.
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] ^= traffic[i] * 3u;
    return cells;
}

class CatchUp : public ::testing::TestWithParam<std::pair<bool, int>> {};

TEST_P(CatchUp, LongPausesLeaveTheSameBufferAsFrequentPolling) {
    const auto [fileMode, arraySize] = GetParam();
    const auto often = runScenario({fileMode, arraySize, 1 * kMs});
    for (board::SimTime pause : {97 * kMs, 733 * kMs, 10'000 * kMs})
        EXPECT_EQ(runScenario({fileMode, arraySize, pause}), often)
            << "pause " << pause / kMs << " ms";
}

INSTANTIATE_TEST_SUITE_P(ModesAndSizes, CatchUp,
                         ::testing::Values(std::pair{false, 7}, std::pair{false, 256},
                                           std::pair{true, 7}, std::pair{true, 255}));

TEST(CatchUp, HoursWithoutARequestCostNoMoreThanABufferful) {
    SimBench bench;
    bench.init(k100kbit, k100kbit);
    bench.startFile(1);
    bench.startCyclic(1, labelledWords(255));
    bench.clock.advance(10LL * 3600 * 1'000 * kMs);
    // 10 h at 2777.8 words/s = 100 000 000 words: delivery 99 999 999 landed in cell
    // 99 999 999 % 256 = 255 and carried word 99 999 999 % 255 = 219; the one before it
    // went to cell 254 with word 218.
    const auto words = labelledWords(255);
    EXPECT_EQ(bench.read(1, 255), words[219]);
    EXPECT_EQ(bench.read(1, 254), words[218]);
}

} // namespace
