#include "transmission/output_array.h"
#include "transmission/output_file.h"

#include "../util/failing_file_writer.h"
#include "byte_vectors.h"
#include "temp_folder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using transmission::OutputFileStatus;

using testing_support::asBytes;
using testing_support::bytes;
using testing_support::entriesIn;
using testing_support::readBytes;
using testing_support::writeBytes;

class OutputFileTest : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        state = transmission_tests::initialisedState();
    }

    board::SharedState state;
};

TEST_F(OutputFileTest, SizeOneTestWordIsSixBytes) {
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 0));
    transmission::fillTestPattern(state);
    const auto path = dir / "one.so";

    const auto result = transmission::saveOutputArray(state, path);

    EXPECT_EQ(result.status, OutputFileStatus::Saved);
    EXPECT_EQ(asBytes(readBytes(path)), bytes({0x01, 0x00, 0x00, 0x01, 0xFF, 0xFE}));
    EXPECT_EQ(entriesIn(dir), 1u) << "no temporary file is left behind";
    EXPECT_EQ(transmission::outputFileWarning(result), "");
}

TEST_F(OutputFileTest, SizeThreeRoundTripsIntoAnotherChannelKeepingItsUpperWords) {
    ASSERT_TRUE(transmission::selectOutputChannel(state, 1));
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 2));
    transmission::fillTestPattern(state);
    const auto path = dir / "three.so";
    ASSERT_EQ(transmission::saveOutputArray(state, path).status, OutputFileStatus::Saved);
    EXPECT_EQ(fs::file_size(path), 14u);

    ASSERT_TRUE(transmission::selectOutputChannel(state, 4));
    state.SOrecord[4].SOwords.fill(0x5A5A5A5Au);
    const auto result = transmission::restoreOutputArray(state, path);

    EXPECT_EQ(result.status, OutputFileStatus::Restored);
    EXPECT_EQ(result.count, 3u);
    EXPECT_EQ(state.SOArrayDim[4], 3);
    EXPECT_EQ(state.SOCycleDim[4], 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(state.SOrecord[4].SOwords[k], state.SOrecord[1].SOwords[k]);
    for (int k = 3; k < 256; ++k)
        ASSERT_EQ(state.SOrecord[4].SOwords[k], 0x5A5A5A5Au) << k;
    EXPECT_EQ(transmission::arraySizeListItem(state), 2);
    EXPECT_EQ(transmission::outputGridRowCount(state), 4);
}

TEST_F(OutputFileTest, DamagedFiles) {
    struct Case {
        const char* name;
        std::vector<std::byte> file;
        OutputFileStatus status;
        std::uint16_t sizeAfter;
        std::uint32_t word0After;
        std::uint32_t word1After;
    };
    constexpr std::uint32_t kOld = 0x5A5A5A5Au;
    const Case cases[] = {
        {"empty", {}, OutputFileStatus::TooShort, 256, kOld, kOld},
        {"one byte", bytes({1}), OutputFileStatus::TooShort, 256, kOld, kOld},
        {"count 0", bytes({0, 0, 1, 2, 3, 4}), OutputFileStatus::BadCount, 256, kOld, kOld},
        {"count 257", bytes({0x01, 0x01, 1, 2, 3, 4}), OutputFileStatus::BadCount, 256, kOld, kOld},
        {"count 0xFFFF", bytes({0xFF, 0xFF}), OutputFileStatus::BadCount, 256, kOld, kOld},
        {"count only", bytes({2, 0}), OutputFileStatus::Restored, 2, kOld, kOld},
        {"ends inside word 1", bytes({2, 0, 1, 2, 3, 4, 0xAA}), OutputFileStatus::Restored, 2,
         0x04030201u, 0x5A5A5AAAu},
        {"extra bytes ignored", bytes({1, 0, 1, 2, 3, 4, 9, 9, 9, 9}), OutputFileStatus::Restored,
         1, 0x04030201u, kOld},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.SOArrayDim[0] = state.SOCycleDim[0] = 256;
        state.SOrecord[0].SOwords.fill(kOld);
        const auto path = dir / "damaged.so";
        writeBytes(path, c.file);

        const auto result = transmission::restoreOutputArray(state, path);

        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(state.SOArrayDim[0], c.sizeAfter);
        EXPECT_EQ(state.SOCycleDim[0], c.sizeAfter);
        EXPECT_EQ(state.SOrecord[0].SOwords[0], c.word0After);
        EXPECT_EQ(state.SOrecord[0].SOwords[1], c.word1After);
        EXPECT_EQ(state.SOrecord[0].SOwords[2], kOld);
        EXPECT_EQ(transmission::outputFileWarning(result).empty(), result.succeeded());
    }
}

TEST_F(OutputFileTest, WarningTextsSayWhy) {
    EXPECT_EQ(transmission::outputFileWarning({OutputFileStatus::BadCount, 257}),
              "Число слов в файле (257) вне допустимого диапазона 1..256; "
              "массив выходных параметров не изменён.");
    EXPECT_EQ(transmission::outputFileWarning({OutputFileStatus::TooShort, 0}),
              "Файл не содержит числа слов массива; массив выходных параметров не изменён.");
    // A file that cannot be opened changes nothing and, as before, shows nothing.
    EXPECT_EQ(transmission::outputFileWarning({OutputFileStatus::NotOpened, 0}), "");
}

