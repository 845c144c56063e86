// The label watch over the simulated board's built-in stream, checked against the example
// database, with the example faults in the stream of input 5: every flag where a fault puts
// it and nowhere else.

#include "analysis/label_database_file.h"
#include "analysis/label_watch.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

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

std::shared_ptr<const analysis::LabelDatabase> exampleDatabase() {
    analysis::LabelDatabaseLoad load =
        analysis::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    EXPECT_TRUE(load.ok()) << load.error.line << " " << load.error.column << " " << load.error.why;
    return std::make_shared<const analysis::LabelDatabase>(std::move(*load.database));
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
    analysis::LabelDatabaseLoad load =
        analysis::parseLabelDatabase("label,name,encoding,bits,resolution,max_interval_ms\n"
                                     "270,Discretes,BNR,10,1,1000\n"
                                     "203,Altitude,BNR,17,1,75\n");
    ASSERT_TRUE(load.ok());
    analysis::LabelWatchTable table;
    table.setDatabase(std::make_shared<const analysis::LabelDatabase>(std::move(*load.database)));
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

} // namespace
