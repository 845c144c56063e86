#pragma once

#include "driver.h"
#include "shared_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace board {

/// @brief Makes the board at BoardTable[position] the chosen one: asks for its channel
/// counts, zeroes every rate code, sets all output arrays to 256 zero words and selects
/// channel index 0 on both sides. Sends only IOCTL_GET_CONFIGURATION.
void applyBoard(Driver& driver, SharedState& state, std::size_t position);

enum class ChannelSide { Input, Output };

/// @brief How many channels of a side to show for the count the board reports: 2, 4 and 8
/// are shown as such; any other count leaves the display as it was (nothing).
[[nodiscard]] std::optional<int> shownChannelCount(std::int32_t reportedCount);

/// @brief Stores a rate code picked by the user; it reaches the board at the next
/// initialisation.
void storeRateCode(SharedState& state, ChannelSide side, int channelIndex, int code);

/// @brief The board part of initialisation: channel 1 current on both sides, all input
/// cells cleared, the tick count restarted, then IOCTL_INIT_DEVICE with the rate codes.
void initializeBoard(Driver& driver, SharedState& state);

/// @brief Sends IOCTL_RESET_DEVICE to the chosen board.
void resetBoard(Driver& driver, const SharedState& state);

/// @brief On closing the monitor: resets the chosen board, if a board was ever chosen.
void releaseBoardOnClose(Driver& driver, const SharedState& state);

} // namespace board
