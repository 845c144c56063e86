// A recording of input 5's built-in stream replayed as recorded onto output 1 of the simulated
// board on a manual clock: every label's words in their recorded order, none missing or
// extra, at the recorded rate (or twice it at ×2); pause, step and resume; a board that fails
// stops the output and says so.

#include "replay/label_replay.h"
#include "replay/recorded_replay.h"

#include "analysis/arrival_order.h"
#include "analysis/label_watch.h"
#include "analysis/recording_row.h"
#include "board/board_list.h"
#include "board/board_session.h"
#include "board/clock.h"
#include "board/control_codes.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "labels/word_fields.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int64_t kTickMs = 100;
constexpr std::int64_t kNanosPerMs = 1'000'000;

using Key = std::pair<int, int>; // label, SDI
Key keyOf(std::uint32_t word) { return {labels::wordLabel(word), labels::wordSdi(word)}; }

/// Passes requests on and keeps the words of every single transmission with its time.
class SentWords final : public board::Driver {
public:
    SentWords(board::Driver& inner, board::ManualSimClock& clock) : inner_(inner), clock_(clock) {}
    [[nodiscard]] board::OpenResult open(unsigned index) override { return inner_.open(index); }
    bool send(board::DeviceHandle handle, std::uint32_t code, std::span<const std::byte> input,
              std::span<std::byte> output) override {
        if (code == board::IOCTL_SO_LOAD_ARRAY && failLoads)
            return false;
        if (code == board::IOCTL_SO_LOAD_ARRAY) {
            board::SOrecord record{};
            std::memcpy(&record, input.data(), sizeof record);
            for (std::uint16_t k = 0; k < record.param3; ++k)
                sent.push_back({clock_.now(), record.SOwords[k]});
            loaded_ = record.param3;
        }
        if (code == board::IOCTL_SO_START_SINGLE) {
            // Every other start reaches the board late, as behind another thread's request.
            if (lateStartNs > 0 && starts_++ % 2 == 0)
                clock_.set(clock_.now() + lateStartNs);
            if (clock_.now() < busyUntil_)
                ++cutShort;
            busyUntil_ = clock_.now() + loaded_ * kWordNs;
        }
        return inner_.send(handle, code, input, output);
    }
    [[nodiscard]] std::uint32_t lastRequestError() override { return inner_.lastRequestError(); }

    std::vector<std::pair<std::int64_t, std::uint32_t>> sent;
    bool failLoads = false;
    std::int64_t lateStartNs = 0;
    int cutShort = 0; // starts made while the last burst was still on the bus

private:
    static constexpr std::int64_t kWordNs = 2'880'000; // 36 bit times at 12.5 kbit/s
    board::Driver& inner_;
    board::ManualSimClock& clock_;
    std::int64_t loaded_ = 0;
    std::int64_t busyUntil_ = 0;
    int starts_ = 0;
};

class RecordedReplayTest : public testing::Test {
protected:
    void SetUp() override {
        board::buildBoardList(driver, *state);
        board::applyBoard(driver, *state, 0); // output 1 feeds input 1, 12.5 kbit/s
        board::initializeBoard(driver, *state);
    }
    void TearDown() override { std::filesystem::remove(path); }

    void startReception(int channelIndex,
                        reception::ReceptionMode mode = reception::ReceptionMode::File) {
        (void)reception::selectInputChannel(*state, channelIndex, lookup, formatTable, assignments);
        reception::startReception(driver, *state, mode);
    }

    /// Records input 5's stream for `seconds` as the recorder writes it.
    void record(int seconds, reception::ReceptionMode mode = reception::ReceptionMode::File) {
        startReception(4, mode);
        std::string text = std::string(analysis::kRecordingColumnNames) + "\r\n";
        auto changes = std::make_unique<reception::ChangedCells>();
        for (std::int64_t ms = kTickMs; ms <= seconds * 1000LL; ms += kTickMs) {
            clock.set(ms * kNanosPerMs);
            (void)reception::beginRefreshTick(*state, kTickMs);
            (void)reception::readRunningChannels(driver, *state, changes.get());
            std::string fields;
            analysis::appendTickFields(fields,
                                       {{}, static_cast<std::uint64_t>(ms), state->TickCount});
            analysis::forEachInArrivalOrder(*changes, [&](const reception::CellChange& change) {
                if (change.channelIndex != 4)
                    return;
                analysis::appendRecordingRow(text, fields, change, lookup);
                recorded[keyOf(change.word)].push_back({ms, change.word});
            });
        }
        std::ofstream(path, std::ios::binary) << text;
        reception::stopReception(driver, *state);
    }

