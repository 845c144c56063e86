#include "format_test_helpers.h"

#include "analysis/recorder.h"
#include "analysis/recording_file.h"
#include "analysis/recording_messages.h"
#include "analysis/recording_row.h"
#include "reception/decimal_decode.h"
#include "temp_folder.h"
#include "util/csv_text.h"
#include "util/system_error_text.h"

#include "labels/label_database_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/mount.h>
#include <sys/resource.h>
#endif

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
        int settles = 0;
        int syncs = 0;
        std::optional<std::uint64_t> free;
    };
    explicit MemoryFile(Log& log) : log_(log) {}
    std::error_code append(std::string_view bytes) override {
        if (static_cast<int>(log_.writes.size()) + 1 == log_.failAt)
            return std::make_error_code(std::errc::no_space_on_device);
        log_.writes.emplace_back(bytes);
        return {};
    }
    std::error_code settle() override {
        ++log_.settles;
        return {};
    }
    std::error_code sync() override {
        ++log_.syncs;
        return {};
    }
    [[nodiscard]] std::optional<std::uint64_t> freeBytes() const override { return log_.free; }

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
    tick({}); // nothing changed: nothing written, though its 250 ms count
    tick({{7, 255, 0x000100FFu}});

    ASSERT_EQ(file.writes.size(), 3u);
    EXPECT_EQ(file.writes[0], std::string(analysis::kRecordingColumnNames) + "\r\n");
    // The channel's own format decodes each word: only input 5 has one for label 203.
    EXPECT_EQ(file.writes[1], "2024-12-31 23:59:59.999,250,8,5,131,a8000283,203,2,1,норма,"
                              "+90.000000  deg,,\r\n"
                              "2024-12-31 23:59:59.999,250,8,1,131,a8000283,203,2,1,норма,,,\r\n");
    EXPECT_EQ(file.writes[2], "2024-12-31 23:59:59.999,750,10,8,255,000100ff,377,0,0,норма,,,\r\n");
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

