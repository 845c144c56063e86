#pragma once

#include <string>

namespace cli {

/// @brief Throws CommandFailure "<what> «<path>»: <why>" unless `path` is a regular file that is
/// not empty and that this process may read. A FIFO or a device is refused by its type before
/// anything opens it, so that the command cannot hang on one.
void requireReadableFile(const std::string& path, const std::string& what);

} // namespace cli
