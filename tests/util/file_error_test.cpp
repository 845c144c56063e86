#include "util/file_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

class FileRefusal : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directory(dir / "folder");
        testing_support::writeBytes(dir / "empty", "");
        testing_support::writeBytes(dir / "text", "label,name\n");
    }

    [[nodiscard]] std::filesystem::path place(const char* name) const { return dir / name; }
};

TEST_F(FileRefusal, WhatNamesNoFileToReadIsToldByItsReasonAndNeverOpenedWhenItWouldWait) {
    EXPECT_EQ(util::fileRefusal(place("missing")), "файла нет");
    EXPECT_EQ(util::fileRefusal(place("folder")), "это папка, а не файл");
    EXPECT_EQ(util::fileRefusal(place("empty")), "файл пуст");
    EXPECT_EQ(util::fileRefusal(place("empty"), true), "");
    EXPECT_EQ(util::fileRefusal(""), "пустой путь");
    EXPECT_EQ(util::fileRefusal(place("text")), "");
#if !defined(_WIN32)
    // A name the system will not look up is not told as missing. (Windows answers for a name
    // that long in a way of its own.)
    EXPECT_TRUE(
        util::fileRefusal(dir / std::string(300, 'x') / "file").starts_with("файл недоступен: "));
    // Opened, a FIFO without a writer would never answer: this returns at once.
    ASSERT_EQ(::mkfifo(place("fifo").c_str(), 0600), 0);
    EXPECT_EQ(util::fileRefusal(place("fifo"), true), "это не обычный файл (канал или устройство)");
#endif

    // The whole-file reader gives the same reasons.
    EXPECT_EQ(util::readTextFile(place("folder"), 1 << 20).why, "это папка, а не файл");
    EXPECT_EQ(util::readTextFile(place("empty"), 1 << 20).why, "файл пуст");
    EXPECT_EQ(util::readTextFile(place("text"), 1 << 20).text, "label,name\n");
}

} // namespace