TEST_F(RecordingFileTest, ReplacesAnOldFileOnceSettledAndFailsOnceTheFileIsGone) {
    const std::filesystem::path path = dir / "запись.csv";
    testing_support::writeBytes(path, std::string_view("old contents that are longer"));
    {
        analysis::CreatedRecordingFile unsettled = analysis::createRecordingFile(path);
        ASSERT_TRUE(unsettled.file) << unsettled.error.message();
        ASSERT_FALSE(unsettled.file->append("a,b\r\n"));
    }
    EXPECT_EQ(testing_support::readBytes(path), "old contents that are longer");
    EXPECT_EQ(testing_support::entriesIn(dir), 1u) << "the file beside it is gone";

    analysis::CreatedRecordingFile created = analysis::createRecordingFile(path);
    ASSERT_TRUE(created.file) << created.error.message();
    ASSERT_FALSE(created.file->append("a,b\r\n"));
    ASSERT_FALSE(created.file->settle());
    EXPECT_EQ(testing_support::readBytes(path), "a,b\r\n");
    ASSERT_FALSE(created.file->append("c,d\r\n"));
    ASSERT_FALSE(created.file->sync());
    EXPECT_EQ(testing_support::readBytes(path), "a,b\r\nc,d\r\n"); // before the next tick
    EXPECT_EQ(testing_support::entriesIn(dir), 1u);

#ifdef _WIN32
    GTEST_SKIP() << "Windows refuses to delete a file that is open, so it cannot go away";
#endif
    std::filesystem::remove(path);
    EXPECT_TRUE(created.file->append("e,f\r\n"));
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

TEST(RecordingMessages, TellTheSystemsErrorInRussianWithItsCodeAndThePartThatFailed) {
    EXPECT_EQ(util::systemErrorText(std::make_error_code(std::errc::no_space_on_device)),
              "на диске нет места (код " + std::to_string(ENOSPC) + ")");
    EXPECT_EQ(util::systemErrorText(std::make_error_code(std::errc::permission_denied)),
              "нет прав на запись (код " + std::to_string(EACCES) + ")");
    EXPECT_EQ(util::systemErrorText(std::make_error_code(std::errc::no_such_device)),
              "носитель отключен (код " + std::to_string(ENODEV) + ")");
    EXPECT_EQ(util::systemErrorText(std::make_error_code(std::errc::resource_deadlock_would_occur)),
              "системная ошибка (код " + std::to_string(EDEADLK) + ")");

    const analysis::RecordingLimits limits{0, {}, 100ULL << 20};
    EXPECT_EQ(
        analysis::recordingEndedWarning(
            "d/rec.csv", {std::make_error_code(std::errc::read_only_file_system), 7, 2}, limits),
        "Не удалось записать в файл \"d/rec.002.csv\" (носитель только для чтения (код " +
            std::to_string(EROFS) +
            ")).\nЗапись принятых слов остановлена; в файле сохранено принятых слов: 7.");
    EXPECT_EQ(analysis::recordingEndedWarning("rec.csv", {{}, 3, 0}, limits),
              "На диске файла \"rec.csv\" свободно меньше 100 МБ.\n"
              "Запись принятых слов остановлена; в файле сохранено принятых слов: 3.");
    EXPECT_EQ(analysis::recordingPartName("a.b/rec", 12), "a.b/rec.012");
    EXPECT_EQ(analysis::recordingPartPath("a.b/rec.csv", 1),
              std::filesystem::path("a.b/rec.001.csv"));
}

/// A recording split into parts kept in memory, the part that cannot be opened refused.
struct SplitRecorderTest : RecorderTest {
    std::error_code start(const analysis::RecordingLimits& limits) {
        // Every recording from the same tick and moment, so that their rows compare.
        state->TickCount = 7;
        clock.now = std::chrono::milliseconds(10'000);
        parts.emplace_back();
        return recorder.start(
            std::make_unique<MemoryFile>(parts.back()), limits,
            [this](unsigned part) -> analysis::CreatedRecordingFile {
                EXPECT_EQ(part, parts.size());
                if (static_cast<int>(part) == refusedPart)
                    return {nullptr, std::make_error_code(std::errc::permission_denied)};
                parts.emplace_back();
                return {std::make_unique<MemoryFile>(parts.back()), {}};
            });
    }
    // Ten ticks of one to three rows, each word new.
    void record() {
        for (std::uint32_t n = 1; n <= 10; ++n) {
            const auto cell = static_cast<std::uint8_t>(n);
            if (n % 3 == 0)
                tick({{0, cell, n}, {1, cell, n}, {2, cell, n}});
            else
                tick({{0, cell, n}});
        }
    }
    std::deque<MemoryFile::Log> parts;
    int refusedPart = 0;
};

TEST_F(SplitRecorderTest, SplitsBetweenTicksBySizeOrTimeWithTheColumnNamesInEachPart) {
    // Unsplit, for the rows every split must give back.
    ASSERT_FALSE(start({}));
    record();
    ASSERT_EQ(parts.size(), 1u);
    const std::vector<std::string> unsplit(parts[0].writes.begin() + 1, parts[0].writes.end());
    const std::string header = parts[0].writes[0];

    for (const analysis::RecordingLimits limits :
         {analysis::RecordingLimits{header.size() + 150, {}, 0},
          analysis::RecordingLimits{0, std::chrono::seconds(1), 0}}) {
        parts.clear();
        ASSERT_FALSE(start(limits));
        record();
        EXPECT_TRUE(recorder.running());
        EXPECT_EQ(recorder.rowsKept(), 16u);
        ASSERT_GT(parts.size(), 2u);
        std::vector<std::string> ticks;
        for (const MemoryFile::Log& part : parts) {
            ASSERT_GE(part.writes.size(), 2u) << "a part holds a tick at least";
            EXPECT_EQ(part.writes[0], header);
            EXPECT_EQ(part.settles, 1);
            std::size_t bytes = 0;
            for (const std::string& write : part.writes)
                bytes += write.size();
            if (limits.splitBytes != 0 && part.writes.size() > 2) {
                EXPECT_LE(bytes, limits.splitBytes);
            }
            ticks.insert(ticks.end(), part.writes.begin() + 1, part.writes.end());
        }
        EXPECT_EQ(ticks, unsplit) << "no row lost or doubled";
    }
    // 250 ms a tick: the first part took the ticks before its first second was up.
    EXPECT_EQ(parts[0].writes.size(), 1u + 3u);
}

TEST_F(SplitRecorderTest, APartThatCannotBeOpenedEndsTheRecordingNamingThatPart) {
    refusedPart = 2;
    ASSERT_FALSE(start({0, std::chrono::seconds(1), 0}));
    record();
    EXPECT_FALSE(recorder.running());
    ASSERT_TRUE(recorder.failure());
    EXPECT_EQ(recorder.failure()->part, 2u);
    EXPECT_EQ(recorder.failure()->rowsKept, 0u);
    EXPECT_EQ(recorder.failure()->error, std::errc::permission_denied);
    EXPECT_EQ(parts.size(), 2u);
    EXPECT_EQ(recorder.rowsKept(), 5u + 6u) << "ticks 1-3 and 4-7 in their parts";
}

TEST_F(RecorderTest, SettlesAtTheFirstTickSyncsEveryTwoSecondsAndStopsWhenTheDiskFillsUp) {
    file.free = 99ULL << 20;
    ASSERT_FALSE(start());
    EXPECT_EQ(file.settles, 0);
    tick({});
    EXPECT_FALSE(recorder.running()) << "too little space already: the old file stays";
    EXPECT_EQ(file.settles, 0);
    ASSERT_TRUE(recorder.failure());
    EXPECT_FALSE(recorder.failure()->error);

    file = {};
    file.free = 200ULL << 20;
    ASSERT_FALSE(start());
    for (std::uint32_t n = 1; n <= 8; ++n)
        tick({{0, 1, n}});
    EXPECT_EQ(file.settles, 1);
    EXPECT_EQ(file.syncs, 1) << "8 ticks of 250 ms";
    file.free = 1ULL << 20;
    for (std::uint32_t n = 1; n <= 8 && recorder.running(); ++n)
        tick({{0, 1, n + 100}});
    ASSERT_TRUE(recorder.failure());
    EXPECT_FALSE(recorder.failure()->error);
    EXPECT_EQ(recorder.failure()->rowsKept, 16u) << "stopped at the next look, two seconds on";
    EXPECT_EQ(file.syncs, 3) << "the look's and the stop's";
}

/// A file system that really fills: a tmpfs of 16 KiB mounted on the folder where the test
/// may mount (as root on Linux), else a limit on the size of the files the process writes.
class FillingDiskTest : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
#ifdef __linux__
        mounted = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=16k") == 0;
        if (!mounted) {
            ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
            rlimit limit = saved;
            limit.rlim_cur = 16 * 1024;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            limited = true;
            previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        }
#else
        GTEST_SKIP() << "no small file system to fill here";
#endif
    }
    void TearDown() override {
#ifdef __linux__
        if (mounted)
            ::umount2(dir.c_str(), MNT_DETACH);
        if (limited) {
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previousSignal);
        }
#endif
        TempFolderTest::TearDown();
    }

    bool mounted = false;
