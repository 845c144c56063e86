#include "test_support.h"

#include "board/simulated/arinc.h"
#include "board/simulated/plain_math.h"
#include "board/simulated/traffic.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <map>

namespace {

using namespace sim_testing;

TEST(Bnr, KnownWords) {
    struct Case {
        std::uint8_t label;
        double value;
        double range;
        int bits;
        std::uint32_t word;
    };
    // Altitude 10 000 ft at 1 ft: 10000 << 11 = 0x01388000, SSM 11 = 0x60000000, label 0x83;
    // those hold 10 ones, so bit 32 is set.
    const Case cases[] = {
        {0203, 10000.0, 131072.0, 17, 0xE1388083u},
        {0203, -1.0, 131072.0, 17, 0x7FFFF883u}, // all data bits and the sign set
        {0324, 0.0, 180.0, 14, 0xE00000D4u},     // only SSM and label: parity makes it odd
        {0206, 5000.0, 1024.0, 14, 0x6FFFC086u}, // held at the top of the range
        {0310, -180.0, 180.0, 20, 0xF00000C8u},  // the most negative value: sign bit only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "label " << std::oct << int(c.label) << std::dec << " value " << c.value);
        EXPECT_EQ(board::simulated::encodeBnr(c.label, c.value, c.range, c.bits), c.word);
    }
}

// The model carries its own sine and rounding (it is built without libm into the Wine test
// driver); they must agree with the library's wherever the traffic uses them.
TEST(PlainMath, SineAndRoundingAgreeWithTheLibrary) {
    for (double x = -2.0e6; x < 2.0e6; x += 1234.567)
        EXPECT_NEAR(board::simulated::sine(x), std::sin(x), 1e-9) << x;
    for (double x = -7.0; x < 7.0; x += 0.001)
        EXPECT_NEAR(board::simulated::sine(x), std::sin(x), 1e-14) << x;
    for (const double x : {0.0, 0.5, -0.5, 1.49, 2.5, -2.5, 1e15, -123456.5})
        EXPECT_EQ(board::simulated::roundHalfAway(x), std::llround(x)) << x;
    // The largest double below one half: adding 0.5 would round it up, as the C library
    // under Wine does.
    EXPECT_EQ(board::simulated::roundHalfAway(0.49999999999999994), 0);
    EXPECT_EQ(board::simulated::sine(1e300), 0.0);
}

TEST(Bnr, ParityIsAlwaysOdd) {
    for (std::uint32_t word : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0x12345678u})
        EXPECT_EQ(std::popcount(board::simulated::withOddParity(word)) % 2, 1) << std::hex << word;
}

// Independent of the generator: what a reader of this bus would expect of each label.
struct Expected {
    double range;
    int bits;
    double lowest;
    double highest;
    int refreshMs;
};
const std::map<std::uint8_t, Expected> kExpected = {
    {0203, {131072.0, 17, 7000.0, 13000.0, 60}}, // pressure altitude, ft
    {0212, {32768.0, 11, -7000.0, 7000.0, 60}},  // altitude rate, ft/min
    {0206, {1024.0, 14, 200.0, 300.0, 120}},     // computed airspeed, kt
    {0210, {2048.0, 15, 230.0, 350.0, 120}},     // true airspeed, kt
    {0320, {180.0, 15, 50.0, 130.0, 50}},        // magnetic heading, deg
    {0324, {180.0, 14, -5.0, 10.0, 20}},         // pitch, deg
    {0325, {180.0, 14, -20.0, 20.0, 20}},        // roll, deg
    {0310, {180.0, 20, 55.0, 56.5, 200}},        // latitude, deg
    {0311, {180.0, 20, 37.0, 38.5, 200}},        // longitude, deg
};

double decodeBnr(std::uint32_t word, double range, int bits) {
    const int lowestBit = 29 - bits;
    const std::uint32_t field = (word >> (lowestBit - 1)) & ((1u << (bits + 1)) - 1);
    const auto signedField = static_cast<std::int32_t>(field << (31 - bits)) >> (31 - bits);
    return signedField * range / std::ldexp(1.0, bits);
}

