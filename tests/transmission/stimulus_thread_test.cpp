// The stimulus on its own thread against the simulated board on the steady clock, sharing
// the board with a thread that reads as the refresh does.

#include "transmission/stimulus_thread.h"

#include "board/board_list.h"
#include "board/board_session.h"
#include "board/serialized_driver.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "labels/label_database_file.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

struct SharedBoard {
    explicit SharedBoard(const char* config)
        : simulated(board::simulated::parseSimulatorConfig(config).config), driver(simulated) {
        board::buildBoardList(driver, *state);
        board::applyBoard(driver, *state, 0);
        board::initializeBoard(driver, *state);
        (void)reception::selectInputChannel(*state, 0, lookup, formatTable, assignments);
        reception::startReception(driver, *state, reception::ReceptionMode::Address);
        labels::LabelDatabaseLoad load =
            labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
        database = std::make_unique<labels::LabelDatabase>(std::move(*load.database));
    }
    std::unique_ptr<transmission::StimulusRun> stimulus() {
        transmission::StimulusLoad load =
            transmission::loadStimulusFile(ZELVA_EXAMPLES_DIR "/stimulus.csv", *database);
        return std::make_unique<transmission::StimulusRun>(driver, state->DeviceHandle, 1, 0,
                                                           std::move(load.parameters),
                                                           transmission::ScheduleThread::now());
    }

    board::simulated::SimulatedDriver simulated;
    board::SerializedDriver driver;
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    formats::DecimalFormatTable formatTable{};
    formats::AssignmentTable assignments{};
    reception::ChannelFormatLookup lookup{};
    std::unique_ptr<labels::LabelDatabase> database;
};

TEST(StimulusThread, SendsBesideTheRefreshAndStopsFromAnotherThread) {
    SharedBoard board("");
    transmission::StimulusThread thread(board.stimulus());
    std::atomic<bool> reading = true;
    std::thread refresh([&] {
        auto changes = std::make_unique<reception::ChangedCells>();
        while (reading) {
            (void)reception::readRunningChannels(board.driver, *board.state, changes.get());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::thread stopper([&] { thread.stop(); });
    stopper.join();
    reading = false;
    refresh.join();
    for (int wait = 0; wait < 200 && thread.running(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(thread.running());
    EXPECT_TRUE(thread.failure().empty());
    // Address reception files each label in its own cell.
    for (const int label : {0203, 0206, 0210, 0212, 0310, 0311, 0320, 0324, 0325})
        EXPECT_EQ(board.state->SIbuffer[0][static_cast<std::size_t>(label)].word & 0xFFu,
                  static_cast<unsigned>(label));
    const std::uint64_t sent = thread.read([](const transmission::StimulusRun& run) {
        return run.sender().schedule().timing(6).sent; // roll, every 20 ms
    });
    EXPECT_GT(sent, 5u);
}

TEST(StimulusThread, ARequestTheBoardFailsStopsItAndSaysWhich) {
    SharedBoard board("fail 0 IOCTL_SO_START_SINGLE channel 1\n");
    transmission::StimulusThread thread(board.stimulus());
    for (int wait = 0; wait < 200 && thread.running(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(thread.running());
    EXPECT_EQ(thread.failure(),
              "выходной канал № 1: модуль не начал выдачу (IOCTL_SO_START_SINGLE)");
}

} // namespace
