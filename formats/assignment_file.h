#pragma once

#include "assignment.h"

#include "util/file_replacing.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <system_error>

namespace formats {

struct FileDialogFilter {
    std::string_view description;
    std::string_view pattern;
};

/// The open and save dialogs of assignment files offer these filters, in this order.
inline constexpr std::array<FileDialogFilter, 2> kAssignmentFileFilters = {{
    {"Файлы форматов входных параметров(*.si)", "*.si"},
    {"*.*", "*.*"},
}};
/// Appended by the save dialog to a name typed without an extension.
inline constexpr std::string_view kAssignmentFileDefaultExtension = "si";
inline constexpr std::string_view kAssignmentFileInitialDirectory = ".";

struct AssignmentFileLoad {
    bool opened = false;            ///< false: the file could not be opened, nothing changed
    int gridRows = 0;               ///< the grid's new row count, when opened
    std::size_t ignoredRecords = 0; ///< records beyond slot 255; worth a warning
    std::string why = {};           ///< why it was not opened: missing, a folder, a FIFO...
};

/// @brief "Восстановить": reads an assignment file into the table, without compacting.
///
/// When the file opens, every slot's channel is cleared and the records are read into slots
/// 0.. in order; a short last piece counts as a record and overwrites only the bytes it has.
/// Slots after the loaded records keep their other bytes, incomplete with channel 0.
[[nodiscard]] AssignmentFileLoad loadAssignmentFile(AssignmentTable& table,
                                                    const std::filesystem::path& file);

/// @brief The same, reading the file's bytes from a stream that is already open.
[[nodiscard]] AssignmentFileLoad loadAssignmentFile(AssignmentTable& table, std::istream& in);

struct AssignmentFileSave {
    int gridRows = 0;      ///< the grid's row count after compaction
    std::error_code error; ///< the file could not be written; show a warning
};

/// @brief "Сохранить": compacts the table, then replaces the file with its complete
/// assignments, 11 bytes each, written through `writer`. On failure the previous file stays
/// whole.
[[nodiscard]] AssignmentFileSave saveAssignmentFile(
    AssignmentTable& table, int gridRows, const std::filesystem::path& file,
    util::FileWriter& writer = util::diskFileWriter());

} // namespace formats
