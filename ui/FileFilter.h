#pragma once

#include <QString>

#include <string_view>

namespace ui {

/// @brief A filter list written as "description|pattern|description|pattern" in Qt's
/// "description (pattern);;..." form. The description is kept exactly; "*.*" means every file.
[[nodiscard]] QString qtFileFilter(std::string_view barSeparated);

} // namespace ui
