// Recordings read back word by word as the recorder wrote them; damage told by line and
// column, a last row cut short skipped.

#include "analysis/recording_reader.h"
#include "analysis/recording_row.h"
#include "labels/label_database_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class RecordingReaderTest : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }
    static std::string header() { return std::string(analysis::kRecordingColumnNames) + "\r\n"; }
    /// The rows a tick at `ms` writes for `changes`, with the example database's columns.
    std::string tick(std::uint64_t ms, std::uint32_t number,
                     std::initializer_list<reception::CellChange> changes) {
        std::string fields;
        analysis::appendTickFields(fields, {{2026, 12, 9, 10, 0, 0, 0}, ms, number});
        std::string rows;
        for (const reception::CellChange& change : changes)
            analysis::appendRecordingRow(rows, fields, change, lookup_, database_.get());
        return rows;
    }

    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("recording-reader-" + std::to_string(::getpid()) + ".csv");
    reception::ChannelFormatLookup lookup_{};
    std::unique_ptr<labels::LabelDatabase> database_ = [] {
        labels::LabelDatabaseLoad load =
            labels::loadLabelDatabaseFile(ZELVA_EXAMPLES_DIR "/label-database.csv");
        return std::make_unique<labels::LabelDatabase>(std::move(*load.database));
    }();

    void TearDown() override { std::filesystem::remove(path_); }
};

TEST_F(RecordingReaderTest, ReadsBackWhatTheRecorderWroteAndSkipsATornLastRow) {
    // 0x60000083 is label 203 on input 1: its name and value are quoted when they hold commas.
    const std::string text = header() + tick(0, 7, {{0, 0, 0x60000083}, {4, 17, 0x12345678}}) +
                             tick(100, 8, {{0, 1, 0xE0000083}});
    write(text + text.substr(header().size(), 30)); // and a row cut in the middle
    analysis::RecordingReader reader(path_);
    std::vector<analysis::RecordedWord> words;
    for (analysis::RecordedWord word; reader.next(word);)
        words.push_back(word);
    EXPECT_FALSE(reader.error());
    EXPECT_EQ(reader.tornLine(), 5);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1].channelNo, 5);
    EXPECT_EQ(words[1].cell, 17);
    EXPECT_EQ(words[1].word, 0x12345678u);
    EXPECT_EQ(words[2].ms, 100u);
    EXPECT_EQ(words[2].tick, 8u);

    const analysis::RecordingSummary summary = analysis::summarizeRecording(path_);
    EXPECT_TRUE(summary.ok());
    EXPECT_EQ(summary.words, 3u);
    EXPECT_EQ(summary.lastMs, 100u);
    EXPECT_EQ(summary.channels, 0b10001);
    EXPECT_EQ(summary.labels[0], std::vector<std::uint8_t>{0203});
}

TEST_F(RecordingReaderTest, DamageStopsTheReadingWithItsLineColumnAndReason) {
    const std::string good = tick(0, 1, {{0, 0, 0x60000083}});
    struct Case {
        std::string text;
        int line;
        const char* column;
    };
    std::string badWord = good;
    badWord.replace(badWord.find("60000083"), 8, "6000008g");
    std::string otherLabel = good;
    otherLabel.replace(otherLabel.find(",203,"), 5, ",204,");
    const Case cases[] = {
        {"", 0, ""},
        {"a,b,c\n" + good, 1, ""},
        {header() + badWord, 2, "слово"},
        {header() + otherLabel, 2, "метка"},
        {header() + tick(50, 1, {{0, 0, 0x83}}) + tick(40, 2, {{0, 0, 0x83}}), 3,
         "мс от начала записи"},
        {header() + "x\n" + good, 2, ""},
        {header() + std::string(100000, '"'), 2, ""}, // no row is that long: read no further
    };
    for (const Case& c : cases) {
        write(c.text);
        const analysis::RecordingSummary summary = analysis::summarizeRecording(path_);
        ASSERT_TRUE(summary.error) << c.text;
        EXPECT_EQ(summary.error->line, c.line) << c.text;
        EXPECT_EQ(summary.error->column, c.column) << c.text;
    }
    EXPECT_EQ(analysis::recordingErrorMessage("r.csv", {2, "слово", "не 8 шестнадцатеричных цифр"}),
              "Запись «r.csv» не воспроизводится: строка 2, столбец «слово», не 8 "
              "шестнадцатеричных цифр.");
    EXPECT_TRUE(analysis::summarizeRecording(path_.parent_path()).error) << "a folder";
    write(header());
    EXPECT_TRUE(analysis::summarizeRecording(path_).ok()) << "a recording of nothing";
}

} // namespace
