#include "transmission/stimulus_file.h"

#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<labels::LabelDatabase> exampleDatabase() {
    labels::LabelDatabaseLoad load =
        labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
    EXPECT_TRUE(load.ok());
    return std::make_unique<labels::LabelDatabase>(std::move(*load.database));
}

TEST(StimulusFile, TheExampleClimbsTurnsAndRollsAtTheDatabasesIntervals) {
    const auto database = exampleDatabase();
    const transmission::StimulusLoad load =
        transmission::loadStimulusFile(ZELVA_EXAMPLES_DIR "/stimulus.csv", *database);
    ASSERT_TRUE(load.ok()) << load.error->line << " " << load.error->column << " "
                           << load.error->why;
    ASSERT_EQ(load.parameters.size(), 9u);
    const transmission::StimulusParameter& roll = load.parameters[6];
    EXPECT_EQ(roll.label, 0325);
    EXPECT_EQ(roll.intervalMs, 20.0) << "the middle of 15..25 ms";
    const labels::Encoded word = labels::encodeWord(*roll.definition, roll.requestAt(25.0));
    ASSERT_TRUE(word.ok());
    EXPECT_NEAR(*labels::engineeringValue(*word.word, *roll.definition), 15.0,
                roll.definition->resolution);

    // Written and read again, the same parameters.
    const transmission::StimulusLoad again =
        transmission::parseStimulus(transmission::stimulusText(load.parameters), *database);
    ASSERT_TRUE(again.ok()) << again.error->line << " " << again.error->why;
    ASSERT_EQ(again.parameters.size(), load.parameters.size());
    for (std::size_t k = 0; k < again.parameters.size(); ++k) {
        EXPECT_EQ(again.parameters[k].definition, load.parameters[k].definition);
        EXPECT_EQ(again.parameters[k].intervalMs, load.parameters[k].intervalMs);
        for (const double t : {0.0, 7.5, 33.0})
            EXPECT_EQ(transmission::valueAt(again.parameters[k].law, t),
                      transmission::valueAt(load.parameters[k].law, t));
    }
}

TEST(StimulusFile, AnErrorNamesLineColumnAndReasonAndLoadsNothing) {
    const auto database = exampleDatabase();
    struct Case {
        const char* row;
        const char* column;
        const char* why;
    };
    const Case cases[] = {
        {"277,constant,1,,,", "label", "метки нет в базе меток"},
        {"203,ramp,1,,,", "law", "не constant, linear, sine или steps"},
        {"203,constant,60000,,,", "value", "значение 60000 вне диапазона -1000..50000"},
        {"203,constant,60000,,,range", "", ""}, // on purpose
        {"203,linear,0,,,", "from", "пусто"},
        {"203,constant,100,,0,", "interval_ms", "интервал не больше нуля"},
        {"203,constant,100,,,noise", "fault", "не parity или range"},
        {"203,steps,,1:0,,", "steps", "длительность ступени не больше нуля"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const transmission::StimulusLoad load = transmission::parseStimulus(
            std::string("label,law,value,steps,interval_ms,fault\n203,constant,100,,,\n") + c.row,
            *database);
        if (std::string(c.column).empty()) {
            EXPECT_TRUE(load.ok());
            continue;
        }
        ASSERT_FALSE(load.ok());
        EXPECT_TRUE(load.parameters.empty());
        EXPECT_EQ(load.error->line, 3);
        EXPECT_EQ(load.error->column, c.column);
        EXPECT_EQ(load.error->why, c.why);
    }
    EXPECT_EQ(transmission::stimulusErrorMessage(
                  "s.csv", *transmission::parseStimulus("label\n203\n", *database).error),
              "Файл имитации «s.csv» не загружен: строка 1, столбец «law», нет такого столбца.");
}

} // namespace
