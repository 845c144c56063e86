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

/// @brief Why `path` names no file to read, or "" when it names one: missing, out of reach, a
/// folder, a FIFO or device, empty (unless `emptyAllowed`), without read permission. A FIFO is
/// refused before it is opened, which would wait for a writer that may never come; a folder would
/// open and read as an empty file.
[[nodiscard]] std::string fileRefusal(const std::filesystem::path& path, bool emptyAllowed = false);

/// A whole text file, or why it could not be read.
struct FileText {
    std::optional<std::string> text;
    std::string why;
};

/// @brief Reads a regular file of at most `largestBytes` whole; refuses what fileRefusal() does
/// (an empty file too), with its reason.
[[nodiscard]] FileText readTextFile(const std::filesystem::path& path, std::uintmax_t largestBytes);

} // namespace util
