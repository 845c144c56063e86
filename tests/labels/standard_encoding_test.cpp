// Words by engineering value: known answers put together here from the standard, and the
// round trip through the decoder over every row of the example database.

#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"
#include "labels/standard_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using labels::EncodeRequest;
using labels::LabelDefinition;
using labels::LabelEncoding;

// ARINC 429 from its definition, apart from the code under test: label in bits 1-8, SDI in
// 9-10, data above, SSM in 30-31, bit 32 making the count of ones odd.
std::uint32_t standardWord(std::uint8_t label, unsigned sdi, std::uint32_t data, unsigned ssm) {
    std::uint32_t word = label | sdi << 8 | data | ssm << 29;
    int ones = 0;
    for (int bit = 0; bit < 31; ++bit)
        ones += static_cast<int>((word >> bit) & 1u);
    return ones % 2 == 0 ? word | 0x80000000u : word;
}

LabelDefinition row(std::uint8_t label, LabelEncoding encoding, int bits, double resolution) {
    LabelDefinition definition;
    definition.label = label;
    definition.encoding = encoding;
    definition.significantBits = bits;
    definition.resolution = resolution;
    return definition;
}

std::uint32_t encoded(const LabelDefinition& definition, double value) {
    const labels::Encoded result = labels::encodeWord(definition, {.value = value});
    EXPECT_TRUE(result.ok()) << result.why;
    return result.word.value_or(0);
}

TEST(StandardEncoding, KnownWordsOfEachEncoding) {
    // Altitude 10 000 ft, 17 bits of 1 ft: the field's lowest bit is bit 12.
    EXPECT_EQ(encoded(row(0203, LabelEncoding::Bnr, 17, 1.0), 10000.0),
              standardWord(0203, 0, 10000u << 11, 3));
    // Roll -30°, 14 bits of 180/2^14: two's complement in 15 bits from bit 15.
    const double rollStep = 180.0 / 16384.0;
    const auto rollSteps = static_cast<std::uint32_t>(32768 - 2731); // -30 / step, rounded
    EXPECT_EQ(encoded(row(0325, LabelEncoding::Bnr, 14, rollStep), -30.0),
              standardWord(0325, 0, rollSteps << 14, 3));
    // Heading 359.9 as four BCD digits of 0.1: 3, 5, 9, 9 from bit 27 down; minus in the SSM.
    const LabelDefinition heading = row(0014, LabelEncoding::Bcd, 4, 0.1);
    const std::uint32_t digits = 3u << 26 | 5u << 22 | 9u << 18 | 9u << 14;
    EXPECT_EQ(encoded(heading, 359.9), standardWord(0014, 0, digits, 0));
    EXPECT_EQ(encoded(heading, -359.9), standardWord(0014, 0, digits, 3));
    // Discretes: the named bits asked for, SSM 00.
    LabelDefinition pumps = row(0271, LabelEncoding::Disc, 0, 0.0);
    pumps.discretes = {{11, "насос 1"}, {12, "насос 2"}};
    const labels::Encoded both = labels::encodeWord(pumps, {.discreteBits = 3u << 10});
    EXPECT_EQ(both.word, standardWord(0271, 0, 3u << 10, 0));
    EXPECT_EQ(labels::encodeWord(pumps, {}).word, 0x000000B9u) << "all clear: parity from 271";
}