TEST(BuiltInTraffic, WordsAreWellFormedAndInRange) {
    for (std::uint8_t rate = 0; rate < 3; ++rate) {
        const board::simulated::SimTraffic traffic(rate, 5);
        for (std::uint64_t k = 0; k < 3 * traffic.wordsPerFrame(); ++k) {
            const std::uint32_t word = traffic.wordAt(k + 100'000);
            const std::uint8_t label = word & 0xFFu;
            ASSERT_TRUE(kExpected.contains(label)) << std::oct << int(label);
            EXPECT_EQ(std::popcount(word) % 2, 1) << "odd parity";
            EXPECT_EQ(word >> 29 & 3u, 3u) << "SSM normal operation";
            const Expected& e = kExpected.at(label);
            if (e.bits <= 18) { // the 20-bit position words use bits 9-10 for data
                EXPECT_EQ(word >> 8 & 3u, 0u) << "SDI";
            }
            const double value = decodeBnr(word, e.range, e.bits);
            EXPECT_GE(value, e.lowest) << std::oct << int(label);
            EXPECT_LE(value, e.highest) << std::oct << int(label);
        }
    }
}

TEST(BuiltInTraffic, EachLabelAtItsRefreshRateWithinOneFrame) {
    for (std::uint8_t rate = 0; rate < 3; ++rate) {
        const board::simulated::SimTraffic traffic(rate, 0);
        std::map<std::uint8_t, int> counts;
        board::SimTime previous = -1;
        for (std::uint64_t k = 0; k < traffic.wordsPerFrame(); ++k) {
            ++counts[traffic.wordAt(k) & 0xFFu];
            const board::SimTime at = traffic.deliveryTime(k);
            EXPECT_GE(at - previous, k == 0 ? 1 : wordTime(rate)) << "one word at a time";
            EXPECT_LT(at, board::simulated::SimTraffic::kFrame);
            previous = at;
        }
        for (const auto& [label, e] : kExpected)
            EXPECT_EQ(counts[label], 600 / e.refreshMs) << "label " << std::oct << int(label);
        EXPECT_EQ(traffic.deliveredBy(board::simulated::SimTraffic::kFrame - 1),
                  traffic.wordsPerFrame());
        EXPECT_EQ(traffic.deliveredBy(traffic.deliveryTime(7)), 8u);
        EXPECT_EQ(traffic.deliveredBy(traffic.deliveryTime(7) - 1), 7u);
    }
}

TEST(BuiltInTraffic, FaultsChangeOnlyTheirLabels) {
    board::simulated::TrafficFaults faults;
    faults.tooOftenLabel = 0310;
    faults.outOfRangeLabel = 0206;
    faults.ssmLabel = 0325;
    faults.ssm = 1;
    const board::simulated::SimTraffic traffic(0, 0, faults);
    std::map<std::uint8_t, int> counts;
    for (std::uint64_t k = 0; k < traffic.wordsPerFrame(); ++k) {
        const std::uint32_t word = traffic.wordAt(k);
        const auto label = static_cast<std::uint8_t>(word & 0xFFu);
        ++counts[label];
        EXPECT_EQ(std::popcount(word) % 2, 1);
        EXPECT_EQ(word >> 29 & 3u, label == 0325 ? 1u : 3u) << std::oct << int(label);
        if (label == 0206) {
            EXPECT_EQ(word & 0x1FFFFC00u, 0x0FFFC000u) << "every data bit, not the sign";
        }
    }
    for (const auto& [label, e] : kExpected)
        EXPECT_EQ(counts[label], 600 / e.refreshMs * (label == 0310 ? 2 : 1))
            << "label " << std::oct << int(label);
}

TEST(BuiltInTraffic, ValuesMoveSmoothly) {
    const board::simulated::SimTraffic traffic(0, 1);
    std::map<std::uint8_t, double> last;
    std::map<std::uint8_t, bool> moved;
    const std::uint64_t twoMinutes = 200 * traffic.wordsPerFrame();
    for (std::uint64_t k = 0; k < twoMinutes; ++k) {
        const std::uint32_t word = traffic.wordAt(k);
        const std::uint8_t label = word & 0xFFu;
        const Expected& e = kExpected.at(label);
        const double value = decodeBnr(word, e.range, e.bits);
        if (last.contains(label)) {
            // Less than 1 % of the label's span between two of its words.
            EXPECT_LT(std::abs(value - last[label]), (e.highest - e.lowest) / 100)
                << std::oct << int(label);
            moved[label] = moved[label] || value != last[label];
        }
        last[label] = value;
    }
    for (const auto& [label, e] : kExpected)
        EXPECT_TRUE(moved[label]) << "label " << std::oct << int(label) << " never changed";
}

TEST(BuiltInTraffic, UnwiredInputsOfTheDefaultBoardHearIt) {
    SimBench bench;
    bench.init(k12_5kbit, k12_5kbit);
    for (std::uint16_t input = 5; input <= 8; ++input)
        bench.startAddress(input);
    bench.clock.advanceMs(1000);
    for (std::uint16_t input = 5; input <= 8; ++input) {
        const auto cells = bench.readAll(input);
        EXPECT_EQ(bench.receivedCells(input), static_cast<int>(kExpected.size()));
        for (const auto& [label, e] : kExpected)
            EXPECT_EQ(cells[label] & 0xFFu, label);
    }
    const std::uint32_t altitude = bench.read(5, 0203);
    bench.clock.advanceMs(5000);
    EXPECT_NE(bench.read(5, 0203), altitude) << "live words change";
    EXPECT_NE(bench.read(5, 0203), bench.read(6, 0203)) << "each input has its own source";
}

TEST(BuiltInTraffic, ObeysTheRateRule) {
    SimBench bench;
    bench.init(k100kbit, k12_5kbit); // the built-in stream runs at 12.5 kbit/s
    bench.startFile(5);
    bench.clock.advanceMs(1000);
    EXPECT_EQ(bench.receivedCells(5), 0);
}

TEST(BuiltInTraffic, FileModeTakesEveryWordInOrder) {
    SimBench bench;
    bench.init(k12_5kbit, k12_5kbit);
    bench.startFile(7);
    bench.clock.advanceMs(600);
    // One frame: 10 + 10 + 5 + 5 + 12 + 30 + 30 + 3 + 3 words.
    EXPECT_EQ(bench.receivedCells(7), 108);
}

} // namespace
