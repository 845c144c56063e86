#include "analysis/axis_scale.h"
#include "analysis/parameter_series.h"
#include "labels/label_text.h"

#include <gtest/gtest.h>

namespace {

using analysis::ParameterSeries;

TEST(ParameterSeriesTest, TrimKeepsTheSpanAndThePointHoldingItsLeftEdge) {
    ParameterSeries series(1000);
    for (int time = 0; time <= 3000; time += 500)
        series.add(time, time / 100.0);
    series.trim(3000);
    ASSERT_EQ(series.size(), 3u);
    EXPECT_EQ(series.at(0).timeMs, 2000); // exactly at the left edge
    EXPECT_EQ(series.at(2).timeMs, 3000);
    series.trim(3200);
    ASSERT_EQ(series.size(), 3u) << "2000 still holds at 2200";
    EXPECT_EQ(series.at(0).timeMs, 2000);
}

TEST(ParameterSeriesTest, MoreValuesThanItHoldsDropTheOldestAndBreaksHaveNoValue) {
    ParameterSeries series(1'000'000'000);
    const auto total = static_cast<std::int64_t>(ParameterSeries::kCapacity) + 10;
    for (std::int64_t time = 0; time < total; ++time)
        series.add(time, static_cast<double>(time));
    ASSERT_EQ(series.size(), ParameterSeries::kCapacity);
    EXPECT_EQ(series.at(0).timeMs, 10);
    EXPECT_EQ(series.at(series.size() - 1).timeMs, total - 1);

    series.clear();
    series.add(0, -3.0);
    series.addBreak(10);
    series.add(20, 7.5);
    EXPECT_FALSE(series.at(1).value.has_value());
    ASSERT_TRUE(series.valueRange());
    EXPECT_EQ(series.valueRange()->least, -3.0);
    EXPECT_EQ(series.valueRange()->greatest, 7.5);
    series.clear();
    series.addBreak(0);
    EXPECT_FALSE(series.valueRange());
}

TEST(AxisScaleTest, StepsAreRoundAndTheEndsCoverTheData) {
    const analysis::AxisScale scale = analysis::axisScale(3.2, 47.9, 5);
    EXPECT_DOUBLE_EQ(scale.step, 10.0);
    EXPECT_DOUBLE_EQ(scale.low, 0.0);
    EXPECT_DOUBLE_EQ(scale.high, 50.0);
    const analysis::AxisScale flat = analysis::axisScale(250.0, 250.0, 5);
    EXPECT_LT(flat.low, 250.0);
    EXPECT_GT(flat.high, 250.0);
    EXPECT_DOUBLE_EQ(analysis::axisScale(-0.013, 0.004, 4).step, 0.005);
}

TEST(OctalLabelTest, OneToThreeOctalDigitsUpTo377) {
    EXPECT_EQ(labels::parseOctalLabel("203"), 0203);
    EXPECT_EQ(labels::parseOctalLabel(" 7 "), 7);
    EXPECT_EQ(labels::parseOctalLabel("377"), 0377);
    for (const char* bad : {"", "400", "8", "0203", "2a"})
        EXPECT_FALSE(labels::parseOctalLabel(bad)) << bad;
}

} // namespace