TEST(StandardEncoding, SdiSsmAndParityAsATestAsksForThem) {
    LabelDefinition speed = row(0206, LabelEncoding::Bnr, 14, 0.0625);
    EXPECT_EQ(labels::encodeWord(speed, {.value = 250.0, .sdi = 2}).word,
              standardWord(0206, 2, 4000u << 14, 3));
    const std::uint32_t noData = *labels::encodeWord(speed, {.value = 250.0, .ssm = 1}).word;
    EXPECT_EQ(noData, standardWord(0206, 0, 4000u << 14, 1));
    const std::uint32_t wrongParity =
        *labels::encodeWord(speed, {.value = 250.0, .wrongParityOnPurpose = true}).word;
    EXPECT_EQ(wrongParity, standardWord(0206, 0, 4000u << 14, 3) ^ 0x80000000u);
    speed.sdi = 1;
    EXPECT_EQ(labels::encodeWord(speed, {.value = 250.0}).word,
              standardWord(0206, 1, 4000u << 14, 3));
    EXPECT_EQ(labels::encodeWord(speed, {.value = 250.0, .sdi = 2}).why,
              "SDI 2: строка базы задает SDI 1");
    const LabelDefinition wide = row(0310, LabelEncoding::Bnr, 20, 180.0 / 1048576.0);
    EXPECT_EQ(labels::encodeWord(wide, {.value = 1.0, .sdi = 1}).why,
              "SDI не задается: биты 9-10 — данные этой метки");
}

TEST(StandardEncoding, WhatTheBitsOrTheRangeCannotHoldIsRefused) {
    LabelDefinition altitude = row(0203, LabelEncoding::Bnr, 17, 1.0);
    altitude.least = -1000.0;
    altitude.greatest = 50000.0;
    EXPECT_EQ(labels::encodeWord(altitude, {.value = std::nan("")}).why, "значение не число");
    EXPECT_FALSE(labels::encodeWord(altitude, {.value = INFINITY}).ok());
    EXPECT_EQ(labels::encodeWord(altitude, {.value = 50001.0}).why,
              "значение 50001 вне диапазона -1000..50000");
    EXPECT_TRUE(
        labels::encodeWord(altitude, {.value = 50001.0, .outsideRangeOnPurpose = true}).ok());
    EXPECT_EQ(labels::encodeWord(altitude, {.value = 131072.0, .outsideRangeOnPurpose = true}).why,
              "значение 131072 не помещается в 17 бит со знаком: от -131072 до 131071");
    EXPECT_TRUE(labels::encodeWord(altitude, {.value = 50000.4}).ok()) << "rounds to 50000";
    const LabelDefinition bcd = row(0014, LabelEncoding::Bcd, 3, 1.0);
    EXPECT_FALSE(labels::encodeWord(bcd, {.value = 800.0}).ok()) << "the top digit has 3 bits";
    EXPECT_TRUE(labels::encodeWord(bcd, {.value = 799.0}).ok());
    LabelDefinition pumps = row(0271, LabelEncoding::Disc, 0, 0.0);
    pumps.discretes = {{11, "насос 1"}};
    EXPECT_EQ(labels::encodeWord(pumps, {.discreteBits = 1u << 11}).why, "бит 12 не назван в базе");
}

TEST(StandardEncoding, EveryRowOfTheExampleDatabaseComesBackWithinHalfAStep) {
    const labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    ASSERT_TRUE(load.ok());
    std::mt19937 random(29);
    for (const LabelDefinition& definition : load.database->rows()) {
        // A ±180° range ends one step short of +180 in two's complement.
        const double greatest =
            std::min(*definition.greatest,
                     (std::ldexp(1.0, definition.significantBits) - 1) * definition.resolution);
        std::uniform_real_distribution<double> within(*definition.least, greatest);
        for (int sample = 0; sample < 1000; ++sample) {
            const double value = sample == 0   ? *definition.least
                                 : sample == 1 ? greatest
                                               : within(random);
            const labels::Encoded word = labels::encodeWord(definition, {.value = value});
            ASSERT_TRUE(word.ok()) << definition.name << " " << value << ": " << word.why;
            const double back = *labels::engineeringValue(*word.word, definition);
            EXPECT_LE(std::fabs(back - value), definition.resolution / 2 * (1 + 1e-9))
                << definition.name << " " << value;
            EXPECT_FALSE(labels::isOutOfRange(*word.word, definition));
            EXPECT_TRUE(labels::isNormalSsm(definition.encoding, (*word.word >> 29) & 3u));
        }
    }
}

} // namespace
