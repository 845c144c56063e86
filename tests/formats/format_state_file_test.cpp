#include "formats/assignment_file.h"
#include "formats/format_state_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

class FormatStateLoad : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file = dir / formats::kFormatStateFileName;
    }

    void writeBytes(std::size_t count, char fill) {
        testing_support::writeBytes(file, std::string(count, fill));
    }

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

TEST_F(FormatStateLoad, AFolderOrAFifoIsNoFileAndIsLeftAtOnce) {
    std::filesystem::create_directory(file);
    const auto loadsNothing = [&](const std::filesystem::path& path) {
        table.formatCount = 5;
        assignments.assignmentCount = 3;
        formats::loadFormatState(table, assignments, path);
        EXPECT_EQ(table.formatCount, 0);
        EXPECT_FALSE(formats::loadAssignmentFile(assignments, path).opened);
    };
    loadsNothing(file);
#if !defined(_WIN32)
    // Opened, a FIFO without a writer would hold the window until one came.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    loadsNothing(dir / "fifo");
#endif
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
