#include "format_test_helpers.h"

#include "analysis/label_watch.h"
#include "analysis/word_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

using analysis::LabelWatchTable;
using reception::CellChange;
using reception::ChangedCells;

// Bit 32 set or not so that the word has odd parity.
std::uint32_t withOddParity(std::uint32_t word) {
    word &= 0x7FFFFFFFu;
    return analysis::hasOddParity(word) ? word : word | 0x80000000u;
}

ChangedCells changesOf(std::initializer_list<CellChange> list) {
    ChangedCells changes;
    for (const CellChange& change : list)
        changes.add(change);
    return changes;
}

std::vector<std::pair<std::size_t, std::size_t>> runsOf(const LabelWatchTable& table) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const analysis::RowRun& run : table.changedRuns())
        runs.emplace_back(run.first, run.last);
    return runs;
}

class LabelWatchTest : public testing::Test {
protected:
    void SetUp() override {
        // Label 203 on input 2 in knots: bits 28..18, 512 kt at bit 28.
        formats.channels[1].slots[0203] =
            reception_testing::makeFormat("CAS", 0, 28, 18, 512.0f, "kt");
    }
    void tick(std::initializer_list<CellChange> list, std::int64_t nowMs) {
        const ChangedCells changes = changesOf(list);
        table.takeTick(changes, formats, nowMs);
    }
    static std::uint32_t knots(unsigned steps) { return withOddParity(0203u | (steps << 17)); }

    reception::AllChannelsFormatLookup formats;
    LabelWatchTable table;
};

TEST_F(LabelWatchTest, RowsArePerChannelAndLabelWhicheverCellTheWordLandsIn) {
    // File mode on input 2 puts label 203 in cells 0 and 5, address mode on input 3 in 0203.
    tick({{1, 0, knots(1)}, {2, 0203, knots(1)}, {1, 5, knots(2)}}, 100);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.rowsBeforeTick(), 0u);
    EXPECT_EQ(table.row(0).channelIndex, 1);
    EXPECT_EQ(table.row(0).label, 0203);
    EXPECT_EQ(table.row(0).word, knots(2));
    EXPECT_EQ(table.row(0).changes, 2u);
    EXPECT_EQ(table.row(1).channelIndex, 2);
    EXPECT_TRUE(table.changedRuns().empty()) << "new rows are inserted, not changed";
}

TEST_F(LabelWatchTest, FileModeThatWrappedRoundKeepsTheNewestWordLast) {
    // Cells 254, 255, then 0, 1 were written in that order; cells 2..253 kept their words.
    tick({{1, 0, knots(3)}, {1, 1, knots(4)}, {1, 254, knots(1)}, {1, 255, knots(2)}}, 0);
    EXPECT_EQ(table.row(0).word, knots(4));
    EXPECT_EQ(table.row(0).changes, 4u);
    // Address mode on another input at the same time changes nothing of that.
    tick({{0, 0203, knots(5)}, {1, 2, knots(5)}, {1, 3, knots(6)}}, 100);
    EXPECT_EQ(table.row(0).word, knots(6));
}

TEST_F(LabelWatchTest, CountsChangesParityErrorsAndTheRangeOfValues) {
    tick({{1, 0203, knots(4)}}, 0);
    tick({{1, 0203, knots(1)}}, 100);
    tick({{1, 0203, knots(1) ^ 0x80000000u}}, 200); // parity broken
    // The same word in another cell is no change of the label.
    tick({{1, 7, knots(1) ^ 0x80000000u}}, 300);
    const analysis::LabelWatchRow& row = table.row(0);
    EXPECT_EQ(row.changes, 3u);
    EXPECT_EQ(row.parityErrors, 1u);
    EXPECT_EQ(row.lastChangeMs, 200);
    ASSERT_TRUE(row.hasRange);
    EXPECT_DOUBLE_EQ(row.least, 0.5); // one step of bit 18: 512 / 2^10
    EXPECT_DOUBLE_EQ(row.greatest, 2.0);
    // All field bits and the sign set: one step below zero.
    tick({{1, 0203, withOddParity(0203u | 0x10000000u | (0x7FFu << 17))}}, 400);
    EXPECT_DOUBLE_EQ(table.row(0).least, -0.5);
}

TEST_F(LabelWatchTest, ALabelWithoutFormatOrWithADamagedOneHasNoRange) {
    formats.channels[1].slots[0204] = reception_testing::makeFormat("BAD", 0, 40, 0, 1.0f, "");
    tick({{0, 0203, knots(3)}, {1, 0204, withOddParity(0204u | 0xFFFFFF00u)}}, 0);
    EXPECT_FALSE(table.row(0).hasRange) << "input 1 has no format for 203";
    EXPECT_FALSE(table.row(1).hasRange);
    EXPECT_EQ(table.row(1).changes, 1u);
}

TEST_F(LabelWatchTest, ChangedRunsNameOnlyTheRowsThatChanged) {
    tick({{0, 1, withOddParity(1)},
          {0, 2, withOddParity(2)},
          {0, 3, withOddParity(3)},
          {0, 4, withOddParity(4)}},
         0);
    tick({{0, 1, withOddParity(0x101)},
          {0, 3, withOddParity(0x103)},
          {0, 4, withOddParity(0x104)},
          {0, 9, withOddParity(9)}},
         100);
    using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(runsOf(table), (Runs{{0, 0}, {2, 3}}));
    EXPECT_EQ(table.rowsBeforeTick(), 4u);
    EXPECT_EQ(table.size(), 5u);
    tick({}, 200);
    EXPECT_TRUE(table.changedRuns().empty());
    EXPECT_EQ(table.rowsBeforeTick(), 5u);
}

TEST_F(LabelWatchTest, ALabelIsStaleOnlyAfterTheLimitWithoutChange) {
    tick({{0, 1, withOddParity(1)}}, 1000);
    EXPECT_FALSE(table.isStale(0, 3000)) << "2 s is the limit, not past it";
    EXPECT_TRUE(table.isStale(0, 3001));
    table.setStaleLimitMs(5000);
    EXPECT_FALSE(table.isStale(0, 3001));
    tick({{0, 1, withOddParity(0x201)}}, 5000);
    EXPECT_FALSE(table.isStale(0, 9000));
}

TEST_F(LabelWatchTest, ClearForgetsEveryRowAndTheFilterPicksAChannel) {
    tick({{0, 1, withOddParity(1)}, {7, 1, withOddParity(1)}}, 0);
    table.setChannelFilter(8);
    EXPECT_FALSE(table.isShown(0));
    EXPECT_TRUE(table.isShown(1));
    table.setChannelFilter(0);
    EXPECT_TRUE(table.isShown(0));

    table.clear();
    EXPECT_EQ(table.size(), 0u);
    tick({{7, 1, withOddParity(1)}}, 100);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.row(0).channelIndex, 7);
    EXPECT_EQ(table.row(0).changes, 1u) << "counts start again";
}

} // namespace
