#include "reception/refresh_period.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

struct PeriodCase {
    const char* text;
    std::int32_t current;
    std::int32_t applied;
};

void PrintTo(const PeriodCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" from " << c.current;
}

class ApplyPeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ApplyPeriod, GivesThePeriod) {
    const PeriodCase& c = GetParam();
    EXPECT_EQ(reception::appliedRefreshPeriod(c.text, c.current), c.applied)
        << "text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ApplyPeriod,
    ::testing::Values(
        PeriodCase{"250", 500, 250}, PeriodCase{"50", 500, 100}, PeriodCase{"100", 500, 100},
        PeriodCase{"99", 500, 100}, PeriodCase{"9999", 500, 9999}, PeriodCase{"20000", 500, 10000},
        PeriodCase{"10000", 500, 10000}, PeriodCase{"12345", 500, 10000},
        PeriodCase{"00150", 500, 10000}, // five characters are not read
        PeriodCase{"-5000", 500, 10000}, PeriodCase{"-500", 500, 100}, PeriodCase{"+750", 500, 750},
        PeriodCase{" 750", 500, 750}, PeriodCase{"3x", 500, 100}, PeriodCase{"750s", 500, 750},
        // No number: the current period stays.
        PeriodCase{"", 700, 700}, PeriodCase{"abc", 700, 700}, PeriodCase{"  ", 700, 700},
        PeriodCase{"-", 2500, 2500}, PeriodCase{"x12", 700, 700},
        // Characters are counted, not bytes: four Cyrillic letters are four.
        PeriodCase{"абвг", 700, 700}, PeriodCase{"абвгд", 700, 10000}),
    [](const auto& info) { return "Text" + std::to_string(info.index); });

TEST(RefreshPeriodText, IsTheDecimalPeriod) {
    EXPECT_EQ(reception::refreshPeriodText(500), "500");
    EXPECT_EQ(reception::refreshPeriodText(10000), "10000");
}

} // namespace
