#include "library_support.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

using library_testing::SimulatedSystem;

// BNR words of labels 203 and 206 with normal SSM and odd parity, made by hand: these tests
// see the library from outside.
constexpr std::uint32_t kAltitude = 0x60000083u;
constexpr std::uint32_t kAltitudeChanged = 0x60003083u;
constexpr std::uint32_t kSpeed = 0x60010086u;

/// The words of `label` in the cells of an input received in file mode.
unsigned countLabel(const std::array<zelva1_cell, ZELVA1_CELLS>& cells, std::uint32_t label) {
    unsigned count = 0;
    for (const zelva1_cell& cell : cells)
        count += cell.received != 0 && (cell.word & 0xFFu) == label ? 1u : 0u;
    return count;
}

void waitMs(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

TEST(Task, ArgumentsThatCannotRunAreRefusedWithTheirStatus) {
    SimulatedSystem system("board 0 serial 7 inputs 4 outputs 4\n");
    zelva1_board* board = system.openFast(0);
    const std::array<std::uint32_t, ZELVA1_MAX_WORDS + 1> words{};
    std::array<double, ZELVA1_MAX_WORDS + 1> intervals{};
    intervals.fill(50.0);
    zelva1_task* task = nullptr;
    EXPECT_EQ(zelva1_task_start(board, 1, nullptr, intervals.data(), 1, &task), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_task_start(board, 1, words.data(), nullptr, 1, &task), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 1, nullptr),
              ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 0, &task),
              ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 257, &task),
              ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_task_start(board, 0, words.data(), intervals.data(), 1, &task),
              ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_task_start(board, 9, words.data(), intervals.data(), 1, &task),
              ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_task_start(board, 5, words.data(), intervals.data(), 1, &task),
              ZELVA1_ERROR_NO_CHANNEL);
    for (const double wrong : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()}) {
        intervals[1] = wrong;
        EXPECT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 2, &task),
                  ZELVA1_ERROR_ARGUMENT)
            << wrong;
    }
    // 256 words every millisecond: 256 word times of 0.36 ms each millisecond at 100 kbit/s.
    intervals.fill(1.0);
    EXPECT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 256, &task),
              ZELVA1_ERROR_BUS);
    EXPECT_EQ(task, nullptr);

    intervals.fill(50.0);
    ASSERT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 2, &task), ZELVA1_OK);
    zelva1_timing timing{};
    int running = 0;
    EXPECT_EQ(zelva1_task_set_word(task, 2, 0), ZELVA1_ERROR_INDEX);
    EXPECT_EQ(zelva1_task_set_interval(task, 0, 0.0), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_task_set_interval(task, 0, std::nan("")), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_task_set_interval(task, 0, 0.001), ZELVA1_ERROR_BUS);
    EXPECT_EQ(zelva1_task_timing(task, 0, nullptr), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_task_state(task, nullptr, nullptr, 0), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_task_state(task, &running, nullptr, 0), ZELVA1_OK);
    EXPECT_EQ(running, 1);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): a task is not a board
    EXPECT_EQ(zelva1_reset(reinterpret_cast<zelva1_board*>(task)), ZELVA1_ERROR_HANDLE);

    EXPECT_EQ(zelva1_task_stop(task), ZELVA1_OK);
    EXPECT_EQ(zelva1_task_stop(task), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_set_word(task, 0, 0), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_set_interval(task, 0, 10.0), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_pause(task, 0, 1), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_timing(task, 0, &timing), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_state(task, &running, nullptr, 0), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_stop(nullptr), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Task, TwoLabelsArriveAtTheirIntervalsAndAChangedWordFollows) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    ASSERT_EQ(zelva1_start_receive(board, 1, ZELVA1_FILE_MODE), ZELVA1_OK);
    const std::array<std::uint32_t, 2> words{kAltitude, kSpeed};
    const std::array<double, 2> intervals{10.0, 25.0};
    zelva1_task* task = nullptr;
    ASSERT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 2, &task), ZELVA1_OK);
    waitMs(400);
    // Held still, so that what was sent can be counted against what came in.
    ASSERT_EQ(zelva1_task_pause(task, 0, 1), ZELVA1_OK);
    ASSERT_EQ(zelva1_task_pause(task, 1, 1), ZELVA1_OK);
    waitMs(20);
    std::array<zelva1_timing, 2> timings{};
    ASSERT_EQ(zelva1_task_timing(task, 0, &timings[0]), ZELVA1_OK);
    ASSERT_EQ(zelva1_task_timing(task, 1, &timings[1]), ZELVA1_OK);
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    ASSERT_EQ(zelva1_read_cells(board, 1, cells.data(), cells.size()), ZELVA1_OK);
    EXPECT_EQ(countLabel(cells, 0203), timings[0].sent);
    EXPECT_EQ(countLabel(cells, 0206), timings[1].sent);
    // Deadlines that do not drift: 40 and 16 in 400 ms, and a late wake-up only skips.
    EXPECT_GE(timings[0].sent, 20u);
    EXPECT_LE(timings[0].sent, 45u);
    EXPECT_GE(timings[1].sent, 8u);
    EXPECT_LE(timings[1].sent, 19u);

    ASSERT_EQ(zelva1_start_receive(board, 1, ZELVA1_ADDRESS_MODE), ZELVA1_OK);
    ASSERT_EQ(zelva1_task_set_word(task, 0, kAltitudeChanged), ZELVA1_OK);
    ASSERT_EQ(zelva1_task_pause(task, 0, 0), ZELVA1_OK);
    zelva1_cell cell{};
    for (int look = 0; look < 100 && cell.word != kAltitudeChanged; ++look) {
        waitMs(5);
        ASSERT_EQ(zelva1_read_cell(board, 1, 0203, &cell), ZELVA1_OK);
    }
    EXPECT_EQ(cell.word, kAltitudeChanged);
    EXPECT_EQ(zelva1_task_stop(task), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Task, StoppedFromAnotherThreadWhileItSendsAndEditsComeIn) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    // 16 words every 10 ms: 58 % of the bus at 100 kbit/s.
    std::vector<std::uint32_t> words(16, kSpeed);
    std::vector<double> intervals(16, 10.0);
    zelva1_task* task = nullptr;
    ASSERT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), words.size(), &task),
              ZELVA1_OK);
    std::atomic<int> wrong{0};
    std::atomic<bool> stopped{false};
    std::thread editor([&] {
        std::array<zelva1_cell, ZELVA1_CELLS> cells{};
        for (unsigned k = 0; !stopped; ++k) {
            const int edited = zelva1_task_set_word(task, k % 16, kAltitude);
            if (edited != ZELVA1_OK && edited != ZELVA1_ERROR_HANDLE)
                ++wrong;
            if (zelva1_read_cells(board, 1, cells.data(), cells.size()) != ZELVA1_OK)
                ++wrong;
        }
    });
    waitMs(50);
    std::thread stopper([&] {
        if (zelva1_task_stop(task) != ZELVA1_OK)
            ++wrong;
        stopped = true;
    });
    stopper.join();
    editor.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Task, ClosingItsBoardOrSystemStopsItAndAFailedRequestIsToldLater) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    const std::array<std::uint32_t, 1> words{kSpeed};
    const std::array<double, 1> intervals{5.0};
    zelva1_task* task = nullptr;
    ASSERT_EQ(zelva1_task_start(board, 1, words.data(), intervals.data(), 1, &task), ZELVA1_OK);
    ASSERT_EQ(zelva1_close(board), ZELVA1_OK);
    int running = 0;
    EXPECT_EQ(zelva1_task_state(task, &running, nullptr, 0), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_stop(task), ZELVA1_ERROR_HANDLE);

    zelva1_system* own = nullptr;
    ASSERT_EQ(
        zelva1_system_open_simulated("fail 0 IOCTL_SO_LOAD_ARRAY channel 2\n", &own, nullptr, 0),
        ZELVA1_OK);
    zelva1_board* failing = nullptr;
    ASSERT_EQ(zelva1_open(own, 0, &failing), ZELVA1_OK);
    std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
    ASSERT_EQ(zelva1_initialize(failing, codes.data(), codes.size()), ZELVA1_OK);
    zelva1_task* good = nullptr;
    zelva1_task* bad = nullptr;
    ASSERT_EQ(zelva1_task_start(failing, 1, words.data(), intervals.data(), 1, &good), ZELVA1_OK);
    ASSERT_EQ(zelva1_task_start(failing, 2, words.data(), intervals.data(), 1, &bad), ZELVA1_OK);
    std::array<char, 128> message{};
    running = 1;
    for (int look = 0; look < 200 && running == 1; ++look) {
        waitMs(5);
        ASSERT_EQ(zelva1_task_state(bad, &running, message.data(), message.size()), ZELVA1_OK);
    }
    EXPECT_EQ(running, 0);
    EXPECT_NE(std::string(message.data()).find("IOCTL_SO_LOAD_ARRAY"), std::string::npos)
        << message.data();
    EXPECT_EQ(zelva1_task_set_word(bad, 0, kAltitude), ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(zelva1_system_error(), 31u);
    EXPECT_EQ(zelva1_task_set_word(good, 0, kAltitude), ZELVA1_OK);
    EXPECT_EQ(zelva1_system_error(), 0u);
    EXPECT_EQ(zelva1_task_stop(bad), ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(zelva1_task_state(bad, &running, nullptr, 0), ZELVA1_ERROR_HANDLE);

    // The system closed stops its tasks; its board still answers.
    ASSERT_EQ(zelva1_system_close(own), ZELVA1_OK);
    EXPECT_EQ(zelva1_task_state(good, &running, nullptr, 0), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_reset(failing), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(failing), ZELVA1_OK);
}

} // namespace
