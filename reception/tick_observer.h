#pragma once

#include "changed_cells.h"

#include "board/shared_state.h"

namespace reception {

/// @brief Told after each refresh tick's reads which cells changed. Observers run on the
/// window's thread inside the tick, so they must be quick and must not block.
class TickObserver {
public:
    virtual ~TickObserver() = default;
    virtual void afterTickReads(const board::SharedState& state, const ChangedCells& changes) = 0;
};

} // namespace reception
