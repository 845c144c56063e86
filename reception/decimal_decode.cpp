#include "decimal_decode.h"

#include "formats/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace reception {

namespace {

constexpr std::uint32_t kSignBit29 = 0x10000000u;
constexpr std::uint32_t kSignBit30 = 0x20000000u;

[[nodiscard]] constexpr bool isWordBit(unsigned bitNumber) {
    return bitNumber >= 1 && bitNumber <= 32;
}

[[nodiscard]] constexpr bool bitIsSet(std::uint32_t word, unsigned bitNumber) {
    return ((word >> (bitNumber - 1)) & 1u) != 0;
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

    float weight = format.msbWeight;
    for (unsigned n = msbBit; n >= lsbBit; --n) {
        if (bitIsSet(value, n))
            result.magnitude += weight;
        weight *= 0.5f;
    }
    return result;
}

void appendDecimalText(std::string& out, std::uint32_t word,
                       const formats::DecimalFormat& format) {
    const std::optional<DecimalValue> value = decimalValueWith(word, format);
    if (!value) {
        out += ' ';
        return;
    }

    // Formatted in cp1251, where one byte is one character, so "%4s" pads the units by
    // characters; converted to UTF-8 afterwards. The largest float in "%f" takes 46
    // characters and the units at most 7, so the text always fits the buffer.
    const std::string_view units = formats::fieldText(format.units);
    std::array<char, sizeof format.units + 1> unitsText{};
    units.copy(unitsText.data(), units.size());

    const char sign = value->negative ? '-' : '+';
    std::array<char, 128> cp1251{};
    const int length =
        std::snprintf(cp1251.data(), cp1251.size(), " %c%f %4s    ", sign,
                      static_cast<double>(value->magnitude), unitsText.data());
    if (length > 0)
        formats::appendCp1251AsUtf8(
            out, {cp1251.data(), std::min(static_cast<std::size_t>(length), cp1251.size() - 1)});
}

std::string decodeDecimalWith(std::uint32_t word, const formats::DecimalFormat& format) {
    std::string text;
    appendDecimalText(text, word, format);
    return text;
}

std::string decodeDecimal(std::uint32_t word, const ChannelFormatLookup& lookup) {
    return decodeDecimalWith(word, lookup.slots[word & 0xFFu]);
}

} // namespace reception
