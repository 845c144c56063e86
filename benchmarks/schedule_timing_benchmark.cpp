// How closely the schedule thread keeps a periodic schedule's intervals on the wall clock:
// 32 labels at intervals spread from 20 to 1000 ms, each with a window of its interval
// ±20 %, sent from output 1 of the simulated board at 100 kbit/s by a periodic sender on the
// program's schedule thread, for a number of seconds of wall time. Each burst's
// IOCTL_SO_START_SINGLE is stamped on the steady clock as it reaches the board, and a word
// goes on the bus its place in the burst later (a word time each); the figures are
// |actual − planned| over every interval of every label, how many labels ever left their
// window, and the processor time of the schedule thread itself (its thread CPU clock, read
// on that thread after each look) per second of run. Not a Google Benchmark program, so that
// the same source runs under Wine: it takes wall time, not iterations.
//
//     schedule_timing_benchmark [--seconds N]

#include "benchmarks/timing_support.h"
#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/serialized_driver.h"
#include "board/shared_state.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "transmission/periodic_sender.h"
#include "transmission/stimulus_thread.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using transmission::kNanosPerMs;
using transmission::ScheduleTime;

constexpr int kLabels = 32;
constexpr double kShortestMs = 20.0;
constexpr double kLongestMs = 1000.0;
constexpr double kWindowShare = 0.2;
constexpr std::uint8_t kRateCode = 2; // 100 kbit/s
constexpr std::uint8_t kFirstLabel = 0201;

std::vector<transmission::ScheduledWord> benchmarkSchedule() {
    std::vector<transmission::ScheduledWord> words;
    for (int index = 0; index < kLabels; ++index) {
        // Spread evenly on a logarithmic scale, whole milliseconds.
        const double intervalMs = std::round(
            kShortestMs * std::pow(kLongestMs / kShortestMs, index / double(kLabels - 1)));
        const auto label = static_cast<std::uint32_t>(kFirstLabel + index);
        words.push_back({.word = 0x0012'3400u | label,
                         .intervalMs = intervalMs,
                         .leastMs = intervalMs * (1.0 - kWindowShare),
                         .greatestMs = intervalMs * (1.0 + kWindowShare)});
    }
    return words;
}

using timing_benchmark::StampingDriver;
using TimedSender = timing_benchmark::TimedRun<transmission::PeriodicSender>;
using timing_benchmark::clockSeconds;
using timing_benchmark::percentile;

