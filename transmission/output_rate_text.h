#pragma once

#include "board/shared_state.h"

namespace transmission {

/// @brief SOrateText := the rate text of the current output channel's rate code
/// (unchanged for a code outside 0..2).
void updateOutputRateText(board::SharedState& state);

} // namespace transmission
