#include "labels/standard_decoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using labels::LabelDefinition;
using labels::LabelEncoding;

// Words put together from the standard's definitions, independently of the decoder: label in
// bits 1-8, SDI 9-10, data 11-29, SSM 30-31 (bit 31 high), odd parity in bit 32.
std::uint32_t finish(std::uint32_t word, unsigned ssm, unsigned sdi, std::uint8_t label) {
    word |= label | (sdi & 3u) << 8 | (ssm & 3u) << 29;
    unsigned ones = 0;
    for (int bit = 0; bit < 31; ++bit)
        ones += (word >> bit) & 1u;
    return ones % 2 == 0 ? word | 0x80000000u : word;
}

// BNR: the value in steps of the resolution as a two's-complement number of bits+1 bits whose
// top bit (the sign) is bit 29.
std::uint32_t bnrWord(double value, int bits, double resolution, unsigned ssm = 3) {
    const auto steps = static_cast<std::int64_t>(std::llround(value / resolution));
    const std::uint64_t field = static_cast<std::uint64_t>(steps) &
                                ((std::uint64_t{1} << (bits + 1)) - 1);
    const int lowestBit = 29 - bits;
    return finish(static_cast<std::uint32_t>(field << (lowestBit - 1)), ssm, 0, 0203);
}

// BCD: digits most significant first; the first goes into bits 27-29, each next four bits lower.
std::uint32_t bcdWord(const std::vector<unsigned>& digits, unsigned ssm) {
    std::uint32_t word = 0;
    int lowestBit = 27;
    for (const unsigned digit : digits) {
        word |= digit << (lowestBit - 1);
        lowestBit -= 4;
    }
    return finish(word, ssm, 0, 0012);
}

LabelDefinition defined(LabelEncoding encoding, int bits, double resolution) {
    LabelDefinition definition;
    definition.encoding = encoding;
    definition.significantBits = bits;
    definition.resolution = resolution;
    return definition;
}

LabelDefinition bnr(int bits, double resolution) {
    return defined(LabelEncoding::Bnr, bits, resolution);
}

TEST(StandardDecoding, BnrIsTwosComplementWithTheSignInBit29) {
    struct Case {
        double value;
        int bits;
        double resolution;
    };
    for (const Case& c : std::vector<Case>{{10000.0, 17, 1.0},
                                           {-1.0, 17, 1.0},
                                           {131071.0, 17, 1.0},  // every data bit set
                                           {-131072.0, 17, 1.0}, // the sign bit alone
                                           {250.25, 14, 0.0625},
                                           {-0.0054931640625, 15, 180.0 / 32768.0},
                                           {89.9945068359375, 15, 180.0 / 32768.0},
                                           {1.0, 1, 1.0},
                                           {524287.0 * 0.5, 20, 0.5}}) {
        const std::uint32_t word = bnrWord(c.value, c.bits, c.resolution);
        EXPECT_DOUBLE_EQ(labels::bnrValue(word, c.bits, c.resolution), c.value)
            << c.value << " in " << c.bits << " bits";
    }
    // The most significant data bit is bit 28, worth half the sign bit's weight.
    EXPECT_DOUBLE_EQ(labels::bnrValue(1u << 27, 17, 1.0), 65536.0);
    EXPECT_DOUBLE_EQ(labels::bnrValue(1u << 28, 17, 1.0), -131072.0);
    // Bits below the significant ones (here the SDI and bits 11) do not count.
    EXPECT_DOUBLE_EQ(labels::bnrValue(0x00000700u | 1u << 11, 17, 1.0), 1.0);
}

TEST(StandardDecoding, BcdDigitsFromTheTopWithTheSignInTheSsm) {
    const double tenth = 0.1;
    EXPECT_NEAR(*labels::bcdValue(bcdWord({7, 9, 9, 9, 9}, 0), 5, tenth), 7999.9, 1e-9);
    EXPECT_NEAR(*labels::bcdValue(bcdWord({1, 2, 3, 4, 5}, 3), 5, tenth), -1234.5, 1e-9);
    // Four digits: the lowest four bits of the data field are not part of the value.
    EXPECT_DOUBLE_EQ(*labels::bcdValue(bcdWord({3, 0, 5, 1, 9}, 0), 4, 1.0), 3051.0);
    EXPECT_DOUBLE_EQ(*labels::bcdValue(bcdWord({2}, 0), 1, 10.0), 20.0);
    // No computed data and functional test keep the plus sign.
    EXPECT_DOUBLE_EQ(*labels::bcdValue(bcdWord({0, 0, 4}, 1), 3, 1.0), 4.0);
    EXPECT_FALSE(labels::bcdValue(bcdWord({1, 12, 0}, 0), 3, 1.0)) << "a digit above 9";
}

