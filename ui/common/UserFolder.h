#pragma once

#include <QString>

namespace ui {

/// The folder of the user's own files when the program lies where the user cannot write
/// (Program Files): "ZELVA-1" inside the user's documents.
inline constexpr const char* kUserFolderName = "ZELVA-1";

/// @brief Makes `documents`/ZELVA-1 the current folder, creating it when missing. The monitor
/// keeps its format table and its label database setting in the current folder, and its file
/// dialogs open there.
/// @return "" when the folder is current; otherwise why not, in Russian, and the current
/// folder is left as it was.
[[nodiscard]] QString enterUserFolder(const QString& documents);

} // namespace ui