    /// Plays the replay until it has finished or `limitMs` has passed, reading input 1 at
    /// every refresh tick.
    template <typename Replay>
    void play(Replay& replay, std::int64_t limitMs) {
        const std::int64_t end = clock.now() + limitMs * kNanosPerMs;
        auto changes = std::make_unique<reception::ChangedCells>();
        std::int64_t nextTick = clock.now() + kTickMs * kNanosPerMs;
        // A tick more once it has finished: its last burst is still on the bus.
        std::int64_t drained = end;
        while (clock.now() < std::min(end, drained)) {
            if (replay.progress().finished && drained == end)
                drained = nextTick + kTickMs * kNanosPerMs;
            clock.set(std::max(clock.now(), std::min({replay.nextLook(), end, nextTick})));
            ASSERT_TRUE(replay.step(clock.now(), [this] { return clock.now(); }))
                << replay.failure();
            if (clock.now() < nextTick)
                continue;
            nextTick += kTickMs * kNanosPerMs;
            (void)reception::beginRefreshTick(*state, kTickMs);
            (void)reception::readRunningChannels(driver, *state, changes.get());
            analysis::forEachInArrivalOrder(*changes, [&](const reception::CellChange& change) {
                received[keyOf(change.word)].push_back(change.word);
            });
            if (watch)
                watch->takeTick(*state, *changes, formats, clock.now() / kNanosPerMs);
        }
    }

    static double meanIntervalMs(const std::vector<std::pair<std::int64_t, std::uint32_t>>& times,
                                 double perMs) {
        return static_cast<double>(times.back().first - times.front().first) / perMs /
               static_cast<double>(times.size() - 1);
    }

    replay::ReplayOptions toOutputOne(double speed = 1.0) {
        replay::ReplayOptions options;
        options.routes = {{5, 1, 0}};
        options.speed = speed;
        return options;
    }

    /// Every label's words as recorded; at `speed` times the recorded rate unless no speed is
    /// given.
    void checkSameWords(std::optional<double> speed) {
        std::map<Key, std::vector<std::pair<std::int64_t, std::uint32_t>>> sent;
        for (const auto& [at, word] : traced.sent)
            sent[keyOf(word)].push_back({at, word});
        ASSERT_EQ(sent.size(), recorded.size());
        for (const auto& [key, words] : recorded) {
            const auto& replayed = sent[key];
            ASSERT_EQ(replayed.size(), words.size()) << std::oct << key.first;
            for (std::size_t k = 0; k < words.size(); ++k)
                ASSERT_EQ(replayed[k].second, words[k].second) << std::oct << key.first << " " << k;
            if (!speed || words.size() < 10)
                continue;
            const double original = meanIntervalMs(words, 1.0);
            EXPECT_NEAR(meanIntervalMs(replayed, kNanosPerMs), original / *speed,
                        0.05 * original / *speed)
                << std::oct << key.first;
        }
    }

    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("replay-" + std::to_string(::getpid()) + ".csv");
    board::ManualSimClock clock;
    board::simulated::SimulatedDriver simulated{board::simulated::defaultSimulatorConfig(), clock};
    SentWords traced{simulated, clock};
    board::Driver& driver = traced;
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    std::map<Key, std::vector<std::pair<std::int64_t, std::uint32_t>>> recorded;
    std::map<Key, std::vector<std::uint32_t>> received; // on input 1, in file mode
    std::unique_ptr<analysis::LabelWatchTable> watch;   // of input 1, when a test sets it
    reception::AllChannelsFormatLookup formats{};
};

