#pragma once

#include "zelva1.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace library_testing {

/// A system of simulated boards made from a configuration text, closed at the end of the test.
class SimulatedSystem {
public:
    explicit SimulatedSystem(const char* config = "") {
        std::array<char, 128> message{};
        EXPECT_EQ(zelva1_system_open_simulated(config, &system_, message.data(), message.size()),
                  ZELVA1_OK)
            << message.data();
    }
    ~SimulatedSystem() { zelva1_system_close(system_); }
    SimulatedSystem(const SimulatedSystem&) = delete;
    SimulatedSystem& operator=(const SimulatedSystem&) = delete;

    [[nodiscard]] zelva1_system* get() const { return system_; }

    /// Opens a board and initialises every channel at 100 kbit/s, the quickest to fill.
    [[nodiscard]] zelva1_board* openFast(unsigned interfaceIndex) const {
        zelva1_board* board = nullptr;
        EXPECT_EQ(zelva1_open(system_, interfaceIndex, &board), ZELVA1_OK);
        std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
        codes.fill(2);
        EXPECT_EQ(zelva1_initialize(board, codes.data(), codes.size()), ZELVA1_OK);
        return board;
    }

private:
    zelva1_system* system_ = nullptr;
};

/// The monitor's test pattern for output channel `channelNo`, all 256 words, written out
/// here rather than taken from the monitor's code: these tests see the library from outside.
inline std::vector<std::uint32_t> testPattern(unsigned channelNo) {
    std::vector<std::uint32_t> words;
    for (std::uint32_t k = 0; k < ZELVA1_MAX_WORDS; ++k)
        words.push_back(k | (channelNo << 8) | ((0xFFu - k) << 16) | ((0xFFu - channelNo) << 24));
    return words;
}

/// Waits up to five seconds for all 256 cells of an input to hold a word.
inline std::array<zelva1_cell, ZELVA1_CELLS> waitForFullBuffer(zelva1_board* board,
                                                               unsigned channel) {
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        EXPECT_EQ(zelva1_read_cells(board, channel, cells.data(), cells.size()), ZELVA1_OK);
        bool full = true;
        for (const zelva1_cell& cell : cells)
            full = full && cell.received == 1;
        if (full)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return cells;
}

} // namespace library_testing
