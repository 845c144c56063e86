// Whether a long replay keeps to the recording's clock: a recording of input 5's nine labels
// at the built-in stream's intervals (20 to 200 ms), made up as the recorder writes one, sent
// back as recorded from output 1 of the simulated board at 100 kbit/s on the replay's thread,
// at ×1 and then at ×2. It prints when the last word went on the bus against the recording's
// length (÷ the speed) and against the time the replay planned for it, and how late the words
// went against their planned times. Not a Google Benchmark program: it takes wall time, and
// the same source runs under Wine.
//
//     replay_drift_benchmark [--seconds N]   (the recording's length, 120 by default)

#include "benchmarks/replay_benchmark.h"

#include <cstdio>
#include <map>

namespace {

using namespace replay_benchmark;

constexpr std::uint8_t kRateCode = 2; // 100 kbit/s: room for twice the stream's rate

std::vector<RecordedLabel> streamLabels() {
    // Label and interval of each of the stream's parameters, first words spread over a frame.
    constexpr std::array<std::pair<std::uint8_t, double>, 9> kStream{{{0203, 60.0},
                                                                      {0212, 60.0},
                                                                      {0206, 120.0},
                                                                      {0210, 120.0},
                                                                      {0320, 50.0},
                                                                      {0324, 20.0},
                                                                      {0325, 20.0},
                                                                      {0310, 200.0},
                                                                      {0311, 200.0}}};
    std::vector<RecordedLabel> labels;
    for (std::size_t index = 0; index < kStream.size(); ++index)
        labels.push_back({.inputNo = 5,
                          .label = kStream[index].first,
                          .intervalMs = kStream[index].second,
                          .phaseMs = 2.0 * static_cast<double>(index)});
    return labels;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = numberArgument(argc, argv, "--seconds", 120.0);
    const auto lengthMs = static_cast<std::uint64_t>(seconds * 1000.0);
    const std::filesystem::path path = recordingPath("replay-drift");
    const std::vector<PlannedWord> planned = writeRecording(path, streamLabels(), lengthMs);
    // Where each word is due, by the word (each word is unlike every other).
    std::map<std::uint32_t, double> dueMs;
    for (const PlannedWord& word : planned)
        dueMs[word.word] = word.atMs;

    std::printf("replay drift: %zu words of 9 labels (20-200 ms), a %.1f s recording, input 5 "
                "onto output 1 at 100 kbit/s\n",
                planned.size(), static_cast<double>(lengthMs) / 1000.0);
    int status = 0;
    for (const double speed : {1.0, 2.0}) {
        StampedBoard board(kRateCode, planned.size());
        replay::ReplayOptions options;
        options.routes = {{5, 1, kRateCode}};
        options.speed = speed;
        const ReplayRun run = runReplay(board.driver, board.state->DeviceHandle, path, options,
                                        2.0 * seconds / speed + 10.0);
        const std::vector<SentWord>& sent = board.stamping.sent();
        if (!run.finished || sent.size() != planned.size() || board.stamping.failures() != 0) {
            std::printf("  ×%.0f: did not finish: %zu of %zu words sent, %s\n", speed, sent.size(),
                        planned.size(), run.failure.c_str());
            status = 1;
            continue;
        }
        std::vector<double> lateMs;
        lateMs.reserve(sent.size());
        for (const SentWord& word : sent)
            lateMs.push_back(static_cast<double>(word.at - run.start) / kNanosPerMs -
                             dueMs[word.word] / speed);
        const double lastMs = static_cast<double>(sent.back().at - run.start) / kNanosPerMs;
        const double lengthAtSpeed = static_cast<double>(lengthMs) / speed;
        std::sort(lateMs.begin(), lateMs.end());
        std::printf("  ×%.0f: last word on the bus at %.3f s, the recording's length ÷ %.0f %.3f s "
                    "(%+.3f s); against its planned time %+.3f ms\n",
                    speed, lastMs / 1000.0, speed, lengthAtSpeed / 1000.0,
                    (lastMs - lengthAtSpeed) / 1000.0, lastMs - dueMs[sent.back().word] / speed);
        std::printf("       words against their planned times: earliest %+.3f ms, p50 %+.3f ms, "
                    "p99 %+.3f ms, latest %+.3f ms; bursts %llu, looks %.1f/s, thread CPU "
                    "%.2f ms per s\n",
                    lateMs.front(), percentile(lateMs, 0.50), percentile(lateMs, 0.99),
                    lateMs.back(), static_cast<unsigned long long>(board.stamping.bursts()),
                    static_cast<double>(run.looks) / run.wallSeconds, run.threadCpuShare * 1000.0);
    }
    std::filesystem::remove(path);
    return status;
}
