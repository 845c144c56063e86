#pragma once

#include "file_message_text.h"

#include "util/printf_text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace formats {

// The two file outcomes of "Восстановить" and "Сохранить" that the user is told about; every
// other file error of the assignment files stays silent.

/// Caption of both warnings: the window's own title.
inline constexpr std::string_view kAssignmentFileWarningCaption = "Форматы параметров";

/// @brief The file held more records than the table's 256 slots: only the first 256 were
/// loaded. The count is given as a number in brackets so the text needs no plural forms.
[[nodiscard]] inline std::string ignoredRecordsWarning(std::size_t ignoredRecords) {
    return util::printfText("В файле больше 256 записей. Загружены первые 256, "
                            "остальные записи (%zu) пропущены.",
                            ignoredRecords);
}

/// @brief The assignment file could not be written; the earlier file, if any, is untouched.
/// @param fileName the name the user chose, UTF-8.
/// @param reason the system's description of the error, UTF-8; may be empty.
[[nodiscard]] inline std::string saveFailedWarning(std::string_view fileName,
                                                   std::string_view reason) {
    std::string text = fileMessageText("Не удалось сохранить файл", fileName, reason);
    text += ".\nПрежний файл, если он был, остался без изменений.";
    return text;
}

} // namespace formats
