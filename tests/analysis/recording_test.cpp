#include "format_test_helpers.h"

#include "analysis/recorder.h"
#include "analysis/recording_messages.h"
#include "analysis/recording_row.h"
#include "reception/decimal_decode.h"
#include "temp_folder.h"
#include "util/csv_text.h"

#include "labels/label_database_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using reception_testing::makeFormat;

namespace {

std::string csvField(std::string_view text) {
    std::string out(util::csvFieldCapacity(text.size()), '\0');
    out.resize(static_cast<std::size_t>(util::writeCsvField(out.data(), text) - out.data()));
    return out;
}

TEST(CsvText, QuotesOnlyFieldsWithSeparatorsQuotesOrLineBreaks) {
    EXPECT_EQ(csvField("+90.000000  deg"), "+90.000000  deg");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("1,5"), "\"1,5\"");
    EXPECT_EQ(csvField("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(csvField("a\nb"), "\"a\nb\"");
    EXPECT_EQ(csvField("a\rb"), "\"a\rb\"");
    EXPECT_EQ(csvField("\"\""), "\"\"\"\"\"\""); // the longest a field gets
}

// Label 203 (octal) with SDI 2, SSM 1 and bit 28 set; bit 32 makes the count of ones odd.
constexpr std::uint32_t kHeadingWord = 0xA8000283u;

struct RowTest : ::testing::Test {
    [[nodiscard]] std::string row(std::uint32_t word, std::uint8_t channelIndex = 2,
                                  std::uint8_t cell = 0203) const {
        std::string out;
        analysis::appendRecordingRow(out, "T,", {channelIndex, cell, word}, lookup, database.get());
        return out;
    }
    reception::ChannelFormatLookup lookup{};
    std::unique_ptr<labels::LabelDatabase> database;
};

TEST_F(RowTest, TakesTheWordApartAndDecodesItThroughItsLabelsFormat) {
    lookup.slots[0203] = makeFormat("HDG", 0, 28, 18, 90.0f, "deg");
    EXPECT_EQ(row(kHeadingWord), "T,3,131,a8000283,203,2,1,норма,+90.000000  deg,,\r\n");
    // The same word with bit 32 clear has an even count of ones.
    EXPECT_EQ(row(kHeadingWord & 0x7FFFFFFFu, 0, 7), "T,1,7,28000283,203,2,1,ошибка,"
                                                     "+90.000000  deg,,\r\n");
}

TEST_F(RowTest, LeavesTheDecimalFieldEmptyWithoutAFormatOrWithBitsOutsideTheWord) {
    EXPECT_EQ(row(kHeadingWord), "T,3,131,a8000283,203,2,1,норма,,,\r\n");
    lookup.slots[0203] = makeFormat("BAD", 0, 40, 18, 90.0f, "deg"); // a damaged state file
    EXPECT_EQ(row(kHeadingWord), "T,3,131,a8000283,203,2,1,норма,,,\r\n");
}

TEST_F(RowTest, QuotesUnitsThatHoldACommaOrAQuote) {
    lookup.slots[0203] = makeFormat("HDG", 0, 28, 18, 90.0f, "g,\"m");
    EXPECT_EQ(row(kHeadingWord), "T,3,131,a8000283,203,2,1,норма,\"+90.000000 g,\"\"m\",,\r\n");
}

TEST_F(RowTest, NamesAndDecodesTheLabelsTheDatabaseDefines) {
    labels::LabelDatabaseLoad load =
        labels::parseLabelDatabase("label,sdi,name,encoding,bits,resolution\n"
                                   "203,2,\"Курс, магнитный\",BNR,10,0.25\n");
    ASSERT_TRUE(load.ok());
    database = std::make_unique<labels::LabelDatabase>(std::move(*load.database));
    // Bit 28 is the most significant of ten bits: 2^9 steps of 0.25.
    EXPECT_EQ(row(kHeadingWord), "T,3,131,a8000283,203,2,1,норма,,\"Курс, магнитный\",128.00\r\n");
    EXPECT_EQ(row((kHeadingWord & ~0x200u) | 0x100u), "T,3,131,a8000183,203,1,1,норма,,,\r\n")
        << "no row for SDI 1";
}

// The recording builds the decimal column's text without printf; it must not differ.
TEST(RecordingDecimalText, IsTheDecimalColumnsTextForEveryWordAndFormat) {
    const formats::DecimalFormat kFormats[] = {makeFormat("HDG", 0, 28, 18, 90.0f, "deg"),
                                               makeFormat("ALT", 0, 28, 9, 65536.0f, "ft"),
                                               makeFormat("V", 1, 29, 9, 16384.0f, "\xEC/\xF1"),
                                               makeFormat("W", 0, 32, 1, 3.4e38f, "1234567"),
                                               makeFormat("U", 0, 12, 9, 0.001f, ""),
                                               makeFormat("E", 0, 9, 12, 1.0f, "four")};
    for (const formats::DecimalFormat& format : kFormats)
        for (std::uint32_t word = 0; word < 0xFFFFFFFFu - 0x00F0F0F0u; word += 0x00F0F0F1u) {
            std::array<char, reception::kDecimalTextCapacity> text;
            const std::size_t length = reception::writeDecimalText(text, word, format);
            ASSERT_EQ(std::string(text.data(), length), reception::decodeDecimalWith(word, format))
                << std::hex << word << " " << format.label.data();
        }
}

TEST(RecordingTickFields, WriteLocalTimeToTheMillisecondThenElapsedMsAndTick) {
    std::string out;
    analysis::appendTickFields(out, {{2024, 3, 5, 7, 8, 9, 45}, 1500, 4294967295u});
    EXPECT_EQ(out, "2024-03-05 07:08:09.045,1500,4294967295,");
}

class SteppingClock final : public analysis::RecordingClock {
public:
    analysis::LocalDateTime localNow() override { return {2024, 12, 31, 23, 59, 59, 999}; }
    std::chrono::milliseconds monotonicNow() override {
        return now += std::chrono::milliseconds(250);
    }
    std::chrono::milliseconds now{10'000};
};

/// Keeps what it was given, and fails the write numbered `failAt` (1 = the first).
class MemoryFile final : public analysis::RecordingFile {
public:
    struct Log {
        std::vector<std::string> writes;
        int failAt = 0;
    };
    explicit MemoryFile(Log& log) : log_(log) {}
    std::error_code append(std::string_view bytes) override {
        if (static_cast<int>(log_.writes.size()) + 1 == log_.failAt)
            return std::make_error_code(std::errc::no_space_on_device);
        log_.writes.emplace_back(bytes);
        return {};
    }

private:
    Log& log_;
};

struct RecorderTest : ::testing::Test {
    RecorderTest() { state->TickCount = 7; }