TEST(StandardDecoding, SsmMeaningsFollowEachEncoding) {
    // SSM as bits 31 and 30: 00, 01, 10, 11.
    const std::vector<std::vector<std::string_view>> meanings = {
        {"отказ", "нет данных", "функц. тест", "норма"},  // BNR
        {"плюс", "нет данных", "функц. тест", "минус"},   // BCD
        {"норма", "нет данных", "функц. тест", "отказ"}}; // discrete
    const std::vector<std::vector<bool>> normal = {
        {false, false, false, true}, {true, false, false, true}, {true, false, false, false}};
    const LabelEncoding encodings[] = {LabelEncoding::Bnr, LabelEncoding::Bcd, LabelEncoding::Disc};
    for (std::size_t e = 0; e < 3; ++e)
        for (unsigned ssm = 0; ssm < 4; ++ssm) {
            EXPECT_EQ(labels::ssmMeaning(encodings[e], ssm), meanings[e][ssm]) << e << ssm;
            EXPECT_EQ(labels::isNormalSsm(encodings[e], ssm), normal[e][ssm]) << e << ssm;
        }
}

TEST(StandardDecoding, TextsAndRangesByDefinition) {
    LabelDefinition altitude = bnr(17, 1.0);
    altitude.least = -1000.0;
    altitude.greatest = 50000.0;
    EXPECT_EQ(labels::engineeringText(bnrWord(10000.0, 17, 1.0), altitude), "10000");
    EXPECT_FALSE(labels::isOutOfRange(bnrWord(50000.0, 17, 1.0), altitude));
    EXPECT_TRUE(labels::isOutOfRange(bnrWord(50001.0, 17, 1.0), altitude));
    EXPECT_TRUE(labels::isOutOfRange(bnrWord(-1001.0, 17, 1.0), altitude));

    // 180 / 2^14 has 12 decimals: shown within a hundredth of a step, recorded whole.
    const LabelDefinition pitch = bnr(14, 180.0 / 16384.0);
    EXPECT_EQ(labels::engineeringText(bnrWord(-2.5, 14, 180.0 / 16384.0), pitch), "-2.5049");
    EXPECT_EQ(labels::recordedText(bnrWord(-2.5, 14, 180.0 / 16384.0), pitch), "-2.504882812500");

    LabelDefinition speed;
    speed.encoding = LabelEncoding::Bcd;
    speed.significantBits = 4;
    speed.resolution = 0.1;
    EXPECT_EQ(labels::engineeringText(bcdWord({2, 5, 0, 5}, 3), speed), "-250.5");
    EXPECT_EQ(labels::engineeringText(bcdWord({2, 15, 0, 5}, 3), speed), "не BCD");
    EXPECT_TRUE(labels::isOutOfRange(bcdWord({2, 15, 0, 5}, 3), speed));

    LabelDefinition pumps;
    pumps.encoding = LabelEncoding::Disc;
    pumps.discretes = {{11, "насос 1"}, {12, "насос 2"}, {29, "отказ"}};
    EXPECT_EQ(labels::engineeringText(finish(1u << 10 | 1u << 28, 0, 0, 0270), pumps),
              "насос 1, отказ");
    EXPECT_EQ(labels::engineeringText(finish(1u << 11, 0, 0, 0270), pumps), "насос 2");
    EXPECT_FALSE(labels::isOutOfRange(finish(0, 0, 0, 0270), pumps));
}

LabelDefinition bcd(int digits, double resolution) {
    return defined(LabelEncoding::Bcd, digits, resolution);
}

