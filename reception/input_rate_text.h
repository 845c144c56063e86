#pragma once

#include "board/shared_state.h"

namespace reception {

/// @brief SIrateText := the rate text of the current input channel's rate code
/// (unchanged for a code outside 0..2).
void updateInputRateText(board::SharedState& state);

} // namespace reception
