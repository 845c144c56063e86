#pragma once

#include <QFont>

namespace ui {

/// Courier New at a pixel size; fontconfig substitutes a metric-compatible free face
/// (Liberation Mono) where Courier New is not installed.
[[nodiscard]] QFont courierNewFont(int pixelSize);

} // namespace ui
