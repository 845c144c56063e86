#include "transmission/stimulus_law.h"

#include <gtest/gtest.h>

namespace {

using transmission::Law;
using transmission::LawKind;
using transmission::LinearEnd;

TEST(StimulusLaw, EachLawAtKnownMoments) {
    EXPECT_EQ(transmission::valueAt({.kind = LawKind::Constant, .value = 250.0}, 7.0), 250.0);

    // Roll from -30° to +30° over 20 s.
    Law roll{.kind = LawKind::Linear, .from = -30.0, .to = 30.0, .seconds = 20.0};
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 0.0), -30.0);
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 25.0), 30.0) << "then holds";
    roll.end = LinearEnd::Repeat;
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 25.0), -15.0);
    roll.end = LinearEnd::BackAndForth;
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 25.0), 15.0);
    EXPECT_DOUBLE_EQ(transmission::valueAt(roll, 45.0), -15.0);

    const Law sine{.kind = LawKind::Sine, .mean = 2.0, .amplitude = 3.0, .periodSeconds = 20.0};
    EXPECT_DOUBLE_EQ(transmission::valueAt(sine, 5.0), 5.0);
    EXPECT_NEAR(transmission::valueAt(sine, 10.0), 2.0, 1e-12);

    const Law steps{.kind = LawKind::Steps, .steps = {{100.0, 5.0}, {200.0, 2.0}}};
    EXPECT_EQ(transmission::valueAt(steps, 4.9), 100.0);
    EXPECT_EQ(transmission::valueAt(steps, 5.0), 200.0);
    EXPECT_EQ(transmission::valueAt(steps, 7.5), 100.0) << "round again";
}

TEST(StimulusLaw, LawsThatCannotRunSayWhy) {
    EXPECT_EQ(transmission::lawProblem({.kind = LawKind::Linear}),
              "время изменения не больше нуля");
    EXPECT_EQ(transmission::lawProblem({.kind = LawKind::Sine}), "период не больше нуля");
    EXPECT_EQ(transmission::lawProblem({.kind = LawKind::Steps}), "нет ступеней");
    EXPECT_EQ(transmission::lawProblem({.kind = LawKind::Steps, .steps = {{1.0, 0.0}}}),
              "длительность ступени не больше нуля");
    EXPECT_TRUE(transmission::lawProblem({.kind = LawKind::Constant}).empty());
}

} // namespace
