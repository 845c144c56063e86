#pragma once

#include <QString>

#include <span>
#include <string_view>

namespace formats {
struct FileDialogFilter;
}

namespace ui {

/// @brief A filter list written as "description|pattern|description|pattern" in Qt's
/// "description (pattern);;..." form, each description shown once, as written.
[[nodiscard]] QString qtFileFilter(std::string_view barSeparated);

/// @brief A filter list of {description, pattern} pairs in the same form, by the same rules.
[[nodiscard]] QString qtFileFilter(std::span<const formats::FileDialogFilter> filters);

} // namespace ui