TEST(StandardDecoding, DecimalResolutionsMeetTheirBoundsExactly) {
    // 3599 × 0.1 is 359.90000000000003 as a double: still the greatest valid value.
    LabelDefinition heading = bcd(4, 0.1);
    heading.greatest = 359.9;
    heading.least = 0.3;
    EXPECT_FALSE(labels::isOutOfRange(bcdWord({3, 5, 9, 9}, 0), heading));
    EXPECT_TRUE(labels::isOutOfRange(bcdWord({3, 6, 0, 0}, 0), heading));
    EXPECT_FALSE(labels::isOutOfRange(bcdWord({0, 0, 0, 3}, 0), heading));
    EXPECT_TRUE(labels::isOutOfRange(bcdWord({0, 0, 0, 2}, 0), heading));
    LabelDefinition fine = bcd(3, 0.01);
    fine.least = 0.35;
    fine.greatest = 1.15;
    EXPECT_FALSE(labels::isOutOfRange(bcdWord({1, 1, 5}, 0), fine));
    EXPECT_FALSE(labels::isOutOfRange(bcdWord({0, 3, 5}, 0), fine));
    EXPECT_TRUE(labels::isOutOfRange(bcdWord({1, 1, 6}, 0), fine));
    // A bound between two steps: 100.0625 lies above 100.04.
    LabelDefinition speed = bnr(14, 0.0625);
    speed.greatest = 100.04;
    EXPECT_TRUE(labels::isOutOfRange(bnrWord(100.0625, 14, 0.0625), speed));
    EXPECT_FALSE(labels::isOutOfRange(bnrWord(100.0, 14, 0.0625), speed));
}

TEST(StandardDecoding, OnlyWordsThatCarryDataAreJudgedForRange) {
    LabelDefinition altitude = bnr(17, 1.0);
    altitude.least = -1000.0;
    // No computed data with the sign set and a zero field reads -131072, which is no value.
    EXPECT_FALSE(labels::isOutOfRange(bnrWord(-131072.0, 17, 1.0, 1), altitude));
    EXPECT_FALSE(labels::isOutOfRange(bnrWord(-131072.0, 17, 1.0, 0), altitude));
    EXPECT_TRUE(labels::isOutOfRange(bnrWord(-131072.0, 17, 1.0, 2), altitude))
        << "functional test data is judged";
    EXPECT_TRUE(labels::isOutOfRange(bnrWord(-131072.0, 17, 1.0, 3), altitude));
}

TEST(StandardDecoding, ValuesCarryEveryDecimalOfTheResolutionAndReadBackExactly) {
    const LabelDefinition quarter = bnr(10, 0.25);
    EXPECT_EQ(labels::engineeringText(bnrWord(0.25, 10, 0.25), quarter), "0.25");
    EXPECT_EQ(labels::engineeringText(bnrWord(0.75, 10, 0.25), quarter), "0.75");
    EXPECT_EQ(labels::engineeringText(bnrWord(-0.75, 10, 0.25), quarter), "-0.75");
    const LabelDefinition sixteenth = bnr(14, 0.0625);
    EXPECT_EQ(labels::engineeringText(bnrWord(100.0625, 14, 0.0625), sixteenth), "100.0625");
    EXPECT_EQ(labels::recordedText(bnrWord(100.0625, 14, 0.0625), sixteenth), "100.0625");
    // BCD zero with the minus sign is zero.
    EXPECT_EQ(labels::engineeringText(bcdWord({0, 0, 0, 0}, 3), bcd(4, 0.1)), "0.0");
    EXPECT_EQ(labels::recordedText(bcdWord({3, 5, 9, 9}, 0), bcd(4, 0.1)), "359.9");
    // Latitude, 180 / 2^20 a step: shown within a hundredth of a step (about 19 m), recorded
    // as the exact decimal, which reads back as the very value.
    const double step = 180.0 / 1048576.0;
    const LabelDefinition latitude = bnr(20, step);
    for (const std::int64_t steps : {324768LL, -1LL, 524287LL, -524288LL, 1LL}) {
        const std::uint32_t word = bnrWord(static_cast<double>(steps) * step, 20, step);
        const std::string shown = labels::engineeringText(word, latitude);
        EXPECT_EQ(shown.size() - shown.find('.') - 1, 6u) << shown;
        const std::string recorded = labels::recordedText(word, latitude);
        EXPECT_EQ(std::stod(recorded), static_cast<double>(steps) * step) << recorded;
    }
}

} // namespace
