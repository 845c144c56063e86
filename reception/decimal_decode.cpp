#include "decimal_decode.h"

#include "fixed_decimal.h"

#include "formats/cp1251.h"
#include "formats/format_cells.h"
#include "util/printf_text.h"

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>

namespace reception {

namespace {

constexpr std::uint32_t kSignBit29 = 0x10000000u;
constexpr std::uint32_t kSignBit30 = 0x20000000u;

[[nodiscard]] constexpr bool isWordBit(unsigned bitNumber) {
    return bitNumber >= 1 && bitNumber <= 32;
}

// 2^-k for k = 0..31, each exact.
constexpr std::array<float, 32> kPowersOfHalf = [] {
    std::array<float, 32> powers{};
    float power = 1.0f;
    for (float& p : powers) {
        p = power;
        power *= 0.5f;
    }
    return powers;
}();

[[nodiscard]] constexpr bool bitIsSet(std::uint32_t word, unsigned bitNumber) {
    return ((word >> (bitNumber - 1)) & 1u) != 0;
}

// Formatted in cp1251, where one byte is one character, so "%4s" pads the units by
// characters; converted to UTF-8 afterwards.
std::string decimalText(char sign, float value,
                        const decltype(formats::DecimalFormat::units)& unitsField) {
    const std::string_view units = formats::fieldText(unitsField);
    std::array<char, sizeof unitsField + 1> unitsText{};
    units.copy(unitsText.data(), units.size());
    const std::string cp1251 =
        util::printfText(" %c%f %4s    ", sign, static_cast<double>(value), unitsText.data());
    return formats::cp1251ToUtf8(cp1251);
}

} // namespace

std::optional<DecimalValue> decimalValueWith(std::uint32_t word,
                                             const formats::DecimalFormat& format) {
    if (format.label[0] == '\0')
        return std::nullopt;
    const unsigned msbBit = format.msbBit;
    const unsigned lsbBit = format.lsbBit;
    if (!isWordBit(msbBit) || !isWordBit(lsbBit))
        return std::nullopt;

    // With bit 29 as data the sign moves to bit 30.
    const std::uint32_t signMask = format.bit29Mode == 1 ? kSignBit30 : kSignBit29;
    DecimalValue result;
    std::uint32_t value = word;
    if ((word & signMask) != 0) {
        result.negative = true;
        // Two's complement of the field aligned at its least significant bit (mod 2^32).
        value = ~word + (std::uint32_t{1} << (lsbBit - 1));
    }

    if (msbBit < lsbBit)
        return result;
    // Halving a float is exact until it leaves the normal range, so then the weight of bit n
    // is msbWeight * 2^(n - msbBit) at once and only the set bits need a visit, highest first.
    const float leastWeight = format.msbWeight * kPowersOfHalf[msbBit - lsbBit];
    if (format.msbWeight == 0.0f || !(std::fabs(leastWeight) < FLT_MIN)) {
        const std::uint32_t fieldMask = (~std::uint32_t{0} >> (32 - msbBit)) &
                                        (~std::uint32_t{0} << (lsbBit - 1));
        for (std::uint32_t set = value & fieldMask; set != 0;) {
            const int n = 31 - std::countl_zero(set); // 0-based
            result.magnitude += format.msbWeight * kPowersOfHalf[msbBit - 1 - n];
            set &= ~(std::uint32_t{1} << n);
        }
        return result;
    }
    float weight = format.msbWeight;
    for (unsigned n = msbBit; n >= lsbBit; --n) {
        if (bitIsSet(value, n))
            result.magnitude += weight;
        weight *= 0.5f;
    }
    return result;
}

std::string decodeDecimalWith(std::uint32_t word, const formats::DecimalFormat& format) {
    const std::optional<DecimalValue> value = decimalValueWith(word, format);
    if (!value)
        return " ";
    return decimalText(value->negative ? '-' : '+', value->magnitude, format.units);
}

std::string widestDecimalText() {
    return decimalText('-', 999999.0f, formats::widestShownFormat().units);
}

std::size_t writeDecimalText(std::span<char, kDecimalTextCapacity> out, std::uint32_t word,
                             const formats::DecimalFormat& format) {
    char* at = out.data();
    const std::optional<DecimalValue> value = decimalValueWith(word, format);
    if (!value) {
        *at++ = ' ';
        return 1;
    }
    // " %c%f %4s    " put together by hand, the number as printf's "%.6f" writes it. The
    // largest float takes 46 characters, the units at most 7 of 3 UTF-8 bytes each.
    *at++ = ' ';
    *at++ = value->negative ? '-' : '+';
    at = writeFixedSix(at, value->magnitude);
    *at++ = ' ';
    const std::string_view units = formats::fieldText(format.units);
    constexpr std::size_t kUnitsWidth = 4; // cp1251 bytes are characters
    for (std::size_t i = units.size(); i < kUnitsWidth; ++i)
        *at++ = ' ';
    at = formats::writeCp1251AsUtf8(at, units);
    for (int i = 0; i < 4; ++i)
        *at++ = ' ';
    return static_cast<std::size_t>(at - out.data());
}

std::string decodeDecimal(std::uint32_t word, const ChannelFormatLookup& lookup) {
    return decodeDecimalWith(word, lookup.slots[word & 0xFFu]);
}

} // namespace reception
