#include "formats/assignment_file.h"
#include "formats/assignment_table.h"
#include "formats/cp1251.h"
#include "formats/format_cells.h"
#include "formats/format_state_file.h"

#include "../util/failing_file_writer.h"
#include "table_fixtures.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

using formats_testing::makeAssignment;
using formats_testing::makeFormat;
using testing_support::entriesIn;
using testing_support::readBytes;
using testing_support::writeBytes;

std::string recordBytes(const void* record, std::size_t size) {
    return {static_cast<const char*>(record), size};
}

class StateFile : public testing_support::TempFolderTest {
protected:
    [[nodiscard]] std::filesystem::path file() const { return dir / formats::kFormatStateFileName; }
    formats::DecimalFormatTable table;
    formats::AssignmentTable assignments;
};

TEST_F(StateFile, SavedBytesAreTheRecordsInTableOrder) {
    table.slots[0] = makeFormat("ALT", 28, 18, 90.0F, "ft");
    table.slots[1] = makeFormat("\xF1\xEA", 29, 9, -0.5F, "\xEA\xEC/\xF7", 1);
    table.formatCount = 2;
    ASSERT_FALSE(formats::saveFormatState(table, file()));

    const std::string expected = std::string("ALT\0\0\0\0\0\0"
                                             "\x00\x1C\x12"
                                             "\x00\x00\xB4\x42"
                                             "ft\0\0\0\0\0",
                                             23) +
                                 std::string("\xF1\xEA\0\0\0\0\0\0\0"
                                             "\x01\x1D\x09"
                                             "\x00\x00\x00\xBF"
                                             "\xEA\xEC/\xF7\0\0\0",
                                             23);
    EXPECT_EQ(readBytes(file()), expected);
    EXPECT_EQ(entriesIn(dir), 1u);
}

TEST_F(StateFile, SaveThenLoadGivesTheSameFormats) {
    for (int slot = 0; slot < formats::kFormatSlots; ++slot)
        table.slots[slot] =
            makeFormat("F" + std::to_string(slot), 28, 9, static_cast<float>(slot) + 0.25F, "u");
    table.formatCount = formats::kFormatSlots;
    ASSERT_FALSE(formats::saveFormatState(table, file()));
    EXPECT_EQ(std::filesystem::file_size(file()), 23u * 256);

    formats::DecimalFormatTable loaded;
    EXPECT_EQ(formats::loadFormatState(loaded, assignments, file()), 0u);
    ASSERT_EQ(loaded.formatCount, 256);
    // Byte for byte, as the file holds them.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&loaded.slots, &table.slots, sizeof table.slots), 0);
}

TEST_F(StateFile, ClosingCompactsThenWritesEvenAnEmptyTable) {
    writeBytes(file(), "old contents");
    table.slots[0] = makeFormat("A", 28, 18, 0.0F, "ft"); // incomplete: no weight
    table.formatCount = 1;
    auto closing = formats::closeFormatList(table, 2, file());
    EXPECT_FALSE(closing.saveError);
    EXPECT_EQ(closing.gridRows, 2);
    EXPECT_EQ(table.formatCount, 0);
    ASSERT_TRUE(std::filesystem::exists(file()));
    EXPECT_EQ(std::filesystem::file_size(file()), 0u);

    table.slots[0] = makeFormat("A", 28, 18, 1.0F, "ft");
    table.slots[1] = makeFormat("B", 28, 18, 1.0F, "");
    table.slots[2] = makeFormat("C", 28, 18, 1.0F, "ft");
    closing = formats::closeFormatList(table, 4, file());
    EXPECT_EQ(closing.gridRows, 3);
    EXPECT_EQ(std::filesystem::file_size(file()), 46u);
}

