#include "fixed_decimal.h"

#include <bit>
#include <charconv>
#include <cstdint>

namespace reception {
namespace {

constexpr std::uint64_t kMillion = 1'000'000;

// A float is m * 2^e with m below 2^24, so m * 10^6 stays below 2^44 and may be shifted
// left 19 places without overflowing.
constexpr int kMostLeftShift = 19;
constexpr int kMantissaBits = 23;
constexpr int kExponentBias = 127 + kMantissaBits;
constexpr std::uint32_t kExponentAllOnes = 0xFF;

char* writeWithLibrary(char* out, float value) {
    return std::to_chars(out, out + kFixedSixCapacity, static_cast<double>(value),
                         std::chars_format::fixed, 6)
        .ptr;
}

} // namespace

char* writeFixedSix(char* out, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t exponentField = (bits >> kMantissaBits) & kExponentAllOnes;
    if (exponentField == kExponentAllOnes)
        return writeWithLibrary(out, value);
    const std::uint32_t fraction = bits & ((1u << kMantissaBits) - 1u);
    const std::uint64_t mantissa = exponentField == 0 ? fraction : fraction | 1u << kMantissaBits;
    const int exponent = exponentField == 0 ? 1 - kExponentBias
                                            : static_cast<int>(exponentField) - kExponentBias;
    if (exponent > kMostLeftShift)
        return writeWithLibrary(out, value);

    // The value in millionths, rounded half to even.
    std::uint64_t millionths = mantissa * kMillion;
    if (exponent >= 0) {
        millionths <<= exponent;
    } else if (const int shift = -exponent; shift >= 63) {
        millionths = 0; // below 2^44 / 2^63: far less than half a millionth
    } else {
        const std::uint64_t rest = millionths & ((std::uint64_t{1} << shift) - 1u);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        millionths >>= shift;
        if (rest > half || (rest == half && (millionths & 1u) != 0))
            ++millionths;
    }

    out = std::to_chars(out, out + kFixedSixCapacity, millionths / kMillion).ptr;
    *out++ = '.';
    auto decimals = static_cast<std::uint32_t>(millionths % kMillion); // cheaper digits
    for (int place = 5; place >= 0; --place) {
        out[place] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    return out + 6;
}

} // namespace reception
