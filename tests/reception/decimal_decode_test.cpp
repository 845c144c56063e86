#include "reception/decimal_decode.h"
#include "reception/fixed_decimal.h"

#include "util/printf_text.h"

#include "format_test_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

using reception::decodeDecimal;
using reception::decodeDecimalWith;
using reception_testing::makeFormat;

// Bits are numbered 1..32; bit n has the value 2^(n-1).
constexpr std::uint32_t bit(unsigned n) { return std::uint32_t{1} << (n - 1); }
constexpr std::uint32_t bits(unsigned from, unsigned to) {
    std::uint32_t mask = 0;
    for (unsigned n = from; n <= to; ++n)
        mask |= bit(n);
    return mask;
}

struct DecodeCase {
    const char* name;
    std::uint32_t word;
    std::uint8_t bit29Mode;
    std::uint8_t msbBit;
    std::uint8_t lsbBit;
    float weight;
    const char* units;
    const char* text;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodeKnownAnswers : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeKnownAnswers, GivesTheText) {
    const DecodeCase& c = GetParam();
    const auto format = makeFormat("ALT", c.bit29Mode, c.msbBit, c.lsbBit, c.weight, c.units);
    EXPECT_EQ(decodeDecimalWith(c.word, format), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Words, DecodeKnownAnswers,
    ::testing::Values(
        DecodeCase{"Bit28Alone", bit(28) | 0203, 0, 28, 18, 90.0f, "deg", " +90.000000  deg    "},
        DecodeCase{"OneNegativeStep", bits(18, 28) | bit(29), 0, 28, 18, 90.0f, "deg",
                   " -0.087891  deg    "},
        DecodeCase{"NegativeZero", bit(29), 0, 28, 18, 90.0f, "deg", " -0.000000  deg    "},
        DecodeCase{"AddressBitsIgnored", 0xFF | bit(27), 0, 28, 18, 90.0f, "deg",
                   " +45.000000  deg    "},
        // With bit 29 as data, bit 29 carries a value and bit 30 is the sign.
        DecodeCase{"Bit29AsData", bit(29), 1, 29, 18, 180.0f, "deg", " +180.000000  deg    "},
        DecodeCase{"Bit29AsDataNegative", bit(30) | bits(18, 29), 1, 29, 18, 180.0f, "deg",
                   " -0.087891  deg    "},
        DecodeCase{"Bit30IgnoredAsSignInSignMode", bit(30) | bit(28), 0, 28, 18, 90.0f, "deg",
                   " +90.000000  deg    "},
        DecodeCase{"MsbBelowLsbSumsNothing", bits(9, 29), 0, 17, 18, 90.0f, "deg",
                   " -0.000000  deg    "},
        DecodeCase{"MsbBelowLsbPositive", bits(9, 28), 0, 17, 18, 90.0f, "deg",
                   " +0.000000  deg    "},
        DecodeCase{"LongUnitsPrintedWhole", bit(28), 0, 28, 18, 1.0f, "km/hr",
                   " +1.000000 km/hr    "},
        DecodeCase{"ShortUnitsPadded", bit(28), 0, 28, 18, 12.5f, "m", " +12.500000    m    "},
        DecodeCase{"EmptyUnits", 0, 0, 28, 18, 1.0f, "", " +0.000000         "},
        // 2^24 - 0.5 is no float: the last step rounds the sum up to 2^24.
        DecodeCase{"SingleFloatRounding", bits(4, 28), 1, 29, 4, 16777216.0f, "u",
                   " +16777216.000000    u    "},
        DecodeCase{"NegativeWeight", bit(28), 0, 28, 18, -2.5f, "V", " +-2.500000    V    "},
        // Bit numbers 1 and 32 are inside the word and decode normally.
        DecodeCase{"WholeWordRange", 0xFFFFFFFFu, 1, 32, 1, 1.0f, "", " -0.000000         "},
        DecodeCase{"LowestBit", bit(1), 0, 1, 1, 3.0f, "", " +3.000000         "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeDecimal, SumsInSinglePrecision) {
    // Summed in double these would read 2000.198044 and 179.999828.
    EXPECT_EQ(decodeDecimalWith(bits(9, 28), makeFormat("F", 0, 28, 9, 1000.1f, "x")),
              " +2000.197998    x    ");
    EXPECT_EQ(decodeDecimalWith(bits(9, 28), makeFormat("F", 0, 28, 9, 90.0f, "x")),
              " +179.999832    x    ");
}

// The sum as the column has always made it: bit by bit from msbBit down, the weight halved
// at every bit, which rounds once the weights fall below the normal range.
float bitByBitMagnitude(std::uint32_t value, const formats::DecimalFormat& format) {
    float magnitude = 0.0f;
    float weight = format.msbWeight;
    for (unsigned n = format.msbBit; n >= format.lsbBit && n >= 1; --n) {
        if ((value >> (n - 1)) & 1u)
            magnitude += weight;
        weight *= 0.5f;
    }
    return magnitude;
}

TEST(DecodeDecimal, SumsAsBitByBitForEveryWeight) {
    const formats::DecimalFormat kFormats[] = {
        makeFormat("A", 0, 28, 9, 65536.0f, ""), makeFormat("B", 1, 32, 1, 3.4e38f, ""),
        makeFormat("C", 0, 29, 1, 1.0e-30f, ""), makeFormat("D", 0, 20, 1, 2.0e-40f, ""),
        makeFormat("E", 0, 28, 18, -90.0f, ""),  makeFormat("F", 0, 12, 12, 0.0f, "")};
    for (const formats::DecimalFormat& format : kFormats)
        for (std::uint32_t word = 1; word < 0xFFFFFFFFu - 0x00F0F0F0u; word += 0x00F0F0F1u) {
            const auto value = reception::decimalValueWith(word, format);
            ASSERT_TRUE(value.has_value());
            const std::uint32_t field =
                value->negative ? ~word + (std::uint32_t{1} << (format.lsbBit - 1)) : word;
            ASSERT_EQ(std::bit_cast<std::uint32_t>(value->magnitude),
                      std::bit_cast<std::uint32_t>(bitByBitMagnitude(field, format)))
                << std::hex << word << " " << format.label.data();
        }
}

TEST(DecodeDecimal, UnitsInCp1251ArePaddedByCharactersAndReturnedAsUtf8) {
    // "км" in cp1251: two bytes, two characters, so two blanks of padding.
    const auto format = makeFormat("ALT", 0, 28, 18, 1.0f, "\xEA\xEC");
    EXPECT_EQ(decodeDecimalWith(bit(28), format), " +1.000000   км    ");
}

TEST(DecodeDecimal, UnitsWithoutNulAreReadToTheFieldEnd) {
    auto format = makeFormat("ALT", 0, 28, 18, 1.0f, "abcdefg");
    ASSERT_EQ(format.units[6], 'g');
    EXPECT_EQ(decodeDecimalWith(bit(28), format), " +1.000000 abcdefg    ");
}

TEST(DecodeDecimal, DamagedBitNumbersShowABlank) {
    struct Damage {
        std::uint8_t msbBit;
        std::uint8_t lsbBit;
    };
    for (const Damage d : {Damage{0, 0}, Damage{28, 0}, Damage{33, 18}, Damage{255, 255},
                           Damage{40, 35}, Damage{12, 200}}) {
        const auto format = makeFormat("BAD", 0, d.msbBit, d.lsbBit, 1.0f, "u");
        EXPECT_EQ(decodeDecimalWith(0xFFFFFFFFu, format), " ")
            << "msb " << int{d.msbBit} << " lsb " << int{d.lsbBit};
        EXPECT_EQ(decodeDecimalWith(bit(29), format), " ");
    }
}

TEST(DecodeDecimal, LooksUpTheFormatOfTheWordsAddress) {
    reception::ChannelFormatLookup lookup;
    lookup.slots[0203] = makeFormat("ALT", 0, 28, 18, 90.0f, "deg");
    EXPECT_EQ(decodeDecimal(bit(28) | 0203, lookup), " +90.000000  deg    ");
    EXPECT_EQ(decodeDecimal(bit(28) | 0204, lookup), " ");
    // A slot with an empty label holds no format, whatever its other fields say.
    lookup.slots[0203].label[0] = '\0';
    EXPECT_EQ(decodeDecimal(bit(28) | 0203, lookup), " ");
}

} // namespace

// The decimal texts are written without printf; for every kind of float (whole numbers,
// fractions ending exactly half way between two millionths, the tiny and the huge) they
// must not differ from it.
TEST(FixedSix, WritesFloatsAsPrintfDoes) {
    std::vector<float> values = {0.0f,
                                 1.0f,
                                 0.5f,
                                 1e-7f,
                                 5e-7f,
                                 4.9999997e-7f,
                                 1.0f / 128,
                                 3.0f / 128,
                                 5.0f / 128,
                                 8388607.5f,
                                 8796093022208.0f,
                                 17592186044416.0f,
                                 3.4028235e38f,
                                 std::numeric_limits<float>::denorm_min(),
                                 std::numeric_limits<float>::infinity()};
    for (std::uint32_t bits = 0; bits < 0x7F800000u; bits += 4093)
        values.push_back(std::bit_cast<float>(bits));
    for (std::uint32_t odd = 1; odd < 4096; odd += 2) // ties: odd / 2^7 has 7 decimals ending in 5
        values.push_back(static_cast<float>(odd) / 128.0f);
    std::array<char, reception::kFixedSixCapacity> text;
    for (const float value : values) {
        char* end = reception::writeFixedSix(text.data(), value);
        ASSERT_EQ(std::string(text.data(), end),
                  util::printfText("%.6f", static_cast<double>(value)))
            << std::hexfloat << value;
    }
}
