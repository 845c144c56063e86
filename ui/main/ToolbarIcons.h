#pragma once

#include "ui/main/MainformCommands.h"

#include <QIcon>

namespace ui {

/// The toolbar picture of a command: a small badge drawn at whatever size is asked for.
[[nodiscard]] QIcon commandIcon(CommandId id);

} // namespace ui
