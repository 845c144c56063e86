#pragma once

#include "board/driver.h"
#include "board/shared_state.h"

#include <optional>
#include <string>

namespace transmission {

/// @brief What the window switches after a transmission command or a state query.
/// An empty optional leaves that control as it is.
struct OutputControlsEnabling {
    bool stopEnabled = false;            // tbSOstop, mmSOstop
    bool arrayCommandsEnabled = false;   // tbSOdataClear, tbSOdataTest, tbSOdataOpen,
                                         // tbSOdataSave and the menu mmSOdata
    std::optional<bool> sizeListEnabled; // cbSOArrayDim
    std::optional<bool> cellEditing;     // typing into DrawGrid1 (column resizing stays off)

    friend bool operator==(const OutputControlsEnabling&, const OutputControlsEnabling&) = default;
};

/// @brief "однократная выдача" of the current channel: SOmode := single, the record's header
/// := (SOchannelNo, 1, 0, SOArrayDim), IOCTL_SO_LOAD_ARRAY with the whole 1032-byte record,
/// then IOCTL_SO_START_SINGLE with the record's first 4 bytes.
[[nodiscard]] OutputControlsEnabling startSingleTransmission(board::Driver& driver,
                                                             board::SharedState& state);

/// @brief "циклическая выдача" of the current channel: SOmode := cyclic, header :=
/// (SOchannelNo, SOArrayDim, SOCycleDim, 0), IOCTL_SO_START_CYCLIC with the whole record.
/// Cell typing goes off until a stop.
[[nodiscard]] OutputControlsEnabling startCyclicTransmission(board::Driver& driver,
                                                             board::SharedState& state);

/// @brief "остановить выдачу": SOmode := stopped, IOCTL_SO_STOP for SOchannelNo. Cell typing
/// comes back on.
[[nodiscard]] OutputControlsEnabling stopTransmission(board::Driver& driver,
                                                      board::SharedState& state);

/// @brief The current output channel as the board reports it, with its status line.
struct OutputChannelState {
    bool transmitting = false;
    std::string statusText;
};

/// @brief The refresh tick's question: IOCTL_SO_GET_STATE for SOchannelNo. The status line
/// names the mode of the last start command while the board transmits, "выдача остановлена"
/// otherwise; a failed query reads as stopped.
[[nodiscard]] OutputChannelState queryOutputChannelState(board::Driver& driver,
                                                         const board::SharedState& state);

/// @brief The enabling that follows a state query.
[[nodiscard]] OutputControlsEnabling outputControlsFor(const OutputChannelState& channelState);

/// @brief After the bit editor has closed, whichever way: in cyclic mode the running array
/// gets word SOparamIndex at once (IOCTL_SO_WRITE_WORD, its current value, changed or not).
/// In the other modes nothing is sent and the word goes with the next start.
/// @return whether the update was sent.
bool sendWordAfterBitEditor(board::Driver& driver, const board::SharedState& state);

} // namespace transmission
