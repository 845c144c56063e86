// Reads through the zelva1 library against the monitor's own refresh loop, in one run, on the
// same simulated board: eight inputs in address mode, each hearing a 256-word cycle at
// 100 kbit/s, on the program's steady clock as a script would have it. One iteration is a
// refresh tick's 2048 reads each way.

#include "board/board_session.h"
#include "board/clock.h"
#include "board/shared_state.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "reception/channel_control.h"
#include "reception/refresh_tick.h"
#include "transmission/output_array.h"
#include "transmission/transmission_control.h"
#include "zelva1.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr const char* kAllWired = "board 0 serial 1 inputs 8 outputs 8\n";
constexpr int kReadsPerTick = ZELVA1_MAX_CHANNELS * ZELVA1_CELLS;

std::vector<std::uint32_t> pattern(unsigned channelNo) {
    std::vector<std::uint32_t> words;
    for (unsigned k = 0; k < ZELVA1_MAX_WORDS; ++k)
        words.push_back(transmission::testPatternWord(static_cast<std::uint16_t>(channelNo), k));
    return words;
}

// The monitor's way: the shared state and readRunningChannels over the driver interface.
void BM_MonitorRefreshLoop(benchmark::State& state) {
    board::simulated::SimulatedDriver driver(
        board::simulated::parseSimulatorConfig(kAllWired).config, board::steadySimClock());
    auto shared = std::make_unique<board::SharedState>();
    shared->DeviceHandle = driver.open(0).handle;
    shared->FreqCodes.SIfreq.fill(2);
    shared->FreqCodes.SOfreq.fill(2);
    board::initializeBoard(driver, *shared);
    for (std::uint16_t index = 0; index < board::kMaxChannels; ++index) {
        shared->CurSI = shared->CurSO = index;
        shared->SIchannelNo = shared->SOchannelNo = static_cast<std::uint16_t>(index + 1);
        shared->SOArrayDim[index] = shared->SOCycleDim[index] = ZELVA1_MAX_WORDS;
        transmission::fillTestPattern(*shared);
        static_cast<void>(transmission::startCyclicTransmission(driver, *shared));
        reception::startReception(driver, *shared, reception::ReceptionMode::Address);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(reception::readRunningChannels(driver, *shared));
    state.SetItemsProcessed(state.iterations() * kReadsPerTick);
}

class LibraryBoard {
public:
    LibraryBoard() {
        zelva1_system_open_simulated(kAllWired, &system_, nullptr, 0);
        zelva1_open(system_, 0, &board_);
        std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
        codes.fill(2);
        zelva1_initialize(board_, codes.data(), codes.size());
        for (unsigned channel = 1; channel <= ZELVA1_MAX_CHANNELS; ++channel) {
            const std::vector<std::uint32_t> words = pattern(channel);
            zelva1_transmit(board_, channel, words.data(), words.size(), ZELVA1_CYCLIC);
            zelva1_start_receive(board_, channel, ZELVA1_ADDRESS_MODE);
        }
    }
    ~LibraryBoard() {
        zelva1_close(board_);
        zelva1_system_close(system_);
    }
    LibraryBoard(const LibraryBoard&) = delete;
    LibraryBoard& operator=(const LibraryBoard&) = delete;

    [[nodiscard]] zelva1_board* get() const { return board_; }

private:
    zelva1_system* system_ = nullptr;
    zelva1_board* board_ = nullptr;
};

void BM_LibraryWholeBuffer(benchmark::State& state) {
    const LibraryBoard board;
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    for (auto _ : state)
        for (unsigned channel = 1; channel <= ZELVA1_MAX_CHANNELS; ++channel)
            benchmark::DoNotOptimize(
                zelva1_read_cells(board.get(), channel, cells.data(), cells.size()));
    state.SetItemsProcessed(state.iterations() * kReadsPerTick);
}

void BM_LibraryPerCell(benchmark::State& state) {
    const LibraryBoard board;
    zelva1_cell cell{};
    for (auto _ : state)
        for (unsigned channel = 1; channel <= ZELVA1_MAX_CHANNELS; ++channel)
            for (unsigned index = 0; index < ZELVA1_CELLS; ++index)
                benchmark::DoNotOptimize(zelva1_read_cell(board.get(), channel, index, &cell));
    state.SetItemsProcessed(state.iterations() * kReadsPerTick);
}

BENCHMARK(BM_MonitorRefreshLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryWholeBuffer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryPerCell)->Unit(benchmark::kMicrosecond);

} // namespace
