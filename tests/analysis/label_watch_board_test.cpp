// The label watch over the simulated board's built-in stream, checked against the example
// database, with the example faults in the stream of input 5: every flag where a fault puts
// it and nowhere else.

#include "analysis/label_watch.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kTickMs = 500;

struct BoardRun {
    explicit BoardRun(const board::simulated::SimulatorConfig& config) : driver(config, clock) {
        board::buildBoardList(driver, *state);
        board::applyBoard(driver, *state, 0);
        board::initializeBoard(driver, *state);
    }
    void start(std::uint16_t tabIndex, reception::ReceptionMode mode) {
        (void)reception::selectInputChannel(*state, tabIndex, lookup, formatTable, assignments);
        reception::startReception(driver, *state, mode);
    }
    void tick(analysis::LabelWatchTable& table) {
        clock.advanceMs(kTickMs);
        (void)reception::beginRefreshTick(*state, kTickMs);
        (void)reception::readRunningChannels(driver, *state, changes.get());
        table.takeTick(*state, *changes, *formats, clock.now() / 1'000'000);
    }

    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver;
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    std::unique_ptr<reception::ChangedCells> changes = std::make_unique<reception::ChangedCells>();
    std::unique_ptr<reception::AllChannelsFormatLookup> formats =
        std::make_unique<reception::AllChannelsFormatLookup>();
};

std::shared_ptr<const labels::LabelDatabase> exampleDatabase() {
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    EXPECT_TRUE(load.ok()) << load.error.line << " " << load.error.column << " " << load.error.why;
    return std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
}

// (channel number, label) -> flags, for every row of the table.
std::map<std::pair<int, int>, int> flagsByRow(const analysis::LabelWatchTable& table) {
    std::map<std::pair<int, int>, int> flags;
    for (std::size_t index = 0; index < table.size(); ++index)
        flags[{table.row(index).channelIndex + 1, table.row(index).label}] = table.row(index).flags;
    return flags;
}

TEST(LabelWatchOnTheSimulatedBoard, EveryFlagWhereTheExampleFaultsPutItAndNowhereElse) {
    const board::simulated::SimConfigResult config =
        board::simulated::loadSimulatorConfig(ZELVA_EXAMPLES_DIR "/label-faults.cfg");
    ASSERT_TRUE(config.ok()) << config.errorLine << " " << config.error;
    BoardRun run(config.config);
    run.start(4, reception::ReceptionMode::File);    // input 5: the faults, every word shown
    run.start(5, reception::ReceptionMode::Address); // input 6: clean, only changes shown
    analysis::LabelWatchTable table;
    table.setDatabase(exampleDatabase());
    for (int tick = 0; tick < 60 * 1000 / kTickMs; ++tick)
        run.tick(table);

    std::map<std::pair<int, int>, int> expected;
    for (const int label : {0203, 0212, 0206, 0210, 0320, 0324, 0325, 0310, 0311}) {
        expected[{5, label}] = 0;
        expected[{6, label}] = 0;
    }
    expected[{5, 0206}] = analysis::kFlagRange;
    expected[{5, 0325}] = analysis::kFlagSsm;
    expected[{5, 0310}] = analysis::kFlagInterval;
    EXPECT_EQ(flagsByRow(table), expected);

    const analysis::LabelWatchSummary summary = table.summary();
    EXPECT_EQ(summary.ok, 15);
    EXPECT_EQ(summary.flagged, 3);
    EXPECT_EQ(summary.missing + summary.unknown, 0);
    for (std::size_t index = 0; index < table.size(); ++index) {
        const analysis::LabelWatchRow& row = table.row(index);
        if (row.channelIndex == 5) {
            EXPECT_EQ(row.interval, analysis::IntervalJudgement::CannotTell) << "address mode";
            continue;
        }
        EXPECT_EQ(row.interval, row.label == 0310 ? analysis::IntervalJudgement::TooOften
                                                  : analysis::IntervalJudgement::Within)
            << std::oct << int{row.label};
    }

    // File reception started again between two ticks begins at cell 0 with cleared cells:
    // the count starts again, nothing is flagged that was not, and the interval comes back.
    run.start(4, reception::ReceptionMode::File);
    for (int tick = 0; tick < 20; ++tick) {
        run.tick(table);
        for (const auto& [row, flags] : flagsByRow(table))
            EXPECT_EQ(flags & ~expected[row], 0)
                << "tick " << tick << " label " << std::oct << row.second;
    }
    EXPECT_EQ(flagsByRow(table), expected);
}

