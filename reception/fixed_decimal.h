#pragma once

#include <cstddef>

namespace reception {

/// Room for every text of writeFixedSix: the largest float has 39 integer digits.
inline constexpr std::size_t kFixedSixCapacity = 48;

/// @brief Writes a float that is not negative with six decimals, exactly as printf's "%.6f"
/// writes it in the C locale (the exact value rounded half to even), into `out`, which has
/// room for kFixedSixCapacity characters. Returns the end of what was written.
///
/// Thousands of values a tick go through here: the values of the formats in use are done in
/// whole-number arithmetic, the others (beyond 2^64 millionths, infinity) by the library.
char* writeFixedSix(char* out, float value);

} // namespace reception