double secondsArgument(int argc, char** argv) {
    double seconds = 60.0;
    for (int index = 1; index + 1 < argc; ++index)
        if (std::string_view(argv[index]) == "--seconds")
            seconds = std::atof(argv[index + 1]);
    return seconds > 0.0 ? seconds : 60.0;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = secondsArgument(argc, argv);
    const std::vector<transmission::ScheduledWord> words = benchmarkSchedule();
    const transmission::ScheduleCheck check =
        transmission::checkSchedule(words, kRateCode, transmission::ScheduleMode::Strict);
    if (!check.ok) {
        std::fprintf(stderr, "schedule_timing_benchmark: %s\n", check.why.c_str());
        return 1;
    }

    board::simulated::SimulatedDriver simulated(board::simulated::defaultSimulatorConfig(),
                                                board::steadySimClock());
    double wordsPerSecond = 0.0;
    for (const transmission::ScheduledWord& word : words)
        wordsPerSecond += 1000.0 / word.intervalMs;
    StampingDriver stamping(simulated, transmission::wordBusTime(kRateCode),
                            static_cast<std::size_t>(seconds * wordsPerSecond));
    board::SerializedDriver driver(stamping);
    auto state = std::make_unique<board::SharedState>();
    state->DeviceHandle = driver.open(0).handle;
    board::storeRateCode(*state, board::ChannelSide::Output, 0, kRateCode);
    board::initializeBoard(driver, *state);

    const ScheduleTime start = transmission::ScheduleThread::now();
    auto run = std::make_unique<TimedSender>(std::make_unique<transmission::PeriodicSender>(
        driver, state->DeviceHandle, 1, transmission::BurstSchedule(words, kRateCode, start)));
    const double processCpuBefore = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    std::uint64_t looks = 0;
    double threadCpuShare = 0.0;
    {
        transmission::RunningSchedule<TimedSender> thread(std::move(run));
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        thread.stop();
        looks = thread.read([](const TimedSender& sender) { return sender.looks(); });
        threadCpuShare = thread.read([](const TimedSender& sender) { return sender.cpuShare(); });
    }
    const double wallSeconds =
        static_cast<double>(transmission::ScheduleThread::now() - start) / 1e9;
    const double processCpu = clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - processCpuBefore;

    std::array<std::vector<ScheduleTime>, 256> sentAt;
    for (const timing_benchmark::SentWord& word : stamping.sent())
        sentAt[word.word & 0xFFu].push_back(word.at);
    std::vector<double> errorsMs;
    std::vector<double> latenessMs; // of each word on the bus against its nearest deadline
    int outsideWindow = 0;
    double worstMs = 0.0;
    unsigned worstLabel = 0;
    for (std::size_t index = 0; index < words.size(); ++index) {
        const transmission::ScheduledWord& word = words[index];
        const auto label = static_cast<std::uint8_t>(word.word & 0xFFu);
        const std::vector<ScheduleTime>& sent = sentAt[label];
        // The schedule's deadlines: start, one word time apart per word, then the interval; a
        // word goes at most a millisecond early, with the burst of an earlier deadline.
        const ScheduleTime phase =
            start + static_cast<ScheduleTime>(index) * transmission::wordBusTime(kRateCode);
        const double intervalNs = word.intervalMs * kNanosPerMs;
        for (const ScheduleTime at : sent) {
            const auto offset = static_cast<double>(at - phase);
            const double deadline =
                std::floor((offset + double(transmission::BurstSchedule::kSameBurstNs)) /
                           intervalNs) *
                intervalNs;
            latenessMs.push_back((offset - deadline) / kNanosPerMs);
        }
        bool outside = false;
        for (std::size_t k = 1; k < sent.size(); ++k) {
            const double actualMs = static_cast<double>(sent[k] - sent[k - 1]) / kNanosPerMs;
            const double errorMs = std::abs(actualMs - word.intervalMs);
            errorsMs.push_back(errorMs);
            outside = outside || actualMs < *word.leastMs || actualMs > *word.greatestMs;
            if (errorMs > worstMs) {
                worstMs = errorMs;
                worstLabel = label;
            }
        }
        outsideWindow += outside ? 1 : 0;
    }
    std::sort(errorsMs.begin(), errorsMs.end());
    std::sort(latenessMs.begin(), latenessMs.end());

    std::printf("schedule timing: %d labels, intervals %.0f-%.0f ms, windows ±%.0f %%, "
                "100 kbit/s (bus load %.1f %%), %.1f s of wall time\n",
                kLabels, kShortestMs, kLongestMs, kWindowShare * 100.0, check.busLoadPercent,
                wallSeconds);
    std::printf("  intervals: %zu; |actual - planned|: p50 %.3f ms, p99 %.3f ms, max %.3f ms "
                "(label %03o)\n",
                errorsMs.size(), percentile(errorsMs, 0.50), percentile(errorsMs, 0.99),
                errorsMs.empty() ? 0.0 : errorsMs.back(), worstLabel);
    std::printf("  labels ever outside their window: %d of %d\n", outsideWindow, kLabels);
    if (!latenessMs.empty())
        std::printf("  words on the bus against their deadlines: earliest %+.3f ms, p50 %+.3f ms, "
                    "p99 %+.3f ms, latest %+.3f ms\n",
                    latenessMs.front(), percentile(latenessMs, 0.50), percentile(latenessMs, 0.99),
                    latenessMs.back());
    std::printf("  bursts %llu (%.1f/s), looks %llu (%.1f/s), failed requests %llu\n",
                static_cast<unsigned long long>(stamping.bursts()),
                static_cast<double>(stamping.bursts()) / wallSeconds,
                static_cast<unsigned long long>(looks), static_cast<double>(looks) / wallSeconds,
                static_cast<unsigned long long>(stamping.failures()));
    std::printf("  schedule thread CPU: %.2f ms per s of run (%.3f %% of a core); whole process "
                "%.2f ms per s\n",
                threadCpuShare * 1000.0, threadCpuShare * 100.0, processCpu * 1000.0 / wallSeconds);
    return stamping.failures() == 0 ? 0 : 1;
}
