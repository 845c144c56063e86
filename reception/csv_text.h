#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace reception {

// Comma-separated text as RFC 4180 has it, which spreadsheets and Python's csv module read:
// fields separated by commas, records ended by CR LF, and a field that holds a comma, a
// double quote, CR or LF put in double quotes with each of its double quotes doubled.

inline constexpr std::string_view kCsvRecordEnd = "\r\n";

/// @brief Appends `text` as one field, quoted only where it must be.
void appendCsvField(std::string& out, std::string_view text);

/// @brief Quotes, where it must, the field that already makes up `out` from `fieldStart` to
/// its end; for fields built in place.
void quoteCsvFieldInPlace(std::string& out, std::size_t fieldStart);

} // namespace reception
