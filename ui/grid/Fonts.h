#pragma once

#include <QFont>

namespace ui {

/// Courier New at a pixel size, or where Courier New is not installed the metric-compatible
/// free face (Liberation Mono, Cousine) that fontconfig would substitute for it.
[[nodiscard]] QFont courierNewFont(int pixelSize);

} // namespace ui