TEST_F(RecordedReplayTest, EveryWordInItsOrderAtTheRecordedRateAndTwiceItAtDoubleSpeed) {
    record(30);
    ASSERT_GT(recorded.size(), 5u);
    startReception(0);
    for (const double speed : {1.0, 2.0}) {
        traced.sent.clear();
        received.clear();
        replay::RecordedReplay replay(driver, state->DeviceHandle, path, toOutputOne(speed),
                                      clock.now());
        play(replay, 40'000);
        ASSERT_TRUE(replay.progress().finished);
        checkSameWords(speed);
        // Input 1 sees them too, bar a word equal to the one its cell held a lap before.
        for (const auto& [key, words] : recorded) {
            const std::vector<std::uint32_t>& seen = received[key];
            EXPECT_GE(seen.size(), words.size() * 9 / 10) << std::oct << key.first;
            auto next = words.begin();
            for (const std::uint32_t word : seen) {
                next = std::find_if(next, words.end(),
                                    [&](const auto& sent) { return sent.second == word; });
                ASSERT_NE(next, words.end()) << "input 1 heard a word not sent";
                ++next;
            }
        }
    }
}

TEST_F(RecordedReplayTest, ABurstThatReachesTheBoardLateIsNotCutShortByTheNext) {
    record(5);
    traced.lateStartNs = 10 * kNanosPerMs;
    replay::RecordedReplay replay(driver, state->DeviceHandle, path, toOutputOne(), clock.now());
    play(replay, 10'000);
    EXPECT_TRUE(replay.progress().finished);
    EXPECT_EQ(traced.cutShort, 0);
    checkSameWords(std::nullopt);
}

TEST_F(RecordedReplayTest, PauseHoldsEveryWordBackAStepSendsOneTickAndResumeGoesOn) {
    record(5);
    replay::RecordedReplay replay(driver, state->DeviceHandle, path, toOutputOne(), clock.now());
    play(replay, 1000);
    replay.pause();
    const std::size_t before = traced.sent.size();
    play(replay, 3000);
    EXPECT_EQ(traced.sent.size(), before);
    replay.stepTick(clock.now());
    play(replay, 50);
    EXPECT_GT(traced.sent.size(), before);
    replay.resume(clock.now());
    play(replay, 10'000);
    EXPECT_TRUE(replay.progress().finished);
    checkSameWords(std::nullopt); // the pause took its time
}

TEST_F(RecordedReplayTest, ALabelFilterALoopAndALongPauseCutShort) {
    // Input 2's words 203 and 204 at 0 ms, then 203 again ten seconds later.
    std::ofstream(path, std::ios::binary)
        << analysis::kRecordingColumnNames << "\r\n"
        << "2026-12-09 10:00:00.000,0,1,2,0,00000083,203,0,0,ошибка,,,\r\n"
        << "2026-12-09 10:00:00.000,0,1,2,1,00000084,204,0,0,норма,,,\r\n"
        << "2026-12-09 10:00:10.000,10000,101,2,2,00000183,203,1,0,норма,,,\r\n";
    replay::ReplayOptions options;
    options.routes = {{2, 1, 0}};
    options.labels.reset().set(0203);
    options.loop = true;
    options.longestGapMs = 200;
    replay::RecordedReplay replay(driver, state->DeviceHandle, path, options, clock.now());
    const std::int64_t start = clock.now();
    play(replay, 1000);
    ASSERT_GE(traced.sent.size(), 4u);
    for (const auto& [at, word] : traced.sent)
        EXPECT_EQ(labels::wordLabel(word), 0203u);
    // 0, 200 ms (the pause cut to 200 ms), then round again a tick of 200 ms later.
    EXPECT_EQ(traced.sent[1].first - start, 200 * kNanosPerMs);
    EXPECT_EQ(traced.sent[2].first - start, 400 * kNanosPerMs);
    EXPECT_GE(replay.progress().passes, 1u);

    EXPECT_EQ(replay::optionsProblem(options), "");
    options.speed = 20;
    EXPECT_EQ(replay::optionsProblem(options), "скорость не от ×0,1 до ×10");
    options.speed = 1;
    options.routes.push_back({3, 1, 2});
    EXPECT_EQ(replay::optionsProblem(options), "у выхода 1 две частоты");
    const std::optional<std::bitset<256>> typed = replay::parseLabelFilter(" 203, 310;7 ");
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->count(), 3u);
    EXPECT_TRUE(typed->test(0203) && typed->test(0310) && typed->test(07));
    EXPECT_EQ(replay::parseLabelFilter("")->count(), 256u);
    EXPECT_FALSE(replay::parseLabelFilter("203 8"));
}

TEST_F(RecordedReplayTest, ByLabelAnAddressRecordingSoundsAsLiveTrafficWithNothingFlagged) {
    // By address the recording holds changes only: a label that kept its value is not in it.
    record(10, reception::ReceptionMode::Address);
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    ASSERT_TRUE(load.ok());
    const auto database = std::make_shared<const labels::LabelDatabase>(std::move(*load.database));
    startReception(0);
    watch = std::make_unique<analysis::LabelWatchTable>();
    watch->setDatabase(database);

    replay::ReplayOptions options = toOutputOne();
    options.mode = replay::ReplayMode::ByLabel;
    replay::LabelPlan plan = replay::planByLabel(path, options, database.get());
    ASSERT_TRUE(plan.ok()) << plan.why;
    EXPECT_EQ(plan.streams.size(), 9u);
    replay::LabelReplay replay(driver, state->DeviceHandle, path, options, std::move(plan),
                               database.get(), clock.now());
    play(replay, 9'000);
    ASSERT_EQ(watch->size(), 9u);
    for (std::size_t row = 0; row < watch->size(); ++row) {
        EXPECT_EQ(watch->row(row).flags, 0) << std::oct << int{watch->row(row).label};
        EXPECT_GT(watch->row(row).changes, 5u) << std::oct << int{watch->row(row).label};
    }
}

TEST_F(RecordedReplayTest, ABoardThatFailsStopsTheOutputAndSaysWhich) {
    record(1);
    traced.failLoads = true;
    replay::RecordedReplay replay(driver, state->DeviceHandle, path, toOutputOne(), clock.now());
    clock.set(std::max(clock.now(), replay.nextLook()));
    EXPECT_FALSE(replay.step(clock.now()));
    EXPECT_EQ(replay.failure(),
              "выходной канал № 1: модуль не принял массив (IOCTL_SO_LOAD_ARRAY)");
}

} // namespace
