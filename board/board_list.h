#pragma once

#include "driver.h"
#include "shared_state.h"

#include <cstdint>
#include <string>

namespace board {

/// @brief Opens the boards at interface indices 0..15 in turn, skipping those that do not
/// open, until eight are open; asks each for its serial number and fills BoardTable.
void buildBoardList(Driver& driver, SharedState& state);

/// @brief The device list's text for one board: serial and ordinal as "%18d %25d".
[[nodiscard]] std::string boardListItemText(std::uint32_t serial, std::uint32_t ordinal);

/// @brief The status bar's text for the chosen board (DeviceSerial, DeviceOrdinal):
/// "ZELVA-1: серийный № %d; порядковый № %d".
[[nodiscard]] std::string deviceStatusText(std::uint32_t serial, std::uint32_t ordinal);

/// The device list's only item when no board was found.
inline constexpr const char* kNoBoardsItem = "модули не обнаружены";

} // namespace board
