#include "formats/numeric_read.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

using formats::readLeadingFloat;
using formats::readLeadingInteger;

struct IntegerCase {
    std::string_view text;
    int base;
    std::optional<long> expected;
};

TEST(NumericRead, IntegersReadLikeScanf) {
    const IntegerCase cases[] = {
        {"29", 10, 29},
        {"  7", 10, 7},
        {"-1", 10, -1},
        {"+5", 10, 5},
        {"5x", 10, 5},
        {"12 3", 10, 12},
        {"", 10, {}},
        {"-", 10, {}},
        {"x5", 10, {}},
        {" \t\n9", 10, 9},
        {"377", 8, 255},
        {"400", 8, 256},
        {"18", 8, 1},
        {"8", 8, {}},
        {"-1", 8, -1},
        {"0", 8, 0},
        {"99999999999999", 10, 999'999'999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLeadingInteger(c.text, c.base), c.expected)
            << "'" << c.text << "' base " << c.base;
}

TEST(NumericRead, NegativeEntriesBecomeLargeUnsigned16) {
    EXPECT_EQ(formats::asUnsigned16(-1), 65535);
    EXPECT_EQ(formats::asUnsigned16(-29), 65507);
    EXPECT_EQ(formats::asUnsigned16(29), 29);
}

struct FloatCase {
    std::string_view text;
    std::optional<float> expected;
};

TEST(NumericRead, FloatsReadLikeScanfPercentF) {
    const FloatCase cases[] = {
        {"0.5", 0.5F},
        {" 90", 90.0F},
        {"-2.25", -2.25F},
        {"+3", 3.0F},
        {"5.", 5.0F},
        {".5", 0.5F},
        {"1e3", 1000.0F},
        {"1.5E-2", 0.015F},
        {"2e", 2.0F},
        {"2e+", 2.0F},
        {"0.1", 0.1F},
        {"12abc", 12.0F},
        {"0,5", 0.0F},
        {"", {}},
        {".", {}},
        {"-", {}},
        {"-.", {}},
        {"e5", {}},
        {"inf", {}},
        {"nan", {}},
        {"infinity", {}},
        {"3.4028235e38", 3.4028235e38F},
        {"3.5e38", {}},
        {"1e39", {}},
        {"100000000000000000000000000000000000000000", {}},
        {"1e-50", 0.0F},
        {"0.0000000000000000000000000000000000000000000000001", 0.0F},
        {"1e-40", 1e-40F},
        {"0x10", 0.0F},
        {"000001e50", {}},
        {"0.001e-46", 0.0F},
    };
    for (const auto& c : cases) {
        const auto value = readLeadingFloat(c.text);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << "'" << c.text << "'";
        if (value) {
            EXPECT_EQ(*value, *c.expected) << "'" << c.text << "'";
        }
    }
}

TEST(NumericRead, FloatReadIsSinglePrecisionAndSigned) {
    EXPECT_EQ(readLeadingFloat("0.1"), 0.1F); // rounded once, to float
    EXPECT_TRUE(std::signbit(*readLeadingFloat("-0")));
    EXPECT_TRUE(std::signbit(*readLeadingFloat("-1e-60")));
}

TEST(NumericRead, DecimalPointDoesNotFollowTheProcessLocale) {
    // A locale with a decimal comma, where one is installed, must not change the reading.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    EXPECT_EQ(readLeadingFloat("0.5"), 0.5F);
    EXPECT_EQ(readLeadingFloat("0,5"), 0.0F);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
