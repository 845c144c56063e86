#include "library_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <thread>

namespace {

using library_testing::SimulatedSystem;

constexpr std::uint32_t kAltitude = 0x60000083u; // label 203
constexpr std::uint32_t kSpeed = 0x60010086u;    // label 206
constexpr const char* kHeader =
    "дата и время,мс от начала записи,№ цикла,входной канал,ячейка,слово,метка,SDI,SSM,"
    "четность,десятичное значение\r\n";

/// A recording as the monitor writes it: input 1, every tick of 10 ms labels 203 and 206.
std::string recordingText(unsigned ticks, unsigned channel = 1) {
    std::string text = kHeader;
    std::array<char, 128> row{};
    for (unsigned tick = 0; tick < ticks; ++tick)
        for (const std::uint32_t word : {kAltitude, kSpeed}) {
            std::snprintf(row.data(), row.size(),
                          "2026-01-01 00:00:00.000,%u,%u,%u,%u,%08X,%03o,0,3,норма,\r\n", tick * 10,
                          tick, channel, word & 0xFFu, word, word & 0xFFu);
            text += row.data();
        }
    return text;
}

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "zelva1-replay-" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

/// A replay of a recording written as `name`, and the default options.
zelva1_replay* openReplay(const std::string& name, const std::string& text,
                          zelva1_replay_options& options) {
    zelva1_replay* replay = nullptr;
    EXPECT_EQ(zelva1_replay_open(writeFile(name, text).c_str(), &replay, nullptr, 0), ZELVA1_OK);
    EXPECT_EQ(zelva1_replay_defaults(&options), ZELVA1_OK);
    return replay;
}

zelva1_replay_progress stateOf(zelva1_replay* replay, std::string* failure = nullptr) {
    zelva1_replay_progress progress{};
    std::array<char, 256> message{};
    EXPECT_EQ(zelva1_replay_state(replay, &progress, message.data(), message.size()), ZELVA1_OK);
    if (failure != nullptr)
        *failure = message.data();
    return progress;
}

/// Waits up to five seconds for the replay to leave `state`.
zelva1_replay_progress waitWhile(zelva1_replay* replay, int state) {
    zelva1_replay_progress progress = stateOf(replay);
    for (int look = 0; look < 500 && progress.state == state; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        progress = stateOf(replay);
    }
    return progress;
}

TEST(Replay, RecordingsThatCannotReplayAreRefusedWithTheirLineAndReason) {
    std::array<char, 256> message{};
    zelva1_replay* replay = nullptr;
    EXPECT_EQ(zelva1_replay_open(nullptr, &replay, nullptr, 0), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_replay_open((::testing::TempDir() + "no-such.csv").c_str(), &replay,
                                 message.data(), message.size()),
              ZELVA1_ERROR_FILE);
    EXPECT_NE(std::string(message.data()).find("no-such.csv"), std::string::npos);

    std::string badWord = recordingText(2);
    badWord.replace(badWord.find("60010086"), 8, "6001008G");
    const struct {
        std::string name, text, says;
    } damaged[] = {
        {"empty.csv", "", "файл пуст"},
        {"header.csv", kHeader, "нет ни одного слова"},
        {"bad-word.csv", badWord, "строка 3, столбец «слово», не 8 шестнадцатеричных цифр"},
    };
    for (const auto& file : damaged) {
        EXPECT_EQ(zelva1_replay_open(writeFile(file.name, file.text).c_str(), &replay,
                                     message.data(), message.size()),
                  ZELVA1_ERROR_CONTENT)
            << file.name;
        EXPECT_NE(std::string(message.data()).find(file.says), std::string::npos) << message.data();
    }
    EXPECT_EQ(replay, nullptr);

    // A last row cut short is skipped and told; the rest replays.
    const std::string torn = recordingText(3);
    ASSERT_EQ(zelva1_replay_open(writeFile("torn.csv", torn.substr(0, torn.size() - 20)).c_str(),
                                 &replay, message.data(), message.size()),
              ZELVA1_OK);
    EXPECT_STREQ(message.data(), "");
    zelva1_recording_info info{};
    ASSERT_EQ(zelva1_replay_recording(replay, &info), ZELVA1_OK);
    EXPECT_EQ(info.words, 5u);
    EXPECT_EQ(info.last_ms, 20u);
    EXPECT_EQ(info.inputs, 1u);
    EXPECT_EQ(info.torn_line, 7);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_replay_recording(replay, &info), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_ERROR_HANDLE);
}

