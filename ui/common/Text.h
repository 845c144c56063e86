#pragma once

#include <QString>

#include <string_view>

namespace ui {

/// A text of the logic folders as a QString. Their texts are UTF-8 views, not always
/// null-terminated, so the length is passed along.
[[nodiscard]] inline QString qtext(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace ui
