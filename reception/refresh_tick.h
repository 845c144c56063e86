#pragma once

#include "changed_cells.h"

#include "board/driver.h"
#include "board/shared_state.h"

#include <cstdint>
#include <string>

namespace reception {

// One tick of Timer1, as the window runs it:
//   1. text = beginRefreshTick(state, interval)      -> panel 1 of XPStatusBar1
//   2. queryOutputChannelState (transmission)
//   3. queryInputChannelState                        -> panel 0 of XPStatusBar2, stop controls
//   4. if (readRunningChannels(driver, state).currentChannelRead) repaint the input grid once

/// @brief A word counts as received when any of its upper sixteen bits is set.
[[nodiscard]] constexpr bool isReceivedWord(std::uint32_t word) { return word >= 0x10000u; }

/// @brief "Обновление экрана:-период %4d мс;  -счетчик %10lu".
[[nodiscard]] std::string refreshStatusText(int intervalMs, std::uint32_t tickCount);

/// @brief The refresh text set by board initialisation, before the first tick.
[[nodiscard]] std::string initialRefreshStatusText(int intervalMs);

/// @brief Counts the tick (TickCount wraps from 4294967295 to 0) and returns the refresh text
/// with the timer's current interval.
[[nodiscard]] std::string beginRefreshTick(board::SharedState& state, int timerIntervalMs);

struct ChannelReadResult {
    bool currentChannelRead = false; // the input grid needs one repaint
    int channelsRead = 0;
};

/// @brief Reads all 256 cells of every input channel whose mode is not 0, channels 1..8 in
/// order, with IOCTL_SI_READ; stores each received word with the current TickCount and leaves
/// the other cells as they are. One reply record serves every read; nothing is allocated.
/// When `changes` is given it is cleared and receives every cell whose word differs from what
/// the cell held before these reads.
[[nodiscard]] ChannelReadResult readRunningChannels(board::Driver& driver,
                                                    board::SharedState& state,
                                                    ChangedCells* changes = nullptr);

} // namespace reception
