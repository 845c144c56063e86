// The example stimulus sent from output 1 of the simulated board at 12.5 kbit/s and watched
// on input 1 in file mode against the example database: every label arrives with the value
// its law gives, at its interval, and nothing is flagged but the faults put there on purpose.

#include "analysis/label_watch.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"
#include "transmission/stimulus_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr std::int64_t kTickMs = 100;
constexpr std::int64_t kNanosPerMs = 1'000'000;

class StimulusOnTheSimulatedBoard : public testing::Test {
protected:
    void SetUp() override {
        labels::LabelDatabaseLoad load =
            labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
        ASSERT_TRUE(load.ok());
        database = std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
        transmission::StimulusLoad stimulus =
            transmission::loadStimulusFile(ZELVA_EXAMPLES_DIR "/stimulus.csv", *database);
        ASSERT_TRUE(stimulus.ok());
        parameters = std::move(stimulus.parameters);

        board::buildBoardList(driver, *state);
        board::applyBoard(driver, *state, 0); // output 1 feeds input 1, 12.5 kbit/s
        board::initializeBoard(driver, *state);
        (void)reception::selectInputChannel(*state, 0, lookup, formatTable, assignments);
        reception::startReception(driver, *state, reception::ReceptionMode::File);
        table.setDatabase(database);
    }

    /// Runs the stimulus and the refresh for `seconds`, checking after each tick that every
    /// label's last word holds what its law gave within the time the word can be old.
    void run(int seconds) {
        const transmission::ScheduleCheck check =
            transmission::StimulusRun::check(parameters, 0, transmission::ScheduleMode::Strict);
        ASSERT_TRUE(check.ok) << check.why;
        transmission::StimulusRun stimulus(driver, state->DeviceHandle, 1, 0, parameters,
                                           clock.now());
        auto changes = std::make_unique<reception::ChangedCells>();
        auto formats = std::make_unique<reception::AllChannelsFormatLookup>();
        std::int64_t nextTick = clock.now() + kTickMs * kNanosPerMs;
        while (clock.now() < seconds * 1000LL * kNanosPerMs) {
            clock.set(std::min(stimulus.nextLook(), nextTick));
            ASSERT_TRUE(stimulus.step(clock.now())) << stimulus.sender().failure();
            if (clock.now() < nextTick)
                continue;
            (void)reception::beginRefreshTick(*state, kTickMs);
            (void)reception::readRunningChannels(driver, *state, changes.get());
            table.takeTick(*state, *changes, *formats, clock.now() / kNanosPerMs);
            nextTick += kTickMs * kNanosPerMs;
            checkValues(clock.now());
        }
        for (std::size_t index = 0; index < parameters.size(); ++index)
            EXPECT_FALSE(stimulus.sender().schedule().timing(index).outsideWindow) << index;
    }

    void checkValues(std::int64_t now) {
        for (std::size_t index = 0; index < table.size(); ++index) {
            const analysis::LabelWatchRow& row = table.row(index);
            const auto parameter =
                std::find_if(parameters.begin(), parameters.end(),
                             [&](const auto& p) { return p.label == row.label; });
            if (row.changes == 0 || parameter == parameters.end() || parameter->outsideRange)
                continue;
            // The word went out at most an interval and a tick ago.
            const double seconds = static_cast<double>(now) / 1e9;
            const double age = (parameter->intervalMs + kTickMs) / 1000.0;
            double least = transmission::valueAt(parameter->law, seconds);
            double greatest = least;
            for (double t = seconds - age; t < seconds; t += 0.001) {
                least = std::min(least, transmission::valueAt(parameter->law, t));
                greatest = std::max(greatest, transmission::valueAt(parameter->law, t));
            }
            const double value = *labels::engineeringValue(row.word, *row.definition);
            const double resolution = row.definition->resolution;
            ASSERT_GE(value, least - resolution) << std::oct << int{row.label} << " at " << now;
            ASSERT_LE(value, greatest + resolution) << std::oct << int{row.label} << " at " << now;
        }
    }

    std::map<int, int> flagsByLabel() const {
        std::map<int, int> flags;
        for (std::size_t index = 0; index < table.size(); ++index)
            flags[table.row(index).label] = table.row(index).flags;
        return flags;
    }

    std::shared_ptr<const labels::LabelDatabase> database;
    std::vector<transmission::StimulusParameter> parameters;
    board::ManualSimClock clock;
    board::simulated::SimulatedDriver driver{board::simulated::defaultSimulatorConfig(), clock};
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    analysis::LabelWatchTable table;
};

TEST_F(StimulusOnTheSimulatedBoard, EveryLabelWithItsLawsValueAndNothingFlagged) {
    run(60);
    ASSERT_EQ(table.size(), parameters.size());
    for (const auto& [label, flags] : flagsByLabel())
        EXPECT_EQ(flags, 0) << std::oct << label;
}

TEST_F(StimulusOnTheSimulatedBoard, FaultsOnPurposeAreExactlyTheFlagsThatCome) {
    for (transmission::StimulusParameter& parameter : parameters) {
        if (parameter.label == 0206) { // computed airspeed above its 450 kt
            parameter.law.value = 500.0;
            parameter.outsideRange = true;
        }
        if (parameter.label == 0210)
            parameter.wrongParity = true;
    }
    run(10);
    std::map<int, int> expected;
    for (const transmission::StimulusParameter& parameter : parameters)
        expected[parameter.label] = 0;
    expected[0206] = analysis::kFlagRange;
    expected[0210] = analysis::kFlagParity;
    EXPECT_EQ(flagsByLabel(), expected);
}

} // namespace
