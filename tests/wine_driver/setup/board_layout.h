#pragma once

#include "board/simulated/setup.h"
#include "tests/wine_driver/board_settings.h"

#include <string>
#include <vector>

namespace wine_driver {

/// @brief The device settings of every board a configuration describes, in the order of
/// their interface indices: its boards with their fault rules, and a board that fails to
/// open for each failing index that has none.
[[nodiscard]] std::vector<TestBoardSettings> boardSettingsOf(
    const board::simulated::SimulatorConfig& config);

/// @brief root\zelva1_test\NNNN for an interface index.
[[nodiscard]] std::string instanceIdFor(unsigned interfaceIndex);

} // namespace wine_driver
