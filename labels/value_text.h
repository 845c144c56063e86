#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace labels {

/// A resolution that is a whole number of units of its last decimal: `digits` / 10^`decimals`.
struct DecimalResolution {
    std::int64_t digits = 0;
    int decimals = 0;
};

/// @brief The resolution as a decimal of at most 18 places, when the double is one (0.1, 0.25,
/// 180 / 2^20 = 0.000171661376953125); nothing for one that no such decimal writes (1/3).
[[nodiscard]] std::optional<DecimalResolution> decimalResolution(double resolution);

/// @brief How a label's values are written, made once per definition: every value is a whole
/// number of steps of the resolution, so it is written from the step count, not from a double
/// that may miss the decimal (3599 × 0.1 is 359.90000000000003 as a double).
class StepsFormat {
public:
    static constexpr std::size_t kCapacity = 48; // enough for every text either write gives

    explicit StepsFormat(double resolution);

    /// The decimals a shown value has: every decimal of the resolution where it has at most
    /// nine (0.25: two, 0.0625: four), else as many as keep the value within a hundredth of a
    /// step (180 / 2^20: six).
    [[nodiscard]] int shownDecimals() const { return shownDecimals_; }

    /// Writes the value as shown into `out` (kCapacity bytes); returns its length. Never "-0".
    std::size_t writeShown(char* out, std::int64_t steps) const;
    /// Writes the value so that reading the text back gives it exactly: the decimal itself
    /// where the resolution is a decimal of at most 18 places, else the shortest text that
    /// reads back as the same double.
    std::size_t writeExact(char* out, std::int64_t steps) const;

    [[nodiscard]] std::string shown(std::int64_t steps) const;
    [[nodiscard]] std::string exact(std::int64_t steps) const;

private:
    double resolution_;
    std::optional<DecimalResolution> decimal_;
    int shownDecimals_ = 0;
};

} // namespace labels
