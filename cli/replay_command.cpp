#include "closing_handle.h"
#include "commands.h"
#include "timed_run.h"

#include "replay/replay_options.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>
#include <optional>

namespace cli {
namespace {

constexpr const char* kWhat = "воспроизведение";

using Replay = Closing<zelva1_replay, zelva1_replay_close>;
using Database = Closing<zelva1_database, zelva1_database_close>;

/// Throws CommandFailure with the library's own reason where it gave one.
void checkWithReason(int status, const std::array<char, 512>& message, const std::string& what) {
    if (status != ZELVA1_OK && message[0] != '\0')
        throw CommandFailure(message.data());
    check(status, what);
}

zelva1_replay_progress progressOf(zelva1_replay* replay, std::string& failure) {
    zelva1_replay_progress progress{};
    std::array<char, 512> message{};
    check(zelva1_replay_state(replay, &progress, message.data(), message.size()), kWhat);
    failure = message.data();
    return progress;
}

zelva1_replay_options optionsFor(const ReplayOptions& options, const zelva1_recording_info& info,
                                 zelva1_database* database) {
    zelva1_replay_options chosen{};
    check(zelva1_replay_defaults(&chosen), kWhat);
    unsigned input = options.input;
    while (input == 0 || (info.inputs >> (input - 1U) & 1U) == 0) {
        if (options.input != 0)
            throw CommandFailure("в записи нет слов входного канала № " +
                                 std::to_string(options.input));
        ++input; // the first input the recording holds, when none is named
    }
    chosen.outputs[0] = 0;
    chosen.outputs[input - 1U] = options.output;
    chosen.mode = options.byLabel ? ZELVA1_BY_LABEL : ZELVA1_AS_RECORDED;
    chosen.database = database;
    chosen.speed = options.speed;
    chosen.loop = options.loop ? 1 : 0;
    chosen.start_ms = static_cast<std::uint64_t>(options.startSeconds * 1000.0);
    chosen.longest_gap_ms = options.longestGapMs;
    const std::optional<std::bitset<256>> labels = replay::parseLabelFilter(options.labels);
    if (!labels)
        throw UsageFailure("--labels: \"" + options.labels +
                           "\" не метки (восьмеричные числа через пробел или запятую)");
    std::fill(std::begin(chosen.labels), std::end(chosen.labels), std::uint8_t{0});
    for (std::size_t label = 0; label < labels->size(); ++label)
        if (labels->test(label))
            chosen.labels[label / 8] |= static_cast<std::uint8_t>(1U << (label % 8));
    return chosen;
}

// What each output sent, on standard output.
void printSent(const zelva1_replay_progress& progress) {
    std::printf("выходной канал\tпередано слов\n");
    for (unsigned output = 1; output <= ZELVA1_MAX_CHANNELS; ++output)
        if (progress.sent[output - 1] > 0)
            std::printf("%u\t%llu\n", output,
                        static_cast<unsigned long long>(progress.sent[output - 1]));
    std::printf("строк записи: %llu, время записи: %.1f с, проходов: %u\n",
                static_cast<unsigned long long>(progress.rows),
                static_cast<double>(progress.recorded_ms) / 1000.0, progress.passes);
}

} // namespace

void replayRecording(const ReplayOptions& options) {
    if (!options.databasePath.empty() && !options.byLabel)
        throw UsageFailure("--database задаёт интервалы только с --by-label");
    std::array<char, 512> message{};
    Replay replay;
    checkWithReason(zelva1_replay_open(options.recordingPath.c_str(), replay.out(), message.data(),
                                       message.size()),
                    message, options.recordingPath);
    zelva1_recording_info info{};
    check(zelva1_replay_recording(replay.get(), &info), kWhat);
    Database database;
    if (!options.databasePath.empty())
        checkWithReason(zelva1_database_open(options.databasePath.c_str(), database.out(),
                                             message.data(), message.size()),
                        message, options.databasePath);
    const zelva1_replay_options chosen = optionsFor(options, info, database.get());

    OpenBoard board(options.board);
    checkWithReason(
        zelva1_replay_start(replay.get(), board.get(), &chosen, message.data(), message.size()),
        message, kWhat);
    catchStopRequests();
    const double recordedSeconds = static_cast<double>(info.last_ms - info.first_ms) / 1000.0;
    std::string failure;
    runTimed(options.seconds, std::chrono::milliseconds(100), kWhat,
             [&](double, std::string& note) {
                 const zelva1_replay_progress progress = progressOf(replay.get(), failure);
                 std::array<char, 96> text{};
                 std::snprintf(text.data(), text.size(), "; запись %.1f из %.1f с, строк %llu",
                               static_cast<double>(progress.recorded_ms) / 1000.0, recordedSeconds,
                               static_cast<unsigned long long>(progress.rows));
                 note = text.data();
                 return progress.state == ZELVA1_REPLAY_RUNNING ||
                        progress.state == ZELVA1_REPLAY_PAUSED;
             });
    check(zelva1_replay_stop(replay.get()), kWhat);
    const zelva1_replay_progress last = progressOf(replay.get(), failure);
    printSent(last);
    if (!failure.empty())
        throw CommandFailure(std::string("воспроизведение остановлено: ") + failure);
}

} // namespace cli