TEST_F(OutputFileTest, MissingFileChangesNothing) {
    state.SOrecord[0].SOwords[0] = 7;
    const auto result = transmission::restoreOutputArray(state, dir / "absent.so");
    EXPECT_EQ(result.status, OutputFileStatus::NotOpened);
    EXPECT_EQ(state.SOArrayDim[0], 256);
    EXPECT_EQ(state.SOrecord[0].SOwords[0], 7u);
}

TEST_F(OutputFileTest, AFolderOrAFifoIsNotOpenedAndChangesNothing) {
    std::filesystem::create_directory(dir / "folder.so");
    std::vector<std::filesystem::path> paths{dir / "folder.so"};
#if !defined(_WIN32)
    // Opened, a FIFO without a writer would hold the window until one came.
    ASSERT_EQ(::mkfifo((dir / "fifo.so").c_str(), 0600), 0);
    paths.push_back(dir / "fifo.so");
#endif
    for (const std::filesystem::path& path : paths) {
        const auto result = transmission::restoreOutputArray(state, path);
        EXPECT_EQ(result.status, OutputFileStatus::NotOpened);
        EXPECT_NE(transmission::outputFileWarning(result).find(
                      path == paths.front() ? "это папка, а не файл" : "не обычный файл"),
                  std::string::npos);
    }
    EXPECT_EQ(
        transmission::outputFileWarning(transmission::restoreOutputArray(state, dir / "absent.so")),
        "Файл не открыт: файла нет; массив выходных параметров не изменён.");
    EXPECT_EQ(state.SOArrayDim[0], 256);
}

TEST_F(OutputFileTest, SavingReplacesAnOlderFile) {
    const auto path = dir / "kept.so";
    writeBytes(path, bytes({9, 9, 9}));
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 0));
    state.SOrecord[0].SOwords[0] = 0x01020304u;
    ASSERT_EQ(transmission::saveOutputArray(state, path).status, OutputFileStatus::Saved);
    EXPECT_EQ(asBytes(readBytes(path)), bytes({1, 0, 4, 3, 2, 1}));
    EXPECT_EQ(entriesIn(dir), 1u);
}

TEST_F(OutputFileTest, FailedSaveIsReportedAndKeepsWhatWasThere) {
    // A non-empty directory at the target cannot be replaced by a file.
    const auto target = dir / "busy.so";
    fs::create_directories(target);
    writeBytes(target / "inside", bytes({1, 2, 3}));
    const auto result = transmission::saveOutputArray(state, target);
    EXPECT_EQ(result.status, OutputFileStatus::WriteFailed);
    EXPECT_FALSE(transmission::outputFileWarning(result).empty());
    EXPECT_EQ(asBytes(readBytes(target / "inside")), bytes({1, 2, 3}));
    EXPECT_EQ(entriesIn(dir), 1u) << "the temporary file is removed";

    const auto nowhere = dir / "no such folder" / "a.so";
    EXPECT_EQ(transmission::saveOutputArray(state, nowhere).status, OutputFileStatus::WriteFailed);
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST_F(OutputFileTest, SaveFailingPartWayKeepsThePreviousFileAndSaysSo) {
    const auto path = dir / "kept.so";
    const std::string previous = std::string("\x01\x00"
                                             "\x04\x03\x02\x01",
                                             6);
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 2)); // 14 bytes
    transmission::fillTestPattern(state);
    for (const std::size_t failAfter : {0u, 1u, 2u, 6u, 13u, 14u}) {
        SCOPED_TRACE(failAfter);
        writeBytes(path, previous);
        board_testing::FailingFileWriter writer(failAfter);
        const auto result = transmission::saveOutputArray(state, path, writer);
        EXPECT_EQ(result.status, OutputFileStatus::WriteFailed);
        EXPECT_EQ(result.count, 3u);
        EXPECT_NE(transmission::outputFileWarning(result).find("прежнее содержимое файла"),
                  std::string::npos);
        EXPECT_EQ(readBytes(path), previous);
        EXPECT_EQ(entriesIn(dir), 1u);
    }

    board_testing::UnwritableTarget unwritable(dir, "array.so", previous);
    EXPECT_EQ(transmission::saveOutputArray(state, unwritable.target()).status,
              OutputFileStatus::WriteFailed);
    EXPECT_EQ(readBytes(unwritable.previousFile()), previous);
}

TEST_F(OutputFileTest, ArraySizeOutsideOneTo256IsNotSaved) {
    state.SOArrayDim[0] = 0; // no board chosen yet
    const auto path = dir / "zero.so";
    EXPECT_EQ(transmission::saveOutputArray(state, path).status, OutputFileStatus::WriteFailed);
    EXPECT_FALSE(fs::exists(path));
}

TEST(OutputFileNames, DefaultExtensionAndDialogSettings) {
    EXPECT_EQ(transmission::withDefaultExtension("dir/array"), fs::path("dir/array.so"));
    EXPECT_EQ(transmission::withDefaultExtension("array.so"), fs::path("array.so"));
    EXPECT_EQ(transmission::withDefaultExtension("array.bin"), fs::path("array.bin"));
    EXPECT_EQ(transmission::kOutputFileOpenFilter,
              "Файлы выходных параметров (*.so) |*.so|*.*|*.*");
    EXPECT_EQ(transmission::kOutputFileSaveFilter, "Файлы выходных параметров (*.so)|*.so|*.*|*.*");
}

} // namespace
