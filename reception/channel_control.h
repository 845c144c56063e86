#pragma once

#include "format_lookup.h"

#include "board/driver.h"
#include "board/shared_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace reception {

enum class ReceptionMode : std::uint16_t {
    Address = board::SImodeAddress,
    File = board::SImodeFile,
};

/// @brief CurSI as an index into the per-channel tables.
[[nodiscard]] std::size_t currentChannelIndex(const board::SharedState& state);

/// @brief Starts reception on the current input channel: sets its mode, clears its 256 cells
/// and sends IOCTL_SI_START_ADDRESS or IOCTL_SI_START_FILE. Starting a running channel does
/// the same. The window enables the stop controls (tbSIstop, mmSIstop) and repaints nothing:
/// the cleared cells show at the next tick.
void startReception(board::Driver& driver, board::SharedState& state, ReceptionMode mode);

/// @brief Stops reception on the current input channel: mode 0, then IOCTL_SI_STOP. The cells
/// keep their words. The window disables the stop controls.
void stopReception(board::Driver& driver, board::SharedState& state);

struct InputChannelState {
    bool active = false;                   // the stop controls follow this
    std::optional<std::string> statusText; // panel 0 of XPStatusBar2; absent: leave it as is
};

/// @brief Asks the board whether the current input channel receives (IOCTL_SI_GET_STATE) and
/// builds its status line. A channel reported active while its mode is 0 leaves the line
/// unchanged; a failed query reads as stopped. Never changes the mode.
[[nodiscard]] InputChannelState queryInputChannelState(board::Driver& driver,
                                                       const board::SharedState& state);

/// @brief The caption above the input grid, "Буфер входного канала № %d".
[[nodiscard]] std::string inputBufferCaption(std::uint16_t channelNo);

/// @brief Makes the input tab at index 0..7 current: CurSI, SIchannelNo, the rate text and the
/// format lookup follow it. Sends nothing. Returns the new caption; the window repaints the
/// grid and leaves the status line and stop controls to the next tick.
[[nodiscard]] std::string selectInputChannel(board::SharedState& state, std::uint16_t tabIndex,
                                             ChannelFormatLookup& lookup,
                                             const formats::DecimalFormatTable& formatTable,
                                             const formats::AssignmentTable& assignmentTable);

} // namespace reception