TEST(LabelWatchOnTheSimulatedBoard, LabelsMissingFromTheStreamAndLabelsNotInTheDatabase) {
    BoardRun run(board::simulated::defaultSimulatorConfig());
    run.start(4, reception::ReceptionMode::File);
    run.start(5, reception::ReceptionMode::Address);
    // Label 270 is expected every second at most; 212 is not in this database.
    labels::LabelDatabaseLoad load =
        labels::parseLabelDatabase("label,name,encoding,bits,resolution,max_interval_ms\n"
                                   "270,Discretes,BNR,10,1,1000\n"
                                   "203,Altitude,BNR,17,1,75\n");
    ASSERT_TRUE(load.ok());
    analysis::LabelWatchTable table;
    table.setDatabase(std::make_shared<const labels::LabelDatabase>(std::move(*load.database)));
    run.tick(table);
    run.tick(table);
    std::map<std::pair<int, int>, int> flags = flagsByRow(table);
    EXPECT_EQ((flags[{5, 0270}]), 0) << "not missing before its greatest interval";
    EXPECT_EQ((flags[{5, 0212}]), analysis::kFlagUnknown);
    EXPECT_EQ((flags[{6, 0203}]), 0);
    // File mode judges up to the tick the next one proves: a tick later than address mode.
    for (int tick = 0; tick < 3; ++tick)
        run.tick(table);
    flags = flagsByRow(table);
    EXPECT_EQ((flags[{5, 0270}]), analysis::kFlagMissing);
    EXPECT_EQ((flags[{6, 0270}]), analysis::kFlagMissing);
    EXPECT_EQ((flags[{5, 0203}]), 0);
    const analysis::LabelWatchSummary summary = table.summary();
    EXPECT_EQ(summary.missing, 2);
    EXPECT_EQ(summary.unknown, 16);
    EXPECT_EQ(summary.ok, 2);
}

// A word put together from the standard, apart from the decoder: label in bits 1-8, the
// two's-complement field below the sign bit 29, SSM in bits 30-31, odd parity in bit 32.
std::uint32_t bnrWord(std::uint8_t label, std::int64_t steps, int bits, unsigned ssm = 3) {
    const std::uint64_t field = static_cast<std::uint64_t>(steps) & ((1ull << (bits + 1)) - 1);
    std::uint32_t word = label | static_cast<std::uint32_t>(field << (28 - bits)) | ssm << 29;
    if (std::popcount(word) % 2 == 0)
        word |= 0x80000000u;
    return word;
}

std::string hex(std::uint32_t word) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%08x", word);
    return text.data();
}

board::simulated::SimulatorConfig configOf(const std::string& text) {
    const board::simulated::SimConfigResult config = board::simulated::parseSimulatorConfig(text);
    EXPECT_TRUE(config.ok()) << config.errorLine << " " << config.error;
    return config.config;
}

std::shared_ptr<const labels::LabelDatabase> databaseOf(const std::string& rows) {
    labels::LabelDatabaseLoad load = labels::parseLabelDatabase(
        "label,sdi,channel,name,encoding,bits,resolution,min,max,min_interval_ms,"
        "max_interval_ms,discretes\n" +
        rows);
    EXPECT_TRUE(load.ok()) << load.error.line << " " << load.error.column << " " << load.error.why;
    return std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
}

// Rows for the channels given: "" is any.
std::string airData(const std::string& channel203, const std::string& channel206,
                    const std::string& channel210, const std::string& channel212) {
    std::string rows;
    rows += "203,," + channel203 + ",Высота,BNR,17,1,-1000,50000,50,75,\n";
    rows += "206,," + channel206 + ",Приборная,BNR,14,0.0625,30,450,50,75,\n";
    rows += "210,," + channel210 + ",Истинная,BNR,15,0.0625,50,600,50,75,\n";
    rows += "212,," + channel212 + ",Вертикальная,BNR,11,16,-20000,20000,50,75,\n";
    return rows;
}

std::string airDataWords() {
    return hex(bnrWord(0203, 10000, 17)) + " " + hex(bnrWord(0206, 250 * 16, 14)) + " " +
           hex(bnrWord(0210, 290 * 16, 15)) + " " + hex(bnrWord(0212, 100, 11));
}

