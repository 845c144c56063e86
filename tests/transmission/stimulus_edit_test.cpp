// What the stimulus window lets the user type: values and intervals in place, laws field by
// field; nothing typed wrong reaches the parameter.

#include "transmission/stimulus_edit.h"

#include "labels/label_database_file.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using transmission::LawKind;

const labels::LabelDefinition& row(const labels::LabelDatabase& database, std::uint8_t label) {
    for (const labels::LabelDefinition& definition : database.rows())
        if (definition.label == label)
            return definition;
    throw std::runtime_error("no such label");
}

std::unique_ptr<labels::LabelDatabase> exampleDatabase() {
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    return std::make_unique<labels::LabelDatabase>(std::move(*load.database));
}

TEST(StimulusEdit, AValueTypedInPlaceIsTakenOnlyWhenItMakesAWord) {
    const auto database = exampleDatabase();
    transmission::StimulusParameter roll = transmission::parameterFor(row(*database, 0325));
    EXPECT_EQ(roll.law.kind, LawKind::Constant);
    EXPECT_TRUE(transmission::parameterProblem(roll).empty());
    EXPECT_GT(roll.intervalMs, 0.0);

    EXPECT_EQ(transmission::setValueText(roll, "-12,5"), "");
    EXPECT_EQ(roll.law.value, -12.5);
    EXPECT_NE(transmission::shownValue(roll, 0.0).find("-12.5"), std::string::npos);
    for (const char* wrong : {"", "abc", "1e9", "nan"}) {
        EXPECT_NE(transmission::setValueText(roll, wrong), "") << wrong;
    }
    EXPECT_EQ(roll.law.value, -12.5);
    EXPECT_NE(transmission::setIntervalText(roll, "0"), "");
    EXPECT_EQ(transmission::setIntervalText(roll, "25,5"), "");
    EXPECT_EQ(roll.intervalMs, 25.5);
}

TEST(StimulusEdit, LawsComeBackFromTheirFieldsAndWrongFieldsSayWhich) {
    transmission::Law sine{
        .kind = LawKind::Sine, .mean = 37.62, .amplitude = 0.01, .periodSeconds = 600};
    const transmission::LawEdit back = transmission::lawOf(transmission::fieldsOf(sine));
    ASSERT_TRUE(back.law);
    EXPECT_EQ(back.law->mean, 37.62);
    EXPECT_EQ(back.law->periodSeconds, 600);

    transmission::LawFields steps{.kind = LawKind::Steps, .steps = "0,5:2;10:1"};
    const transmission::LawEdit stepped = transmission::lawOf(steps);
    ASSERT_TRUE(stepped.law);
    ASSERT_EQ(stepped.law->steps.size(), 2u);
    EXPECT_EQ(stepped.law->steps[0].value, 0.5);

    transmission::LawFields linear{.kind = LawKind::Linear, .from = "1", .to = "x", .seconds = "5"};
    EXPECT_EQ(transmission::lawOf(linear).why, "до: не число");
    linear.to = "2";
    linear.seconds = "0";
    EXPECT_FALSE(transmission::lawOf(linear).law) << "a ramp of no duration cannot run";
    EXPECT_EQ(
        transmission::lawText(*transmission::lawOf({.kind = LawKind::Linear,
                                                    .from = "-30",
                                                    .to = "30",
                                                    .seconds = "20",
                                                    .end = transmission::LinearEnd::BackAndForth})
                                   .law),
        "линейно -30 → 30 за 20 с, туда и обратно");
}

} // namespace
