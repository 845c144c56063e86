#include "formats/format_state_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class FormatStateLoad : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zelva-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        file = dir / formats::kFormatStateFileName;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void writeBytes(std::size_t count, char fill) {
        std::ofstream out(file, std::ios::binary);
        out << std::string(count, fill);
    }

    std::filesystem::path dir;
    std::filesystem::path file;
    formats::DecimalFormatTable table;
    formats::AssignmentTable assignments;
};

TEST_F(FormatStateLoad, MissingFileGivesEmptyTables) {
    table.formatCount = 5;
    assignments.assignmentCount = 3;
    formats::loadFormatState(table, assignments, file);
    EXPECT_EQ(table.formatCount, 0);
    EXPECT_EQ(assignments.assignmentCount, 0);
}

TEST_F(FormatStateLoad, ShortLastPieceCountsAsARecordPaddedWithZeros) {
    writeBytes(46, 'A');
    formats::loadFormatState(table, assignments, file);
    EXPECT_EQ(table.formatCount, 2);

    writeBytes(50, 'B');
    formats::loadFormatState(table, assignments, file);
    ASSERT_EQ(table.formatCount, 3);
    EXPECT_EQ(table.slots[2].label[3], 'B');
    EXPECT_EQ(table.slots[2].label[4], '\0');
    EXPECT_EQ(table.slots[2].units[6], '\0');
}

TEST_F(FormatStateLoad, RecordsBeyondTheTableAreIgnoredAndCounted) {
    writeBytes(23 * 259 + 5, 'C');
    const auto ignored = formats::loadFormatState(table, assignments, file);
    EXPECT_EQ(table.formatCount, 256);
    EXPECT_EQ(ignored, 4u);
}

} // namespace
