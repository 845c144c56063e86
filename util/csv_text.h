#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace util {

// Comma-separated text as RFC 4180 has it, which spreadsheets and Python's csv module read:
// fields separated by commas, records ended by CR LF, and a field that holds a comma, a
// double quote, CR or LF put in double quotes with each of its double quotes doubled.

inline constexpr std::string_view kCsvRecordEnd = "\r\n";

/// The most that writeCsvField writes for a text of `size` bytes.
[[nodiscard]] constexpr std::size_t csvFieldCapacity(std::size_t size) { return 2 * size + 2; }

/// @brief Writes `text` at `out` as one field, quoted only where it must be; `out` has room
/// for csvFieldCapacity(text.size()) bytes. Returns the end of what was written.
char* writeCsvField(char* out, std::string_view text);

/// @brief Appends `text` to `out` as one field, by the same rules.
void appendCsvField(std::string& out, std::string_view text);

} // namespace util
