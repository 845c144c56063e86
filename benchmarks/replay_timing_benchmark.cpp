// How closely a replay keeps a busy recording's timing: eight inputs' file-mode traffic
// (inputs 1-8 with 10 to 20 labels each, at intervals spread from 20 to 200 ms), made up as
// the recorder writes it, sent back as recorded onto outputs 1-8 of the simulated board at
// 100 kbit/s on the replay's thread. Each burst's IOCTL_SO_START_SINGLE is stamped on the
// steady clock as it reaches the board, a word going on the bus its place in the burst later.
// It prints |actual − planned| over every interval of every label of every output (the plan
// being the recording's ticks with each tick's words spread over it), how late words went
// against their planned times, and the replay thread's own CPU time (its thread CPU clock,
// read on that thread once a second) per second of run. Not a Google Benchmark program: it
// takes wall time, and the same source runs under Wine.
//
//     replay_timing_benchmark [--seconds N]   (the recording's length, 60 by default)

#include "benchmarks/replay_benchmark.h"

#include <cstdio>
#include <map>
#include <utility>

namespace {

using namespace replay_benchmark;

constexpr std::uint8_t kRateCode = 2; // 100 kbit/s
constexpr int kInputs = 8;
constexpr double kShortestMs = 20.0;
constexpr double kLongestMs = 200.0;

std::vector<RecordedLabel> eightInputs() {
    std::vector<RecordedLabel> labels;
    for (int input = 1; input <= kInputs; ++input) {
        const int count = 10 + (input - 1) * 10 / (kInputs - 1); // 10 to 20
        for (int index = 0; index < count; ++index) {
            // Spread on a logarithmic scale, whole milliseconds; first words a little apart.
            const double intervalMs = std::round(
                kShortestMs * std::pow(kLongestMs / kShortestMs, index / double(count - 1)));
            labels.push_back({.inputNo = static_cast<std::uint8_t>(input),
                              .label = static_cast<std::uint8_t>(0201 + index),
                              .intervalMs = intervalMs,
                              .phaseMs = static_cast<double>(input + 3 * index)});
        }
    }
    return labels;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = numberArgument(argc, argv, "--seconds", 60.0);
    const auto lengthMs = static_cast<std::uint64_t>(seconds * 1000.0);
    const std::vector<RecordedLabel> labels = eightInputs();
    const std::filesystem::path path = recordingPath("replay-timing");
    const std::vector<PlannedWord> planned = writeRecording(path, labels, lengthMs);
    std::map<std::uint32_t, double> dueMs; // each word is unlike every other
    for (const PlannedWord& word : planned)
        dueMs[word.word] = word.atMs;

    StampedBoard board(kRateCode, planned.size());
    replay::ReplayOptions options;
    for (std::uint8_t input = 1; input <= kInputs; ++input)
        options.routes.push_back({input, input, kRateCode});
    const double processCpuBefore = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const ReplayRun run =
        runReplay(board.driver, board.state->DeviceHandle, path, options, 2.0 * seconds + 10.0);
    const double processCpu = clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - processCpuBefore;
    std::filesystem::remove(path);
    const std::vector<SentWord>& sent = board.stamping.sent();

    // Per output and label, the words in the order they went, with their planned times.
    std::map<std::pair<std::uint16_t, std::uint8_t>, std::vector<std::pair<double, double>>>
        byLabel;
    std::vector<double> lateMs;
    lateMs.reserve(sent.size());
    for (const SentWord& word : sent) {
        const double atMs = static_cast<double>(word.at - run.start) / kNanosPerMs;
        const double due = dueMs[word.word];
        lateMs.push_back(atMs - due);
        byLabel[{word.outputNo, static_cast<std::uint8_t>(word.word & 0xFFu)}].emplace_back(atMs,
                                                                                            due);
    }
    std::vector<double> errorsMs;
    double worstMs = 0.0;
    std::pair<std::uint16_t, std::uint8_t> worst{};
    for (const auto& [key, times] : byLabel)
        for (std::size_t k = 1; k < times.size(); ++k) {
            const double error = std::abs((times[k].first - times[k - 1].first) -
                                          (times[k].second - times[k - 1].second));
            errorsMs.push_back(error);
            if (error > worstMs) {
                worstMs = error;
                worst = key;
            }
        }
    std::sort(errorsMs.begin(), errorsMs.end());
    std::sort(lateMs.begin(), lateMs.end());

    const double wordsPerOutputSecond =
        static_cast<double>(planned.size()) / kInputs / (static_cast<double>(lengthMs) / 1000.0);
    std::printf("replay timing: %zu labels on %d inputs (10-20 each, %.0f-%.0f ms), a %.1f s "
                "recording of %zu words onto outputs 1-%d at 100 kbit/s (bus load %.1f %% each "
                "on average), %.1f s of wall time\n",
                labels.size(), kInputs, kShortestMs, kLongestMs,
                static_cast<double>(lengthMs) / 1000.0, planned.size(), kInputs,
                wordsPerOutputSecond * static_cast<double>(transmission::wordBusTime(kRateCode)) /
                    1e7,
                run.wallSeconds);
    if (!run.finished || sent.size() != planned.size() || board.stamping.failures() != 0) {
        std::printf("  did not finish: %zu of %zu words sent, %s\n", sent.size(), planned.size(),
                    run.failure.c_str());
        return 1;
    }
    std::printf("  intervals: %zu; |actual - planned|: p50 %.3f ms, p99 %.3f ms, max %.3f ms "
                "(output %u, label %03o)\n",
                errorsMs.size(), percentile(errorsMs, 0.50), percentile(errorsMs, 0.99),
                errorsMs.empty() ? 0.0 : errorsMs.back(), unsigned{worst.first},
                unsigned{worst.second});
    std::printf("  words on the bus against their planned times: earliest %+.3f ms, p50 %+.3f "
                "ms, p99 %+.3f ms, latest %+.3f ms\n",
                lateMs.front(), percentile(lateMs, 0.50), percentile(lateMs, 0.99), lateMs.back());
    std::printf("  bursts %llu (%.1f/s), looks %llu (%.1f/s), failed requests %llu\n",
                static_cast<unsigned long long>(board.stamping.bursts()),
                static_cast<double>(board.stamping.bursts()) / run.wallSeconds,
                static_cast<unsigned long long>(run.looks),
                static_cast<double>(run.looks) / run.wallSeconds,
                static_cast<unsigned long long>(board.stamping.failures()));
    std::printf("  replay thread CPU: %.2f ms per s of run (%.3f %% of a core); whole process "
                "%.2f ms per s\n",
                run.threadCpuShare * 1000.0, run.threadCpuShare * 100.0,
                processCpu * 1000.0 / run.wallSeconds);
    return 0;
}
