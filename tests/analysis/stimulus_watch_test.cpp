// Words by engineering value, each label at the interval its window gives, sent by the
// periodic schedule from output 1 of the simulated board and watched on input 1 in file mode
// against the same database: every label arrives at its interval and nothing is flagged.

#include "analysis/label_watch.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "labels/standard_encoding.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"
#include "transmission/periodic_sender.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr std::int64_t kTickMs = 100;

TEST(StimulusOnTheSimulatedBoard, EveryLabelAtItsIntervalAndTheWatchFlagsNothing) {
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    ASSERT_TRUE(load.ok());
    const auto database = std::make_shared<const labels::LabelDatabase>(std::move(*load.database));

    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver(board::simulated::defaultSimulatorConfig(), clock);
    auto state = std::make_unique<board::SharedState>();
    board::buildBoardList(driver, *state);
    board::applyBoard(driver, *state, 0); // output 1 feeds input 1, 12.5 kbit/s
    board::initializeBoard(driver, *state);
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    (void)reception::selectInputChannel(*state, 0, lookup, formatTable, assignments);
    reception::startReception(driver, *state, reception::ReceptionMode::File);

    // Each label in the middle of its range and of its window.
    std::vector<transmission::ScheduledWord> words;
    for (const labels::LabelDefinition& row : database->rows()) {
        const labels::Encoded word =
            labels::encodeWord(row, {.value = (*row.least + *row.greatest) / 4});
        ASSERT_TRUE(word.ok()) << row.name << ": " << word.why;
        words.push_back({.word = *word.word,
                         .intervalMs = (*row.leastIntervalMs + *row.greatestIntervalMs) / 2,
                         .leastMs = row.leastIntervalMs,
                         .greatestMs = row.greatestIntervalMs});
    }
    const transmission::ScheduleCheck check =
        transmission::checkSchedule(words, 0, transmission::ScheduleMode::Strict);
    ASSERT_TRUE(check.ok) << check.why;
    EXPECT_NEAR(check.busLoadPercent, 51.5, 0.5);
    transmission::PeriodicSender sender(driver, state->DeviceHandle, 1,
                                        transmission::BurstSchedule(words, 0, clock.now()));

    analysis::LabelWatchTable table;
    table.setDatabase(database);
    auto changes = std::make_unique<reception::ChangedCells>();
    auto formats = std::make_unique<reception::AllChannelsFormatLookup>();
    std::int64_t nextTick = clock.now() + kTickMs * 1'000'000;
    while (clock.now() < 60'000LL * 1'000'000) {
        const std::int64_t next = std::min(sender.nextLook(), nextTick);
        clock.set(next);
        ASSERT_TRUE(sender.step(clock.now())) << sender.failure();
        if (clock.now() >= nextTick) {
            (void)reception::beginRefreshTick(*state, kTickMs);
            (void)reception::readRunningChannels(driver, *state, changes.get());
            table.takeTick(*state, *changes, *formats, clock.now() / 1'000'000);
            nextTick += kTickMs * 1'000'000;
        }
    }
    ASSERT_EQ(table.size(), database->rows().size());
    for (std::size_t index = 0; index < table.size(); ++index) {
        const analysis::LabelWatchRow& row = table.row(index);
        EXPECT_EQ(row.flags, 0) << std::oct << int{row.label};
        EXPECT_EQ(row.changes, 1u) << "constant words";
        // Words that never change leave cells as they were, so the watch may not always be
        // able to tell their interval; the schedule knows what it achieved.
        const transmission::WordTiming& timing = sender.schedule().timing(index);
        EXPECT_FALSE(timing.outsideWindow) << std::oct << int{row.label};
        EXPECT_NEAR(static_cast<double>(timing.sent), 60'000.0 / words[index].intervalMs, 1.0);
    }
}

} // namespace