// Ticks for `seconds`, failing at the first tick that flags anything.
void tickWithoutFlags(BoardRun& run, analysis::LabelWatchTable& table, int seconds) {
    for (int tick = 0; tick < seconds * 1000 / kTickMs; ++tick) {
        run.tick(table);
        for (const auto& [row, flags] : flagsByRow(table)) {
            ASSERT_EQ(flags, 0) << "tick " << tick << " input " << row.first << " label "
                                << std::oct << row.second;
        }
    }
}

TEST(LabelWatchOnTheSimulatedBoard, AConstantCyclicTableIsNeverMissingNorOffItsInterval) {
    // Repeat lengths that divide 256: once the buffer has gone round no cell changes. A length
    // that does not divide it changes every cell each time round, so its words are counted.
    BoardRun run(configOf("table 0 input 5 every 60 words " + hex(bnrWord(0203, 10000, 17)) +
                          "\ntable 0 input 6 every 15 words " + airDataWords() +
                          "\ntable 0 input 7 every 20 words " + hex(bnrWord(0203, 10000, 17)) +
                          " " + hex(bnrWord(0206, 250 * 16, 14)) + " " +
                          hex(bnrWord(0210, 290 * 16, 15)) + "\n"));
    for (const std::uint16_t tab : {4, 5, 6})
        run.start(tab, reception::ReceptionMode::File);
    analysis::LabelWatchTable table;
    // Input 5 sends 203 alone, input 7 no 212.
    table.setDatabase(databaseOf(airData("", "6", "6", "6") +
                                 "206,,7,Приборная,BNR,14,0.0625,,,50,75,\n" +
                                 "210,,7,Истинная,BNR,15,0.0625,,,50,75,\n"));
    tickWithoutFlags(run, table, 40);
    for (std::size_t index = 0; index < table.size(); ++index) {
        const analysis::LabelWatchRow& row = table.row(index);
        if (row.channelIndex == 6 && row.label != 0212) {
            EXPECT_EQ(row.interval, analysis::IntervalJudgement::Within) << std::oct << row.label;
        } else if (row.channelIndex != 6) {
            EXPECT_EQ(row.interval, analysis::IntervalJudgement::CannotTell)
                << row.channelIndex << " " << std::oct << row.label;
        }
    }
}

TEST(LabelWatchOnTheSimulatedBoard, ALabelWhoseWordsLookEmptyIsNeverMissing) {
    // Label 271 with every discrete clear, SDI 00, SSM 00: 0x000000B9, odd parity from the
    // label alone; the board shows it as an empty cell.
    const std::string words =
        hex(bnrWord(0203, 10000, 17)) + " " + hex(bnrWord(0206, 250 * 16, 14)) + " 0x000000b9";
    BoardRun run(configOf("table 0 input 5 every 20 words " + words +
                          "\ntable 0 input 6 every 20 words " + words + "\n"));
    run.start(4, reception::ReceptionMode::File);
    run.start(5, reception::ReceptionMode::Address);
    analysis::LabelWatchTable table;
    table.setDatabase(
        databaseOf(airData("", "", "1", "1") + "271,,,Насосы,DISC,,,,,50,75,11:насос 1\n"));
    tickWithoutFlags(run, table, 60);
    for (std::size_t index = 0; index < table.size(); ++index) {
        if (table.row(index).label == 0271) {
            EXPECT_EQ(table.row(index).interval, analysis::IntervalJudgement::Unseen);
        }
    }
}

TEST(LabelWatchOnTheSimulatedBoard, ALabelExpectedWhereverARowAppliesWhateverItsSdi) {
    // On input 1 every SDI of 203 takes the row of channel 1; the row of SDI 2 on any channel
    // serves the other inputs. Nothing comes on input 1, so 203 is missing there.
    BoardRun run(configOf("idle 0 input 1\n"));
    run.start(0, reception::ReceptionMode::Address);
    analysis::LabelWatchTable table;
    table.setDatabase(databaseOf("203,,1,Высота,BNR,17,1,,,,1000,\n"
                                 "203,2,,Высота 2,BNR,17,1,,,,1000,\n"));
    for (int tick = 0; tick < 4; ++tick)
        run.tick(table);
    const std::map<std::pair<int, int>, int> flags = flagsByRow(table);
    ASSERT_EQ(flags.count({1, 0203}), 1u);
    EXPECT_EQ((flags.at({1, 0203})), analysis::kFlagMissing);
}

} // namespace
