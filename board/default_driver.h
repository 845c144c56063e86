#pragma once

#include "driver.h"

#include <memory>

namespace board {

/// @brief The back-end the monitor runs on. The one place where that choice is made.
[[nodiscard]] std::unique_ptr<Driver> makeDefaultDriver();

} // namespace board
