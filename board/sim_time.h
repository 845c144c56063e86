#pragma once

#include <cstdint>

namespace board {

/// Simulated time in nanoseconds; 64 bits hold centuries. Kept apart from the clocks so that
/// the simulated board's model, which the Wine test driver compiles without a C++ runtime,
/// needs nothing from <chrono>.
using SimTime = std::int64_t;

inline constexpr SimTime kNanosPerSecond = 1'000'000'000;

} // namespace board
