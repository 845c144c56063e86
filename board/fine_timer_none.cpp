#include "board/fine_timer.h"

// Where timed waits end on time without asking.
namespace board {

FineTimer::FineTimer() = default;
FineTimer::~FineTimer() = default;

std::int64_t FineTimer::waitOvershootNs() { return 0; }

} // namespace board
