#include "util/file_replacing.h"

#include "byte_vectors.h"
#include "failing_file_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::entriesIn;
using testing_support::readBytes;
using testing_support::writeBytes;

class FileReplacing : public testing_support::TempFolderTest {
protected:
    const std::string previous = std::string("previous\0contents\xFF", 18);
    const std::vector<std::byte> replacement = testing_support::asBytes("the new bytes of a save");
};

TEST_F(FileReplacing, CreatesOrReplacesTheTargetAndLeavesNothingBeside) {
    const fs::path target = dir / "file.bin";
    ASSERT_FALSE(util::writeFileReplacing(target, replacement));
    EXPECT_EQ(readBytes(target), "the new bytes of a save");

    writeBytes(target, previous);
    ASSERT_FALSE(util::writeFileReplacing(target, {}));
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(entriesIn(dir), 1u);
}

TEST_F(FileReplacing, AFileAtTheTemporaryNameIsNotTouched) {
    const fs::path target = dir / "file.bin";
    const fs::path users = dir / ("file.bin" + std::string(util::kTemporaryFileSuffix));
    writeBytes(users, "the user's own file");
    ASSERT_FALSE(util::writeFileReplacing(target, replacement));
    EXPECT_EQ(readBytes(users), "the user's own file");
    EXPECT_EQ(readBytes(target), "the new bytes of a save");
    EXPECT_EQ(entriesIn(dir), 2u);
}

TEST_F(FileReplacing, WriterFailingPartWayKeepsThePreviousFileWhole) {
    const fs::path target = dir / "file.bin";
    for (const std::size_t failAfter : {std::size_t{0}, std::size_t{1}, std::size_t{10},
                                        replacement.size() - 1, replacement.size()}) {
        SCOPED_TRACE(failAfter);
        writeBytes(target, previous);
        board_testing::FailingFileWriter writer(failAfter);
        EXPECT_EQ(util::writeFileReplacing(target, replacement, writer),
                  std::errc::no_space_on_device);
        EXPECT_EQ(readBytes(target), previous);
        ASSERT_EQ(writer.temporaryFiles.size(), 1u);
        EXPECT_NE(writer.temporaryFiles[0], target);
        EXPECT_EQ(writer.temporaryFiles[0].parent_path(), dir) << "same folder, same disk";
        EXPECT_EQ(entriesIn(dir), 1u) << "the temporary file is removed";
    }
}

TEST_F(FileReplacing, TargetThatCannotBeReplacedKeepsThePreviousFileWhole) {
    board_testing::UnwritableTarget unwritable(dir, "file.bin", previous);
    if (!unwritable.folderIsReadOnly())
        GTEST_LOG_(INFO) << "read-only folders are writable here; the target lies under a file";
    EXPECT_TRUE(util::writeFileReplacing(unwritable.target(), replacement));
    EXPECT_EQ(readBytes(unwritable.previousFile()), previous);
    EXPECT_EQ(entriesIn(unwritable.folder()), 1u);

    // A folder at the target: the bytes are written, the rename fails.
    const fs::path folder = dir / "folder";
    fs::create_directories(folder / "inside");
    EXPECT_TRUE(util::writeFileReplacing(folder, replacement));
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(entriesIn(dir), 2u) << "no temporary file is left beside it";
}

} // namespace
