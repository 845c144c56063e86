#pragma once

// A fresh folder for every test that saves or loads files, and whole-file reads and writes for
// preparing and checking what lies in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace testing_support {

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline void writeBytes(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    writeBytes(file, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

inline std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

/// An empty folder of its own for each test, removed afterwards. The random part of its name
/// keeps apart the same test run at the same time from two build folders.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / folderName();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;

private:
    static std::string folderName() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("zelva-") + test->test_suite_name() + "-" + test->name() +
                           "-" + std::to_string(std::random_device{}());
        // Parameterised tests have a '/' in their names.
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }
};

} // namespace testing_support