TEST_F(StateFile, FailedWritesAreReportedAndKeepThePreviousFile) {
    table.slots[0] = makeFormat("A", 28, 18, 1.0F, "ft");
    table.slots[1] = makeFormat("B", 28, 18, 1.0F, "ft");
    table.formatCount = 2;

    EXPECT_TRUE(formats::saveFormatState(table, dir / "missing" / "KST3frmt.stt"));

    // The disk fills up part-way through the 46 bytes: the old state file stays as it was.
    const std::string previous = std::string("previous\0state\xFF", 15);
    for (const std::size_t failAfter : {0u, 1u, 22u, 23u, 45u, 46u}) {
        SCOPED_TRACE(failAfter);
        writeBytes(file(), previous);
        board_testing::FailingFileWriter writer(failAfter);
        EXPECT_TRUE(formats::saveFormatState(table, file(), writer));
        EXPECT_EQ(readBytes(file()), previous);
        EXPECT_EQ(entriesIn(dir), 1u);
    }

    board_testing::UnwritableTarget unwritable(dir, "KST3frmt.stt", previous);
    EXPECT_TRUE(formats::closeFormatList(table, 3, unwritable.target()).saveError);
    EXPECT_EQ(readBytes(unwritable.previousFile()), previous);
    EXPECT_EQ(table.formatCount, 2) << "the table in memory is unaffected";

    // The target is a folder: the rename fails and no temporary file is left behind.
    const auto folder = dir / "folder";
    std::filesystem::create_directory(folder);
    EXPECT_TRUE(formats::saveFormatState(table, folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(entriesIn(dir), 3u) << "the state file and the two folders";
}

TEST_F(StateFile, SaveWarningNamesTheFileInTheWorkingFolderOfTheMoment) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const std::string relative = formats::formatStateSaveWarning();
    std::filesystem::current_path(previous);
    const std::string folder = "«" + dir.string() + "»";
    EXPECT_NE(relative.find("KST3frmt.stt"), std::string::npos) << relative;
    EXPECT_NE(relative.find(folder), std::string::npos) << relative;
    EXPECT_EQ(relative, formats::formatStateSaveWarning(file()));
}

TEST_F(StateFile, DamagedRecordsLoadAndShowWithoutFault) {
    // Unterminated texts, absurd bit numbers, a NaN weight, and a short last piece.
    std::string bytes(23, '\xFF');
    bytes += std::string(23, '\x7F');
    bytes += "ABCD";
    writeBytes(file(), bytes);
    EXPECT_EQ(formats::loadFormatState(table, assignments, file()), 0u);
    ASSERT_EQ(table.formatCount, 3);
    for (int slot = 0; slot < 3; ++slot)
        for (int column = 0; column < formats::kFormatColumns; ++column)
            EXPECT_LE(formats::formatCellText(table.slots[slot], column).size(), 64u);
    EXPECT_EQ(formats::formatCellText(table.slots[2], formats::kLabelColumn), "ABCD");
    EXPECT_EQ(formats::formatCellText(table.slots[2], formats::kWeightColumn), " 0.000000");
}

TEST_F(StateFile, StreamLoadMatchesFileLoad) {
    const std::string bytes = std::string(23, '\x41') + std::string(23 * 300 + 7, '\x5A');
    writeBytes(file(), bytes);
    formats::DecimalFormatTable fromFile;
    EXPECT_EQ(formats::loadFormatState(fromFile, assignments, file()), 46u);
    std::istringstream in(bytes);
    assignments.assignmentCount = 3;
    EXPECT_EQ(formats::loadFormatState(table, assignments, in), 46u);
    EXPECT_EQ(assignments.assignmentCount, 0) << "both tables start empty";
    ASSERT_EQ(table.formatCount, 256);
    // Byte for byte, as the file holds them.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&table.slots, &fromFile.slots, sizeof table.slots), 0);
}

class AssignmentFile : public testing_support::TempFolderTest {
protected:
    [[nodiscard]] std::filesystem::path file() const { return dir / "params.si"; }
    formats::AssignmentTable table;
};

TEST_F(AssignmentFile, SaveCompactsAndWritesElevenByteRecords) {
    table.slots[0] = makeAssignment(0310, 1, "ALT");
    table.slots[1] = makeAssignment(0206, 0, "SPD"); // incomplete
    table.slots[2] = makeAssignment(0206, 2, "\xF1\xEA");
    const auto save = formats::saveAssignmentFile(table, 4, file());
    EXPECT_FALSE(save.error);
    EXPECT_EQ(save.gridRows, 3);
    EXPECT_EQ(table.assignmentCount, 2);
    EXPECT_EQ(readBytes(file()), std::string("\xC8\x01"
                                             "ALT\0\0\0\0\0\0"
                                             "\x86\x02"
                                             "\xF1\xEA\0\0\0\0\0\0\0",
                                             22));
}

TEST_F(AssignmentFile, SaveThenLoadRestoresTheSameRowsInOrder) {
    for (int slot = 0; slot < formats::kAssignmentSlots; ++slot)
        table.slots[slot] = makeAssignment(static_cast<std::uint8_t>(slot % 255 + 1),
                                           static_cast<std::uint8_t>(slot % 8 + 1),
                                           "L" + std::to_string(slot));
    ASSERT_FALSE(formats::saveAssignmentFile(table, 257, file()).error);
    ASSERT_EQ(table.assignmentCount, 256);

    formats::AssignmentTable loaded;
    const auto load = formats::loadAssignmentFile(loaded, file());
    EXPECT_TRUE(load.opened);
    EXPECT_EQ(load.gridRows, 257);
    EXPECT_EQ(load.ignoredRecords, 0u);
    ASSERT_EQ(loaded.assignmentCount, 256);
    EXPECT_EQ(std::memcmp(&loaded.slots, &table.slots, sizeof table.slots), 0);
}

TEST_F(AssignmentFile, EmptyTableSavesAnEmptyFileThatLoadsAsOneEmptyRow) {
    table.slots[0] = makeAssignment(0, 1, "ALT");
    ASSERT_FALSE(formats::saveAssignmentFile(table, 2, file()).error);
    EXPECT_EQ(std::filesystem::file_size(file()), 0u);
    table.slots[5] = makeAssignment(1, 1, "X");
    table.assignmentCount = 6;
    const auto load = formats::loadAssignmentFile(table, file());
    EXPECT_TRUE(load.opened);
    EXPECT_EQ(load.gridRows, 2);
    EXPECT_EQ(table.assignmentCount, 0);
    EXPECT_EQ(table.slots[5].channel, 0); // every channel is cleared on loading
}

TEST_F(AssignmentFile, MissingFileChangesNothing) {
    table.slots[0] = makeAssignment(1, 2, "ALT");
    table.assignmentCount = 1;
    const auto load = formats::loadAssignmentFile(table, dir / "none.si");
    EXPECT_FALSE(load.opened);
    EXPECT_EQ(table.assignmentCount, 1);
    EXPECT_EQ(table.slots[0].channel, 2);
}

TEST_F(AssignmentFile, ChannelZeroRecordIsLoadedThenDroppedAtCompaction) {
    const auto a = makeAssignment(0310, 1, "ALT");
    const auto b = makeAssignment(0206, 0, "SPD");
    const auto c = makeAssignment(0206, 2, "SPD");
    writeBytes(file(), recordBytes(&a, 11) + recordBytes(&b, 11) + recordBytes(&c, 11));
    const auto load = formats::loadAssignmentFile(table, file());
    EXPECT_EQ(load.gridRows, 4);
    ASSERT_EQ(table.assignmentCount, 3);
    EXPECT_EQ(table.slots[1].channel, 0);
    EXPECT_EQ(formats::compactAssignments(table, load.gridRows), 3);
    EXPECT_EQ(table.slots[1].channel, 2);
    EXPECT_EQ(table.slots[1].address, 0206);
}

TEST_F(AssignmentFile, ShortLastPieceOverwritesOnlyItsBytes) {
    table.slots[1] = makeAssignment(077, 5, "OLDLABEL");
    const auto a = makeAssignment(0310, 1, "ALT");
    writeBytes(file(), recordBytes(&a, 11) + std::string("\x12\x03"
                                                         "NE",
                                                         4));
    ASSERT_TRUE(formats::loadAssignmentFile(table, file()).opened);
    ASSERT_EQ(table.assignmentCount, 2);
    EXPECT_EQ(table.slots[1].address, 0x12);
    EXPECT_EQ(table.slots[1].channel, 3);
    EXPECT_EQ(formats::fieldText(table.slots[1].formatLabel), "NEDLABEL");
}

TEST_F(AssignmentFile, StreamLoadMatchesFileLoad) {
    const auto a = makeAssignment(0310, 1, "ALT");
    const std::string bytes = recordBytes(&a, 11) + std::string("\x12\x03"
                                                                "NE",
                                                                4);
    writeBytes(file(), bytes);
    table.slots[1] = makeAssignment(077, 5, "OLDLABEL");
    formats::AssignmentTable fromStream = table;
    const auto fileLoad = formats::loadAssignmentFile(table, file());
    std::istringstream in(bytes);
    const auto streamLoad = formats::loadAssignmentFile(fromStream, in);
    EXPECT_TRUE(streamLoad.opened);
    EXPECT_EQ(streamLoad.gridRows, fileLoad.gridRows);
    ASSERT_EQ(fromStream.assignmentCount, 2);
    EXPECT_EQ(std::memcmp(&fromStream.slots, &table.slots, sizeof table.slots), 0);
}

TEST_F(AssignmentFile, RecordsBeyondSlot255AreIgnoredAndCounted) {
    std::string bytes;
    for (int record = 0; record < 300; ++record) {
        const auto r = makeAssignment(static_cast<std::uint8_t>(record % 255 + 1), 1, "X");
        bytes += recordBytes(&r, 11);
    }
    bytes += "\x01"; // and a short piece
    writeBytes(file(), bytes);
    const auto load = formats::loadAssignmentFile(table, file());
    EXPECT_EQ(table.assignmentCount, 256);
    EXPECT_EQ(load.gridRows, 257);
    EXPECT_EQ(load.ignoredRecords, 45u);
    EXPECT_EQ(table.slots[255].address, 256 % 255);
}

TEST_F(AssignmentFile, FailedSaveIsReportedAndKeepsThePreviousFile) {
    table.slots[0] = makeAssignment(1, 1, "ALT");
    table.slots[1] = makeAssignment(2, 1, "SPD");
    const std::string previous = std::string("\x01\x02"
                                             "previous\0\xFF",
                                             12);
    for (const std::size_t failAfter : {0u, 5u, 11u, 21u, 22u}) {
        SCOPED_TRACE(failAfter);
        writeBytes(file(), previous);
        board_testing::FailingFileWriter writer(failAfter);
        const auto save = formats::saveAssignmentFile(table, 3, file(), writer);
        EXPECT_TRUE(save.error);
        EXPECT_EQ(save.gridRows, 3);
        EXPECT_EQ(readBytes(file()), previous);
        EXPECT_EQ(entriesIn(dir), 1u);
    }

    board_testing::UnwritableTarget unwritable(dir, "params.si", previous);
    EXPECT_TRUE(formats::saveAssignmentFile(table, 3, unwritable.target()).error);
    EXPECT_EQ(readBytes(unwritable.previousFile()), previous);
}

TEST(AssignmentFileDialog, FiltersAndDefaultExtension) {
    ASSERT_EQ(formats::kAssignmentFileFilters.size(), 2u);
    EXPECT_EQ(formats::kAssignmentFileFilters[0].description,
              "Файлы форматов входных параметров(*.si)");
    EXPECT_EQ(formats::kAssignmentFileFilters[0].pattern, "*.si");
    EXPECT_EQ(formats::kAssignmentFileFilters[1].description, "*.*");
    EXPECT_EQ(formats::kAssignmentFileFilters[1].pattern, "*.*");
    EXPECT_EQ(formats::kAssignmentFileDefaultExtension, "si");
}

} // namespace