    void tick(std::initializer_list<reception::CellChange> cells) {
        changes->clear();
        for (const reception::CellChange& cell : cells)
            changes->add(cell);
        ++state->TickCount;
        recorder.afterTickReads(*state, *changes);
    }
    std::error_code start() { return recorder.start(std::make_unique<MemoryFile>(file)); }

    MemoryFile::Log file;
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
    std::unique_ptr<reception::ChangedCells> changes = std::make_unique<reception::ChangedCells>();
    std::unique_ptr<reception::AllChannelsFormatLookup> lookup =
        std::make_unique<reception::AllChannelsFormatLookup>();
    SteppingClock clock;
    analysis::Recorder recorder{*lookup, clock};
};

TEST_F(RecorderTest, WritesTheColumnNamesThenOneWriteForEachTickThatChangedCells) {
    lookup->channels[4].slots[0203] = makeFormat("HDG", 0, 28, 18, 90.0f, "deg");
    ASSERT_FALSE(start());
    tick({{4, 0203, kHeadingWord}, {0, 0203, kHeadingWord}});
    tick({}); // nothing changed: nothing written
    tick({{7, 255, 0x000100FFu}});

    ASSERT_EQ(file.writes.size(), 3u);
    EXPECT_EQ(file.writes[0], std::string(analysis::kRecordingColumnNames) + "\r\n");
    // The channel's own format decodes each word: only input 5 has one for label 203.
    EXPECT_EQ(file.writes[1], "2024-12-31 23:59:59.999,250,8,5,131,a8000283,203,2,1,норма,"
                              "+90.000000  deg,,\r\n"
                              "2024-12-31 23:59:59.999,250,8,1,131,a8000283,203,2,1,норма,,,\r\n");
    EXPECT_EQ(file.writes[2], "2024-12-31 23:59:59.999,500,10,8,255,000100ff,377,0,0,норма,,,\r\n");
    EXPECT_EQ(recorder.rowsKept(), 3u);
    EXPECT_TRUE(recorder.running());
}

TEST_F(RecorderTest, AFileModeChannelIsWrittenInTheOrderItsWordsArrived) {
    state->SImode[2] = board::SImodeFile;
    ASSERT_FALSE(start());
    // The tick's words filled cells 254, 255, 0 and 1: the cells come in ascending order.
    tick({{2, 0, 0x30u},
          {2, 1, 0x40u},
          {2, 254, 0x10u},
          {2, 255, 0x20u},
          {3, 0, 0x50u},
          {3, 255, 0x60u}});
    ASSERT_EQ(file.writes.size(), 2u);
    std::vector<std::string> words;
    for (std::size_t at = file.writes[1].find(",000000"); at != std::string::npos;
         at = file.writes[1].find(",000000", at + 1))
        words.push_back(file.writes[1].substr(at + 7, 2));
    EXPECT_EQ(words, (std::vector<std::string>{"10", "20", "30", "40", "50", "60"}))
        << "input 4, by address, keeps its cells' order";
}

TEST_F(RecorderTest, AFailedWriteEndsTheRecordingAndCountsTheRowsOfEarlierTicks) {
    file.failAt = 3;
    ASSERT_FALSE(start());
    tick({{0, 1, 0x00010001u}, {0, 2, 0x00010002u}});
    tick({{0, 3, 0x00010003u}});
    ASSERT_FALSE(recorder.running());
    ASSERT_TRUE(recorder.failure());
    EXPECT_EQ(recorder.failure()->error, std::errc::no_space_on_device);
    EXPECT_EQ(recorder.failure()->rowsKept, 2u);

    tick({{0, 4, 0x00010004u}});
    EXPECT_EQ(file.writes.size(), 2u);
    // A new recording starts afresh.
    file.failAt = 0;
    ASSERT_FALSE(start());
    EXPECT_FALSE(recorder.failure());
    EXPECT_EQ(recorder.rowsKept(), 0u);
}

TEST_F(RecorderTest, AFileThatRefusesTheColumnNamesRecordsNothing) {
    file.failAt = 1;
    EXPECT_EQ(start(), std::errc::no_space_on_device);
    EXPECT_FALSE(recorder.running());
    tick({{0, 1, 0x00010001u}});
    EXPECT_TRUE(file.writes.empty());
}

using RecordingFileTest = testing_support::TempFolderTest;

TEST_F(RecordingFileTest, ReplacesAnOldFileAndFailsOnceTheFileIsGone) {
    const std::filesystem::path path = dir / "запись.csv";
    testing_support::writeBytes(path, std::string_view("old contents that are longer"));
    analysis::CreatedRecordingFile created = analysis::createRecordingFile(path);
    ASSERT_TRUE(created.file) << created.error.message();
    ASSERT_FALSE(created.file->append("a,b\r\n"));
    EXPECT_EQ(testing_support::readBytes(path), "a,b\r\n"); // on disk before the next tick

#ifdef _WIN32
    GTEST_SKIP() << "Windows refuses to delete a file that is open, so it cannot go away";
#endif
    std::filesystem::remove(path);
    EXPECT_TRUE(created.file->append("c,d\r\n"));
}

TEST_F(RecordingFileTest, CannotBeCreatedInAFolderThatIsNotThere) {
    const analysis::CreatedRecordingFile created =
        analysis::createRecordingFile(dir / "missing" / "r.csv");
    EXPECT_FALSE(created.file);
    EXPECT_TRUE(created.error);
}

TEST(RecordingMessages, NameTheFileTheReasonAndTheRowsKept) {
    EXPECT_EQ(analysis::recordingNotStartedWarning("/mnt/r.csv", "Permission denied"),
              "Не удалось создать файл \"/mnt/r.csv\" (Permission denied).\n"
              "Запись принятых слов не начата.");
    EXPECT_EQ(analysis::recordingStoppedWarning("r.csv", "", 4096),
              "Не удалось записать в файл \"r.csv\".\n"
              "Запись принятых слов остановлена; в файле сохранено принятых слов: 4096.");
}

} // namespace
