#include "labels/value_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace labels {
namespace {

constexpr int kLargestDecimals = 18;
constexpr int kLargestShownExactDecimals = 9;
// A value shown within a hundredth of a step: half a unit of the last decimal is at most
// resolution / 100.
constexpr double kShownStepFraction = 100.0;
constexpr int kLargestShownDecimals = 15;

// GCC's and Clang's 128-bit integers, on every target the programs are built for.
__extension__ using Wide = __int128;
__extension__ using WideUnsigned = unsigned __int128;

// steps × digits / 10^decimals, exactly: the product needs up to 21 + 60 bits.
std::size_t writeDecimal(char* out, std::int64_t steps, const DecimalResolution& decimal) {
    const Wide product = static_cast<Wide>(steps) * decimal.digits;
    const bool negative = product < 0;
    WideUnsigned magnitude = negative ? static_cast<WideUnsigned>(-product)
                                      : static_cast<WideUnsigned>(product);
    std::array<char, 48> reversed{};
    std::size_t length = 0;
    for (int place = 0; place <= decimal.decimals || magnitude != 0; ++place) {
        if (place == decimal.decimals && place != 0)
            reversed[length++] = '.';
        reversed[length++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    }
    std::size_t at = 0;
    if (negative) // a zero product is never negative, so no "-0"
        out[at++] = '-';
    for (std::size_t k = length; k > 0; --k)
        out[at++] = reversed[k - 1];
    return at;
}

std::size_t writeDouble(char* out, double value, std::optional<int> decimals) {
    if (value == 0.0)
        value = 0.0; // no "-0"
    const auto result = decimals ? std::to_chars(out, out + StepsFormat::kCapacity, value,
                                                 std::chars_format::fixed, *decimals)
                                 : std::to_chars(out, out + StepsFormat::kCapacity, value);
    return result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - out) : 0;
}

} // namespace

std::optional<DecimalResolution> decimalResolution(double resolution) {
    if (!(resolution > 0.0) || !std::isfinite(resolution))
        return std::nullopt;
    // Past 2^53 every double is a whole number, so a whole product proves nothing there.
    constexpr double kExactWholeLimit = 9007199254740992.0;
    double scale = 1.0;
    for (int decimals = 0; decimals <= kLargestDecimals; ++decimals, scale *= 10.0) {
        const double scaled = resolution * scale;
        if (scaled >= kExactWholeLimit)
            return std::nullopt;
        const double whole = std::round(scaled);
        // A few units of the last place: 0.3 × 10 is 3.0000000000000004.
        if (whole >= 1.0 &&
            std::fabs(scaled - whole) <= 8.0 * std::numeric_limits<double>::epsilon() * whole)
            return DecimalResolution{static_cast<std::int64_t>(whole), decimals};
    }
    return std::nullopt;
}

StepsFormat::StepsFormat(double resolution)
    : resolution_(resolution), decimal_(decimalResolution(resolution)) {
    if (decimal_ && decimal_->decimals <= kLargestShownExactDecimals)
        shownDecimals_ = decimal_->decimals;
    else if (resolution > 0.0 && std::isfinite(resolution))
        shownDecimals_ = static_cast<int>(
            std::clamp(std::ceil(std::log10(kShownStepFraction / 2.0 / resolution)), 0.0,
                       static_cast<double>(kLargestShownDecimals)));
}

std::size_t StepsFormat::writeShown(char* out, std::int64_t steps) const {
    if (decimal_ && decimal_->decimals <= kLargestShownExactDecimals)
        return writeDecimal(out, steps, *decimal_);
    return writeDouble(out, static_cast<double>(steps) * resolution_, shownDecimals_);
}

std::size_t StepsFormat::writeExact(char* out, std::int64_t steps) const {
    if (decimal_)
        return writeDecimal(out, steps, *decimal_);
    return writeDouble(out, static_cast<double>(steps) * resolution_, std::nullopt);
}

std::string StepsFormat::shown(std::int64_t steps) const {
    std::array<char, kCapacity> text{};
    return {text.data(), writeShown(text.data(), steps)};
}

std::string StepsFormat::exact(std::int64_t steps) const {
    std::array<char, kCapacity> text{};
    return {text.data(), writeExact(text.data(), steps)};
}

} // namespace labels
