#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace util {

/// Where a text file is wrong: line 0 when the file as a whole is (unreadable, too large).
struct FileError {
    int line = 0;
    std::string column;
    std::string why;
};

/// @brief "<what> «<file>» не загружен: строка N, столбец «C», <why><ending>", the line and
/// column where there are.
[[nodiscard]] std::string fileErrorText(std::string_view what, std::string_view fileName,
                                        const FileError& error, std::string_view ending);

/// A whole text file, or why it could not be read.
struct FileText {
    std::optional<std::string> text;
    std::string why;
};

/// @brief Reads a regular file of at most `largestBytes` whole; refuses a folder, a FIFO or a
/// device, which are no file to read.
[[nodiscard]] FileText readTextFile(const std::filesystem::path& path, std::uintmax_t largestBytes);

} // namespace util
