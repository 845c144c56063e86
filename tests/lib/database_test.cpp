#include "library_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

namespace {

constexpr const char* kExampleDatabase = ZELVA_EXAMPLES_DIR "/label-database.csv";

/// A database file of the test's own, removed at the end of the test.
class DatabaseFile {
public:
    explicit DatabaseFile(const std::string& text)
        : path_(std::filesystem::temp_directory_path() /
                ("zelva1-database-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 ".csv")) {
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~DatabaseFile() { std::filesystem::remove(path_); }
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    [[nodiscard]] std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

/// The example database, closed at the end of the test.
class ExampleDatabase {
public:
    explicit ExampleDatabase(const std::string& path = kExampleDatabase) {
        EXPECT_EQ(zelva1_database_open(path.c_str(), &database_, nullptr, 0), ZELVA1_OK);
    }
    ~ExampleDatabase() { zelva1_database_close(database_); }
    ExampleDatabase(const ExampleDatabase&) = delete;
    ExampleDatabase& operator=(const ExampleDatabase&) = delete;

    [[nodiscard]] zelva1_database* get() const { return database_; }

    /// The word for a value, or 0 with the library's reason in `why`.
    std::uint32_t encode(unsigned label, double value, int sdi = -1, int ssm = -1,
                         unsigned flags = 0, std::uint32_t discretes = 0) {
        std::uint32_t word = 0;
        status = zelva1_encode(database_, 1, label, sdi, ssm, value, discretes, flags, &word,
                               why.data(), why.size());
        return word;
    }

    int status = ZELVA1_OK;
    std::array<char, 256> why{};

private:
    zelva1_database* database_ = nullptr;
};

TEST(Database, AFileThatIsMissingOrWrongIsRefusedWithItsLineAndReason) {
    zelva1_database* database = nullptr;
    std::array<char, 256> message{};
    EXPECT_EQ(zelva1_database_open(ZELVA_EXAMPLES_DIR "/missing.csv", &database, message.data(),
                                   message.size()),
              ZELVA1_ERROR_FILE);
    EXPECT_NE(std::string(message.data()).find("«missing.csv» не загружен"), std::string::npos)
        << message.data();
    EXPECT_EQ(database, nullptr);

    const DatabaseFile wrong("label,name,encoding,bits,resolution\n"
                             "203,Высота,BNR,17,1\n"
                             "204,Скорость,BNR,40,1\n");
    EXPECT_EQ(zelva1_database_open(wrong.path().c_str(), &database, message.data(), message.size()),
              ZELVA1_ERROR_CONTENT);
    EXPECT_NE(std::string(message.data()).find("строка 3, столбец «bits»"), std::string::npos)
        << message.data();
    // Cut to the room given, before a whole letter: "Файл" is four two-byte letters.
    std::array<char, 8> cut{};
    EXPECT_EQ(zelva1_database_open(wrong.path().c_str(), &database, cut.data(), cut.size()),
              ZELVA1_ERROR_CONTENT);
    EXPECT_STREQ(cut.data(), "Фай");
    EXPECT_EQ(database, nullptr);

    EXPECT_EQ(zelva1_database_open(nullptr, &database, nullptr, 0), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_database_open(kExampleDatabase, nullptr, nullptr, 0), ZELVA1_ERROR_NULL);
}

TEST(Database, HandlesOfOneKindAreNeverTakenForAnother) {
    library_testing::SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    zelva1_database* database = nullptr;
    ASSERT_EQ(zelva1_database_open(kExampleDatabase, &database, nullptr, 0), ZELVA1_OK);
    zelva1_reading reading{};
    zelva1_decoded decoded{};
    // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast): one kind passed for another
    EXPECT_EQ(zelva1_reset(reinterpret_cast<zelva1_board*>(database)), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_database_decode(reinterpret_cast<zelva1_database*>(board), 1, 0, &reading),
              ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_decode(reinterpret_cast<zelva1_formats*>(database), 1, 0, &decoded),
              ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_reset(reinterpret_cast<zelva1_board*>(system.get())), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_task_stop(reinterpret_cast<zelva1_task*>(board)), ZELVA1_ERROR_HANDLE);
    // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast)
    EXPECT_EQ(zelva1_reset(board), ZELVA1_OK);
    EXPECT_EQ(zelva1_database_close(database), ZELVA1_OK);
    EXPECT_EQ(zelva1_database_close(database), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_database_decode(database, 1, 0, &reading), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Database, AValueEncodedDecodesBackAsTheWatchShowsIt) {
    ExampleDatabase database;
    zelva1_reading reading{};

    const std::uint32_t altitude = database.encode(0203, 10000.0);
    ASSERT_EQ(database.status, ZELVA1_OK) << database.why.data();
    ASSERT_EQ(zelva1_database_decode(database.get(), 1, altitude, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.label, 0203u);
    EXPECT_EQ(reading.ssm, 3u);
    EXPECT_EQ(reading.known, 1u);
    EXPECT_EQ(reading.ssm_normal, 1u);
    EXPECT_EQ(reading.parity_ok, 1u);
    EXPECT_EQ(reading.has_value, 1u);
    EXPECT_EQ(reading.out_of_range, 0u);
    EXPECT_DOUBLE_EQ(reading.value, 10000.0);
    EXPECT_STREQ(reading.name, "Высота барометрическая");
    EXPECT_STREQ(reading.units, "ft");
    EXPECT_STREQ(reading.text, "10000");
    EXPECT_STREQ(reading.ssm_text, "норма");

    // Rounded to the resolution; the SDI the row leaves open, a functional test, and an even
    // parity asked for.
    const std::uint32_t speed = database.encode(0206, 250.53, 2, 2, ZELVA1_WRONG_PARITY);
    ASSERT_EQ(database.status, ZELVA1_OK) << database.why.data();
    ASSERT_EQ(zelva1_database_decode(database.get(), 4, speed, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.sdi, 2u);
    EXPECT_EQ(reading.parity_ok, 0u);
    EXPECT_DOUBLE_EQ(reading.value, 250.5);
    EXPECT_STREQ(reading.text, "250.5000");
    EXPECT_STREQ(reading.ssm_text, "функц. тест");
    EXPECT_EQ(reading.ssm_normal, 0u);

    // Beyond the row's range only on purpose, and then it reads as out of range.
    const std::uint32_t high = database.encode(0203, 60000.0, -1, -1, ZELVA1_OUTSIDE_RANGE);
    ASSERT_EQ(database.status, ZELVA1_OK) << database.why.data();
    ASSERT_EQ(zelva1_database_decode(database.get(), 1, high, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.out_of_range, 1u);

    // A label the database does not define reads as its fields alone.
    ASSERT_EQ(zelva1_database_decode(database.get(), 1, 0x60000000u | 0100u, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.known, 0u);
    EXPECT_EQ(reading.label, 0100u);
    EXPECT_STREQ(reading.name, "");
    EXPECT_EQ(zelva1_database_decode(database.get(), 9, altitude, &reading), ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_database_decode(database.get(), 1, altitude, nullptr), ZELVA1_ERROR_NULL);
}

TEST(Database, DiscreteAndDecimalRowsOfAFileOfItsOwn) {
    const DatabaseFile file("label,sdi,channel,name,units,encoding,bits,resolution,discretes\n"
                            "270,1,,Двери,,DISC,,,11:Дверь 1;12:Дверь 2;13:Трап\n"
                            "201,,3,Дальность,NM,BCD,5,0.1,\n");
    ExampleDatabase database(file.path());
    zelva1_reading reading{};
    const std::uint32_t doors = database.encode(0270, 0.0, -1, -1, 0, (1u << 10) | (1u << 12));
    ASSERT_EQ(database.status, ZELVA1_OK) << database.why.data();
    ASSERT_EQ(zelva1_database_decode(database.get(), 1, doors, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.sdi, 1u);
    EXPECT_EQ(reading.has_value, 0u);
    EXPECT_STREQ(reading.text, "Дверь 1, Трап");
    database.encode(0270, 0.0, -1, -1, 0, 1u << 20);
    EXPECT_EQ(database.status, ZELVA1_ERROR_VALUE);

    // The BCD row is input 3's alone.
    database.encode(0201, -123.4);
    EXPECT_EQ(database.status, ZELVA1_ERROR_LABEL);
    std::uint32_t range = 0;
    ASSERT_EQ(zelva1_encode(database.get(), 3, 0201, -1, -1, -123.4, 0, 0, &range, nullptr, 0),
              ZELVA1_OK);
    ASSERT_EQ(zelva1_database_decode(database.get(), 3, range, &reading), ZELVA1_OK);
    EXPECT_EQ(reading.ssm, 3u); // minus
    EXPECT_STREQ(reading.ssm_text, "минус");
    EXPECT_DOUBLE_EQ(reading.value, -123.4);
}

TEST(Database, ValuesNoWordCanCarryAreRefusedWithTheReason) {
    ExampleDatabase database;
    const auto refusedWith = [&](double value, int status) {
        database.encode(0203, value);
        EXPECT_EQ(database.status, status) << value;
        EXPECT_EQ(std::string(database.why.data()).rfind("метка 203: ", 0), 0u)
            << database.why.data();
    };
    refusedWith(std::numeric_limits<double>::quiet_NaN(), ZELVA1_ERROR_VALUE);
    refusedWith(std::numeric_limits<double>::infinity(), ZELVA1_ERROR_VALUE);
    refusedWith(1e9, ZELVA1_ERROR_VALUE);     // more than 17 bits hold
    refusedWith(60000.0, ZELVA1_ERROR_VALUE); // beyond max, not on purpose
    database.encode(0203, 1e9, -1, -1, ZELVA1_OUTSIDE_RANGE);
    EXPECT_EQ(database.status, ZELVA1_ERROR_VALUE); // on purpose or not, the bits cannot

    database.encode(0100, 1.0);
    EXPECT_EQ(database.status, ZELVA1_ERROR_LABEL);
    EXPECT_STREQ(database.why.data(), "в базе нет метки 100 для входного канала № 1");
    std::uint32_t word = 7;
    for (const auto& [label, sdi, ssm, flags] : {std::array<int, 4>{0400, -1, -1, 0},
                                                 {0203, 4, -1, 0},
                                                 {0203, -2, -1, 0},
                                                 {0203, -1, 4, 0},
                                                 {0203, -1, -1, 4}})
        EXPECT_EQ(zelva1_encode(database.get(), 1, static_cast<unsigned>(label), sdi, ssm, 1.0, 0,
                                static_cast<unsigned>(flags), &word, nullptr, 0),
                  ZELVA1_ERROR_ARGUMENT)
            << label << " " << sdi << " " << ssm << " " << flags;
    EXPECT_EQ(zelva1_encode(database.get(), 0, 0203, -1, -1, 1.0, 0, 0, &word, nullptr, 0),
              ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_encode(database.get(), 1, 0203, -1, -1, 1.0, 0, 0, nullptr, nullptr, 0),
              ZELVA1_ERROR_NULL);
    EXPECT_EQ(word, 7u); // left as it was
}

} // namespace
