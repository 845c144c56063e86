#include "formats/assignment_file_messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(AssignmentFileMessages, IgnoredRecordsNameTheCountWhole) {
    EXPECT_EQ(formats::ignoredRecordsWarning(4),
              "В файле больше 256 записей. Загружены первые 256, "
              "остальные записи (4) пропущены.");
    // The largest count still ends with the full sentence.
    const std::string largest = formats::ignoredRecordsWarning(SIZE_MAX);
    EXPECT_NE(largest.find("(" + std::to_string(SIZE_MAX) + ")"), std::string::npos);
    EXPECT_TRUE(largest.ends_with("пропущены."));
}

TEST(AssignmentFileMessages, FailedSaveNamesTheFileAndReason) {
    EXPECT_EQ(formats::saveFailedWarning("/tmp/параметры.si", "Permission denied"),
              "Не удалось сохранить файл \"/tmp/параметры.si\" (Permission denied).\n"
              "Прежний файл, если он был, остался без изменений.");
    EXPECT_EQ(formats::saveFailedWarning("a.si", ""),
              "Не удалось сохранить файл \"a.si\".\n"
              "Прежний файл, если он был, остался без изменений.");
    EXPECT_EQ(formats::kAssignmentFileWarningCaption, "Форматы параметров");
}

} // namespace
