#pragma once

// What the replay benchmarks share: a recording made up as the recorder writes one (100 ms
// ticks, a tick's words in the order they arrived, channel by channel) together with the time
// each word is due on the replay's time line; the simulated board on the steady clock with
// every single transmission stamped; the replay on its thread.

#include "benchmarks/timing_support.h"
#include "replay/recorded_replay.h"

#include "analysis/recording_row.h"
#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/serialized_driver.h"
#include "board/shared_state.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "transmission/burst_schedule.h"
#include "transmission/stimulus_thread.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace replay_benchmark {

using transmission::kNanosPerMs;
using transmission::ScheduleTime;

inline constexpr std::uint64_t kTickMs = 100;

/// One label of one recorded input, sent every `intervalMs` from `phaseMs` on.
struct RecordedLabel {
    std::uint8_t inputNo = 1;
    std::uint8_t label = 0;
    double intervalMs = 100.0;
    double phaseMs = 0.0;
};

/// A word of the recording, with its time on the replay's time line at ×1 (ms after the
/// first tick's).
struct PlannedWord {
    std::uint8_t inputNo = 1;
    std::uint32_t word = 0;
    double atMs = 0.0;
};

/// @brief Writes `lengthMs` of the labels' traffic to `path` as the recorder does (ticks at
/// 100, 200, … ms, each with the words that arrived since the one before, channel by channel
/// in arrival order, each channel filling its cells in turn) and returns every word where the
/// replay is to send it: a recording knows only a word's tick, and a replay spreads each
/// tick's words evenly over the time to the next tick (the last over as long as the one
/// before). Each word carries a count in its data bits, so that no two words of a label are
/// alike.
inline std::vector<PlannedWord> writeRecording(const std::filesystem::path& path,
                                               const std::vector<RecordedLabel>& labels,
                                               std::uint64_t lengthMs) {
    struct Arrival {
        double ms;
        std::uint8_t inputNo;
        std::uint32_t word;
    };
    std::vector<double> nextMs;
    nextMs.reserve(labels.size());
    for (const RecordedLabel& label : labels)
        nextMs.push_back(label.phaseMs);
    std::array<std::uint8_t, 8> nextCell{};
    std::uint32_t count = 0;
    reception::ChannelFormatLookup lookup{};

    std::string text = std::string(analysis::kRecordingColumnNames) + "\r\n";
    std::vector<std::vector<PlannedWord>> ticks;
    std::vector<double> tickMs;
    std::vector<Arrival> arrived;
    for (std::uint64_t ms = kTickMs; ms <= lengthMs; ms += kTickMs) {
        arrived.clear();
        for (std::size_t index = 0; index < labels.size(); ++index)
            for (; nextMs[index] < static_cast<double>(ms);
                 nextMs[index] += labels[index].intervalMs)
                arrived.push_back({nextMs[index], labels[index].inputNo,
                                   labels[index].label | (++count & 0x3FFFFFu) << 10});
        if (arrived.empty())
            continue;
        std::stable_sort(arrived.begin(), arrived.end(), [](const Arrival& a, const Arrival& b) {
            return a.inputNo != b.inputNo ? a.inputNo < b.inputNo : a.ms < b.ms;
        });
        std::string fields;
        analysis::appendTickFields(fields, {{}, ms, static_cast<std::uint32_t>(ms / kTickMs)});
        std::vector<PlannedWord>& tick = ticks.emplace_back();
        for (const Arrival& arrival : arrived) {
            const reception::CellChange change{static_cast<std::uint8_t>(arrival.inputNo - 1),
                                               nextCell[arrival.inputNo - 1U]++, arrival.word};
            analysis::appendRecordingRow(text, fields, change, lookup);
            tick.push_back({arrival.inputNo, arrival.word, 0.0});
        }
        tickMs.push_back(static_cast<double>(ms));
    }
    std::ofstream(path, std::ios::binary) << text;

    std::vector<PlannedWord> planned;
    double length = 0.0;
    for (std::size_t index = 0; index < ticks.size(); ++index) {
        if (index + 1 < ticks.size())
            length = tickMs[index + 1] - tickMs[index];
        const double at = tickMs[index] - tickMs.front();
        for (std::size_t place = 0; place < ticks[index].size(); ++place) {
            PlannedWord word = ticks[index][place];
            word.atMs =
                at + length * static_cast<double>(place) / static_cast<double>(ticks[index].size());
            planned.push_back(word);
        }
    }
    return planned;
}

using timing_benchmark::SentWord;
using timing_benchmark::StampingDriver;
using TimedReplay = timing_benchmark::TimedRun<replay::RecordedReplay>;
using timing_benchmark::clockSeconds;
using timing_benchmark::percentile;

/// What one replay on its thread gave.
struct ReplayRun {
    ScheduleTime start = 0;
    bool finished = false;
    std::string failure;
    std::uint64_t looks = 0;
    double threadCpuShare = 0.0;
    double wallSeconds = 0.0;
};

/// @brief Replays the recording on its own thread from now until it has finished (or
/// `limitSeconds` have passed), looking every 10 ms whether it has.
inline ReplayRun runReplay(board::Driver& driver, board::DeviceHandle handle,
                           const std::filesystem::path& path, const replay::ReplayOptions& options,
                           double limitSeconds) {
    ReplayRun result;
    result.start = transmission::ScheduleThread::now();
    transmission::RunningSchedule<TimedReplay> thread(std::make_unique<TimedReplay>(
        std::make_unique<replay::RecordedReplay>(driver, handle, path, options, result.start)));
    const auto giveUp =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
    while (!result.finished && thread.running() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result.finished =
            thread.read([](const TimedReplay& run) { return run.run().progress().finished; });
    }
    result.failure = thread.failure();
    thread.stop();
    result.looks = thread.read([](const TimedReplay& run) { return run.looks(); });
    result.threadCpuShare = thread.read([](const TimedReplay& run) { return run.cpuShare(); });
    result.wallSeconds =
        static_cast<double>(transmission::ScheduleThread::now() - result.start) / 1e9;
    return result;
}

/// The simulated board on the steady clock, its outputs at one rate code, every single
/// transmission stamped, shared through the serialized driver.
struct StampedBoard {
    StampedBoard(std::uint8_t rateCode, std::size_t expectedWords)
        : stamping(simulated, transmission::wordBusTime(rateCode), expectedWords) {
        state->DeviceHandle = driver.open(0).handle;
        for (int output = 0; output < 8; ++output)
            board::storeRateCode(*state, board::ChannelSide::Output, output, rateCode);
        board::initializeBoard(driver, *state);
    }

    board::simulated::SimulatedDriver simulated{board::simulated::defaultSimulatorConfig(),
                                                board::steadySimClock()};
    StampingDriver stamping;
    board::SerializedDriver driver{stamping};
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
};

/// The number after `name` among the arguments, or `otherwise`.
inline double numberArgument(int argc, char** argv, std::string_view name, double otherwise) {
    for (int index = 1; index + 1 < argc; ++index)
        if (std::string_view(argv[index]) == name) {
            const double value = std::atof(argv[index + 1]);
            return value > 0.0 ? value : otherwise;
        }
    return otherwise;
}

/// A recording of this process's own in the temporary folder.
inline std::filesystem::path recordingPath(std::string_view name) {
    return std::filesystem::temp_directory_path() /
           (std::string(name) + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".csv");
}

} // namespace replay_benchmark
