#include "board/fine_timer.h"

#include <windows.h>

#include <timeapi.h>

namespace board {
namespace {

// A millisecond: what a transmit schedule's deadlines need, and the finest the call gives.
constexpr UINT kPeriodMs = 1;

} // namespace

FineTimer::FineTimer() : granted_(timeBeginPeriod(kPeriodMs) == TIMERR_NOERROR) {}

FineTimer::~FineTimer() {
    if (granted_)
        timeEndPeriod(kPeriodMs);
}

} // namespace board