TEST(Replay, OptionsThatCannotReplayAreRefusedAndNothingIsSent) {
    SimulatedSystem system("board 0 serial 7 inputs 4 outputs 4\n");
    zelva1_board* board = system.openFast(0);
    zelva1_replay_options options{};
    zelva1_replay* replay = openReplay("options.csv", recordingText(10), options);
    ASSERT_NE(replay, nullptr);
    std::array<char, 256> message{};
    EXPECT_EQ(zelva1_replay_start(replay, board, nullptr, nullptr, 0), ZELVA1_ERROR_NULL);
    // A handle of another kind is no replay, and no board.
    EXPECT_EQ(
        zelva1_replay_start(reinterpret_cast<zelva1_replay*>(board), board, &options, nullptr, 0),
        ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(
        zelva1_replay_start(replay, reinterpret_cast<zelva1_board*>(replay), &options, nullptr, 0),
        ZELVA1_ERROR_HANDLE);
    const auto refused = [&](auto change, int status, const char* says) {
        zelva1_replay_options changed = options;
        change(changed);
        EXPECT_EQ(zelva1_replay_start(replay, board, &changed, message.data(), message.size()),
                  status)
            << says;
        EXPECT_NE(std::string(message.data()).find(says), std::string::npos) << message.data();
    };
    refused([](zelva1_replay_options& o) { o.size = 8; }, ZELVA1_ERROR_ARGUMENT, "");
    refused([](zelva1_replay_options& o) { o.mode = 2; }, ZELVA1_ERROR_ARGUMENT, "");
    refused([](zelva1_replay_options& o) { o.outputs[0] = 9; }, ZELVA1_ERROR_CHANNEL, "");
    refused([](zelva1_replay_options& o) { o.outputs[0] = 5; }, ZELVA1_ERROR_NO_CHANNEL, "");
    refused([](zelva1_replay_options& o) { o.outputs[0] = 0; }, ZELVA1_ERROR_ARGUMENT, "не задано");
    for (const double speed : {0.05, 10.5, std::numeric_limits<double>::quiet_NaN()})
        refused([&](zelva1_replay_options& o) { o.speed = speed; }, ZELVA1_ERROR_ARGUMENT,
                "скорость");
    refused(
        [](zelva1_replay_options& o) { std::fill(std::begin(o.labels), std::end(o.labels), 0); },
        ZELVA1_ERROR_ARGUMENT, "метки");
    refused(
        [](zelva1_replay_options& o) {
            o.outputs[0] = 0;
            o.outputs[1] = 1;
        },
        ZELVA1_ERROR_CONTENT, "нет слов выбранных входов");
    // 20 words in 90 ms at ×10 is more than 12.5 kbit/s carries.
    const std::array<std::uint8_t, ZELVA1_RATE_CODES> slow{};
    ASSERT_EQ(zelva1_initialize(board, slow.data(), slow.size()), ZELVA1_OK);
    refused([](zelva1_replay_options& o) { o.speed = 10.0; }, ZELVA1_ERROR_BUS, "нагрузка");
    const zelva1_replay_progress progress = stateOf(replay);
    EXPECT_EQ(progress.state, ZELVA1_REPLAY_STOPPED);
    EXPECT_EQ(progress.sent[0], 0u);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Replay, ARecordingGoesOutOnceAndArrivesWordForWord) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    ASSERT_EQ(zelva1_start_receive(board, 1, ZELVA1_FILE_MODE), ZELVA1_OK);
    // Input 3's 40 words over 190 ms, at ×2 onto output 1.
    zelva1_replay_options options{};
    zelva1_replay* replay = openReplay("once.csv", recordingText(20, 3), options);
    ASSERT_NE(replay, nullptr);
    options.outputs[0] = 0;
    options.outputs[2] = 1;
    options.speed = 2.0;
    ASSERT_EQ(zelva1_replay_start(replay, board, &options, nullptr, 0), ZELVA1_OK);
    const zelva1_replay_progress done = waitWhile(replay, ZELVA1_REPLAY_RUNNING);
    EXPECT_EQ(done.state, ZELVA1_REPLAY_ENDED);
    EXPECT_EQ(done.rows, 40u);
    EXPECT_EQ(done.recorded_ms, 190u);
    EXPECT_EQ(done.sent[0], 40u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    ASSERT_EQ(zelva1_read_cells(board, 1, cells.data(), cells.size()), ZELVA1_OK);
    for (unsigned k = 0; k < 40; ++k) {
        EXPECT_EQ(cells[k].word & 0xFFFFFFFFu, k % 2 == 0 ? kAltitude : kSpeed) << k;
    }
    EXPECT_EQ(cells[40].received, 0u);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Replay, PausedItStepsATickAtATimeAndStopsFromAnyState) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    zelva1_replay* replay = nullptr;
    ASSERT_EQ(
        zelva1_replay_open(writeFile("slow.csv", recordingText(50)).c_str(), &replay, nullptr, 0),
        ZELVA1_OK);
    zelva1_replay_options options{};
    ASSERT_EQ(zelva1_replay_defaults(&options), ZELVA1_OK);
    options.speed = 0.1; // five seconds: held long before it ends
    ASSERT_EQ(zelva1_replay_start(replay, board, &options, nullptr, 0), ZELVA1_OK);
    ASSERT_EQ(zelva1_replay_pause(replay), ZELVA1_OK);
    const zelva1_replay_progress held = stateOf(replay);
    EXPECT_EQ(held.state, ZELVA1_REPLAY_PAUSED);
    ASSERT_EQ(zelva1_replay_step(replay), ZELVA1_OK);
    zelva1_replay_progress stepped = stateOf(replay);
    for (int look = 0; look < 200 && stepped.sent[0] < held.sent[0] + 2; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stepped = stateOf(replay);
    }
    // A tick's words at once (with any the pause held), then nothing while it stays paused,
    // where a tick of the recording takes 100 ms at this speed.
    EXPECT_EQ(stepped.state, ZELVA1_REPLAY_PAUSED);
    EXPECT_GE(stepped.sent[0], held.sent[0] + 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint64_t settled = stateOf(replay).sent[0];
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(stateOf(replay).sent[0], settled);
    ASSERT_EQ(zelva1_replay_resume(replay), ZELVA1_OK);
    EXPECT_EQ(stateOf(replay).state, ZELVA1_REPLAY_RUNNING);
    ASSERT_EQ(zelva1_replay_stop(replay), ZELVA1_OK);
    EXPECT_EQ(stateOf(replay).state, ZELVA1_REPLAY_STOPPED);

    // Started again; closing its board stops it, the handle stays for another start.
    ASSERT_EQ(zelva1_replay_start(replay, board, &options, nullptr, 0), ZELVA1_OK);
    EXPECT_EQ(stateOf(replay).state, ZELVA1_REPLAY_RUNNING);
    ASSERT_EQ(zelva1_close(board), ZELVA1_OK);
    EXPECT_EQ(stateOf(replay).state, ZELVA1_REPLAY_STOPPED);
    EXPECT_EQ(zelva1_replay_pause(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_replay_pause(replay), ZELVA1_ERROR_HANDLE);
}

TEST(Replay, ByLabelWithADatabaseAndAFailedOutputSaysWhichRequest) {
    zelva1_system* own = nullptr;
    ASSERT_EQ(
        zelva1_system_open_simulated("fail 0 IOCTL_SO_LOAD_ARRAY channel 1\n", &own, nullptr, 0),
        ZELVA1_OK);
    zelva1_board* board = nullptr;
    ASSERT_EQ(zelva1_open(own, 0, &board), ZELVA1_OK);
    zelva1_database* database = nullptr;
    ASSERT_EQ(zelva1_database_open(ZELVA_EXAMPLES_DIR "/label-database.csv", &database, nullptr, 0),
              ZELVA1_OK);
    zelva1_replay_options options{};
    zelva1_replay* replay = openReplay("by-label.csv", recordingText(10), options);
    ASSERT_NE(replay, nullptr);
    options.mode = ZELVA1_BY_LABEL;
    options.database = reinterpret_cast<zelva1_database*>(board);
    EXPECT_EQ(zelva1_replay_start(replay, board, &options, nullptr, 0), ZELVA1_ERROR_HANDLE);
    options.database = database;
    ASSERT_EQ(zelva1_replay_start(replay, board, &options, nullptr, 0), ZELVA1_OK);
    std::string failure;
    waitWhile(replay, ZELVA1_REPLAY_RUNNING);
    const zelva1_replay_progress progress = stateOf(replay, &failure);
    EXPECT_EQ(progress.state, ZELVA1_REPLAY_FAILED);
    EXPECT_NE(failure.find("IOCTL_SO_LOAD_ARRAY"), std::string::npos) << failure;
    // The system closed stops what it still ran; the replay is closed on its own.
    EXPECT_EQ(zelva1_system_close(own), ZELVA1_OK);
    EXPECT_EQ(zelva1_replay_close(replay), ZELVA1_OK);
    EXPECT_EQ(zelva1_database_close(database), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

} // namespace
