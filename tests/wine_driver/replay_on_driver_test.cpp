// A recording replayed through the system's real device path under Wine: input 5 of board
// 1021 of the Wine test driver (the built-in stream) is recorded in file mode for a few
// seconds of wall time as the recorder writes it, then sent back as recorded from output 1 on
// the replay's own thread, every single transmission traced on its way to the driver. Each
// label keeps its words in their order and its rate; the rate is judged with room for the
// tick a recording stamps its words with: how well the timing holds is measured by
// benchmarks/replay_timing_benchmark, not here.

#include "replay/recorded_replay.h"

#include "analysis/arrival_order.h"
#include "analysis/recording_row.h"
#include "board/board_session.h"
#include "labels/word_fields.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"
#include "tests/wine_driver/traced_driver_board.h"
#include "transmission/burst_schedule.h"
#include "transmission/stimulus_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace board;
using transmission::kNanosPerMs;
using transmission::ScheduleTime;

constexpr auto kRecordLength = std::chrono::milliseconds(3000);
constexpr auto kTick = std::chrono::milliseconds(100); // the monitor's refresh interval
constexpr double kRateShare = 0.05;
constexpr std::size_t kFewestForRate = 10;

using Key = std::pair<int, int>; // label, SDI
using Timed = std::vector<std::pair<double, std::uint32_t>>;
Key keyOf(std::uint32_t word) { return {labels::wordLabel(word), labels::wordSdi(word)}; }

using wine_driver::BurstTrace;

double meanIntervalMs(const Timed& times) {
    return (times.back().first - times.front().first) / static_cast<double>(times.size() - 1);
}

TEST(ReplayOnDriver, InputFivesStreamBackOnOutputOneWordForWordAtItsRate) {
    wine_driver::TracedDriverBoard board;
    ASSERT_TRUE(board.open());
    BurstTrace& trace = board.trace;
    Driver& driver = board.driver;
    SharedState* const state = board.state.get();
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    (void)reception::selectInputChannel(*state, 4, lookup, formatTable, assignments);
    reception::startReception(driver, *state, reception::ReceptionMode::File);

    // Ticks on the wall clock, each stamped with the milliseconds since the first as the
    // recorder stamps them; a late tick keeps its late time.
    std::string text = std::string(analysis::kRecordingColumnNames) + "\r\n";
    std::map<Key, Timed> recorded;
    double longestTickMs = 0.0;
    {
        auto changes = std::make_unique<reception::ChangedCells>();
        const auto first = std::chrono::steady_clock::now();
        auto lastMs = std::chrono::milliseconds(0);
        for (auto next = first + kTick; lastMs < kRecordLength;) {
            std::this_thread::sleep_until(next);
            // A tick missed while the reads took long is skipped, as a timer skips it.
            while (next <= std::chrono::steady_clock::now())
                next += kTick;
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - first);
            longestTickMs = std::max(longestTickMs, static_cast<double>((ms - lastMs).count()));
            lastMs = ms;
            (void)reception::beginRefreshTick(*state, static_cast<int>(kTick.count()));
            (void)reception::readRunningChannels(driver, *state, changes.get());
            std::string fields;
            analysis::appendTickFields(
                fields, {{}, static_cast<std::uint64_t>(ms.count()), state->TickCount});
            analysis::forEachInArrivalOrder(*changes, [&](const reception::CellChange& change) {
                analysis::appendRecordingRow(text, fields, change, lookup);
                recorded[keyOf(change.word)].emplace_back(static_cast<double>(ms.count()),
                                                          change.word);
            });
        }
    }
    reception::stopReception(driver, *state);
    ASSERT_GE(recorded.size(), 9u); // the stream's nine labels
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "zelva1-replay-on-driver.csv";
    std::ofstream(path, std::ios::binary) << text;

    replay::ReplayOptions options;
    options.routes = {{5, 1, 0}};
    const ScheduleTime start = transmission::ScheduleThread::now();
    bool finished = false;
    {
        transmission::RunningSchedule<replay::RecordedReplay> thread(
            std::make_unique<replay::RecordedReplay>(driver, state->DeviceHandle, path, options,
                                                     start));
        // Room for a loaded machine, whose device path may keep it behind for a while.
        const auto giveUp = std::chrono::steady_clock::now() + 4 * kRecordLength;
        while (!finished && thread.running() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = thread.read(
                [](const replay::RecordedReplay& run) { return run.progress().finished; });
        }
        EXPECT_TRUE(thread.running()) << thread.failure();
        thread.stop();
    }
    std::filesystem::remove(path);
    EXPECT_TRUE(finished);
    EXPECT_EQ(trace.failed, 0);
    EXPECT_EQ(trace.loads, trace.starts);

    // A word goes on the bus a word time after the one before it in its burst.
    std::map<Key, Timed> sent;
    const double wordMs = static_cast<double>(transmission::wordBusTime(0)) / kNanosPerMs;
    for (const BurstTrace::Burst& burst : trace.bursts)
        for (std::size_t place = 0; place < burst.words.size(); ++place)
            sent[keyOf(burst.words[place])].emplace_back(static_cast<double>(burst.at - start) /
                                                                 kNanosPerMs +
                                                             wordMs * static_cast<double>(place),
                                                         burst.words[place]);
    EXPECT_EQ(sent.size(), recorded.size());
    for (const auto& [key, words] : recorded) {
        const Timed& replayed = sent[key];
        ASSERT_EQ(replayed.size(), words.size()) << std::oct << key.first;
        for (std::size_t k = 0; k < words.size(); ++k)
            ASSERT_EQ(replayed[k].second, words[k].second) << std::oct << key.first << " " << k;
        if (words.size() < kFewestForRate)
            continue;
        // A recording knows only the tick a word was seen in and the replay spreads a tick's
        // words over it, so a label's first and last words may each move by up to a tick.
        const double original = meanIntervalMs(words);
        EXPECT_NEAR(meanIntervalMs(replayed), original,
                    kRateShare * original + longestTickMs / static_cast<double>(words.size() - 1))
            << std::oct << key.first;
    }
    resetBoard(driver, *state);
}

} // namespace