#ifdef __linux__
    bool limited = false;
    rlimit saved{};
    void (*previousSignal)(int) = nullptr;
#endif
};

TEST_F(FillingDiskTest, AFullDiskLeavesEveryRowBeforeItWholeAndIsToldInRussian) {
    auto lookup = std::make_unique<reception::AllChannelsFormatLookup>();
    auto state = std::make_unique<board::SharedState>();
    auto changes = std::make_unique<reception::ChangedCells>();
    SteppingClock clock;
    analysis::Recorder recorder{*lookup, clock};
    const std::filesystem::path path = dir / "r.csv";
    ASSERT_FALSE(recorder.start(path, {0, {}, 0}));
    // Seven rows a tick: a tick's write rarely ends on the disk's last byte.
    for (std::uint32_t n = 1; n < 10'000 && recorder.running(); ++n) {
        changes->clear();
        for (std::uint8_t cell = 0; cell < 7; ++cell)
            changes->add({cell, cell, n * 7 + cell});
        ++state->TickCount;
        recorder.afterTickReads(*state, *changes);
    }
    ASSERT_FALSE(recorder.running());
    ASSERT_TRUE(recorder.failure());
    const std::string reason = util::systemErrorText(recorder.failure()->error);
    EXPECT_EQ(reason.rfind(mounted ? "на диске нет места" : "файл достиг наибольшего размера", 0),
              0u)
        << reason;

    const std::string text = testing_support::readBytes(path);
    ASSERT_GE(text.size(), 8u * 1024u);
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n") << "ends with a whole row";
    std::size_t rows = 0;
    const auto columns = std::count(analysis::kRecordingColumnNames.begin(),
                                    analysis::kRecordingColumnNames.end(), ',');
    for (std::size_t at = 0, end = 0; at < text.size(); at = end + 2, ++rows) {
        end = text.find("\r\n", at);
        ASSERT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                             text.begin() + static_cast<std::ptrdiff_t>(end), ','),
                  columns)
            << "line " << rows + 1;
    }
    EXPECT_EQ(rows - 1, recorder.failure()->rowsKept);
    EXPECT_EQ(recorder.failure()->rowsKept % 7, 0u);
    EXPECT_EQ(testing_support::entriesIn(dir), 1u);
    const std::string message =
        analysis::recordingEndedWarning(path.string(), *recorder.failure(), {});
    EXPECT_NE(message.find("сохранено принятых слов: " + std::to_string(rows - 1) + "."),
              std::string::npos)
        << message;
}

} // namespace
