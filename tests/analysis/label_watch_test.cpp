#include "format_test_helpers.h"

#include "analysis/label_watch.h"
#include "labels/label_database_file.h"
#include "labels/word_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

using analysis::LabelWatchTable;
using reception::CellChange;
using reception::ChangedCells;

// Bit 32 set or not so that the word has odd parity.
std::uint32_t withOddParity(std::uint32_t word) {
    word &= 0x7FFFFFFFu;
    return labels::hasOddParity(word) ? word : word | 0x80000000u;
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

namespace {

std::shared_ptr<const labels::LabelDatabase> databaseOf(const char* rows) {
    labels::LabelDatabaseLoad load = labels::parseLabelDatabase(
        std::string("label,sdi,name,encoding,bits,resolution,min,max\n") + rows);
    EXPECT_TRUE(load.ok()) << load.error.why;
    return std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
}

TEST_F(LabelWatchTest, RowsPerSdiWhereTheDatabaseNamesOneWithItsChecks) {
    table.setDatabase(databaseOf("203,1,Left,BNR,10,1,0,100\n203,2,Right,BNR,10,1,0,100\n"
                                 "204,,Any,BNR,10,1,,\n"));
    const auto word = [](unsigned sdi, unsigned steps, unsigned ssm) {
        return withOddParity(0203u | sdi << 8 | steps << 18 | ssm << 29);
    };
    tick({{0, 0203, word(1, 5, 3)},
          {0, 1, word(2, 500, 3)},
          {0, 2, word(3, 5, 3)},
          {0, 3, withOddParity(0204u | 2u << 8)},
          {0, 4, withOddParity(0204u | 1u << 8)}},
         0);
    ASSERT_EQ(table.size(), 4u) << "SDI 1, 2 and 3 of label 203 apart, label 204 as one";
    EXPECT_EQ(table.row(0).sdi, 1);
    EXPECT_EQ(table.row(0).definition->name, "Left");
    EXPECT_EQ(table.row(0).flags, 0);
    EXPECT_EQ(table.row(1).flags, analysis::kFlagRange) << "500 lies above 100";
    EXPECT_EQ(table.row(2).flags, analysis::kFlagUnknown) << "no row for SDI 3";
    EXPECT_EQ(table.row(3).sdi, -1);
    EXPECT_EQ(table.row(3).changes, 2u);
    EXPECT_EQ(table.row(3).flags, analysis::kFlagSsm) << "SSM 00 is a failure warning in BNR";

    table.setFlaggedOnly(true);
    EXPECT_FALSE(table.isShown(0));
    EXPECT_TRUE(table.isShown(1));
    const analysis::LabelWatchSummary summary = table.summary();
    EXPECT_EQ(summary.ok, 1);
    EXPECT_EQ(summary.flagged, 2);
    EXPECT_EQ(summary.unknown, 1);
}

TEST_F(LabelWatchTest, DataWithoutComputedValueIsNoRangeNorExtreme) {
    table.setDatabase(databaseOf("203,,Altitude,BNR,17,1,-1000,50000\n"));
    // SSM 01 with the sign set and a zero field: -131072 steps, but no computed data.
    tick({{0, 0203, withOddParity(0203u | 1u << 28 | 1u << 29)}}, 0);
    EXPECT_EQ(table.row(0).flags, analysis::kFlagSsm);
    EXPECT_FALSE(table.row(0).hasRange);
    tick({{0, 0203, withOddParity(0203u | 100u << 11 | 3u << 29)}}, 100);
    EXPECT_EQ(table.row(0).flags, 0);
    EXPECT_DOUBLE_EQ(table.row(0).least, 100.0);
}

TEST(LabelIntervals, ABoundIsBrokenOnlyWhenEveryPossiblePeriodBreaksIt) {
    labels::LabelDefinition definition;
    definition.leastIntervalMs = 50.0;
    definition.greatestIntervalMs = 75.0;
    using analysis::IntervalJudgement;
    // 11 words in 600 ms: the period lies in [50, 60].
    EXPECT_EQ(analysis::judgeInterval(11, 0, 600, definition), IntervalJudgement::Within);
    // 12 words: [46.2, 54.5], possibly too often, not surely.
    EXPECT_EQ(analysis::judgeInterval(12, 0, 600, definition), IntervalJudgement::Measuring);
    // 14 words: [40, 46.2].
    EXPECT_EQ(analysis::judgeInterval(14, 0, 600, definition), IntervalJudgement::TooOften);
    // 6 words: [85.7, 120].
    EXPECT_EQ(analysis::judgeInterval(6, 0, 600, definition), IntervalJudgement::TooSeldom);
    EXPECT_EQ(analysis::judgeInterval(0, 0, 80, definition), IntervalJudgement::TooSeldom);
    EXPECT_EQ(analysis::judgeInterval(1, 0, 100, definition), IntervalJudgement::Measuring);
    // Cells that may have been its words again: 6 sure and 5 maybe is not surely too seldom,
    // and 14 sure is too often whatever the maybe words were.
    EXPECT_EQ(analysis::judgeInterval(6, 5, 600, definition), IntervalJudgement::Measuring);
    EXPECT_EQ(analysis::judgeInterval(14, 3, 600, definition), IntervalJudgement::TooOften);
}

} // namespace
