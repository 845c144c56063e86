#pragma once

// The little floating-point arithmetic the simulated board needs, written out so that the
// model has no call into a C library or libm: the Wine test driver compiles it into a kernel
// image, which has neither.

#include <cstdint>
#include <numbers>

namespace board::simulated {

/// @brief The nearest integer, halves away from zero (as llround), for |value| below 2^62.
/// The fraction is taken off exactly rather than adding 0.5, which rounds 0.49999999999999994
/// up.
[[nodiscard]] constexpr std::int64_t roundHalfAway(double value) {
    const auto whole = static_cast<std::int64_t>(value); // toward zero
    const double fraction = value - static_cast<double>(whole);
    if (fraction >= 0.5)
        return whole + 1;
    if (fraction <= -0.5)
        return whole - 1;
    return whole;
}

/// @brief sin(x) within a few units in the 13th decimal for |x| up to 1e12; 0 beyond that
/// (and for NaN), where a double no longer resolves a turn anyway.
[[nodiscard]] constexpr double sine(double x) {
    constexpr double kLimit = 1e12;
    if (!(x < kLimit && x > -kLimit))
        return 0.0;
    // 2 pi in two parts, so that taking whole turns away loses nothing for large arguments.
    constexpr double kTurnHigh = 6.28318530717958623200;
    constexpr double kTurnLow = 2.44929359829470635e-16;
    const auto turns = static_cast<double>(roundHalfAway(x / (kTurnHigh + kTurnLow)));
    double r = (x - turns * kTurnHigh) - turns * kTurnLow; // now in [-pi, pi]
    constexpr double kHalfPi = std::numbers::pi / 2;
    if (r > kHalfPi)
        r = std::numbers::pi - r;
    else if (r < -kHalfPi)
        r = -std::numbers::pi - r;
    // Taylor series to x^19 in Horner form: the first term left out is below 1e-15 here.
    const double r2 = r * r;
    double sum = 1.0;
    for (int n = 19; n >= 3; n -= 2)
        sum = 1.0 - r2 / (static_cast<double>(n) * (n - 1)) * sum;
    return r * sum;
}

} // namespace board::simulated
