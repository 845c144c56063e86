#pragma once

#include "MainformCommands.h"

#include <QIcon>

class QStyle;

namespace ui {

/// The toolbar picture of a command: the style's standard icon where one fits, otherwise a
/// small drawn badge.
[[nodiscard]] QIcon commandIcon(CommandId id, const QStyle* style);

} // namespace ui
