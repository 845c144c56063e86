#pragma once

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

namespace tools {

// First-run data: decimal formats and their assignment for the simulated board's built-in
// air-data and attitude stream, so that its input channels show engineering values at once.

/// The assignment file written beside the format state file.
inline constexpr std::string_view kExampleAssignmentFileName = "builtin-traffic.si";

/// The inputs of the built-in board (serial 1021) that hear the built-in stream; inputs 1..4
/// hear the outputs of the same number instead.
inline constexpr std::array<std::uint8_t, 4> kTrafficInputs = {5, 6, 7, 8};

/// One format as the user types it into "Десятичные форматы", cell by cell (UTF-8), for
/// the word address it decodes.
struct ExampleFormat {
    std::uint8_t address; // plain value of bits 1-8
    std::string_view label;
    std::string_view msbBit;
    std::string_view lsbBit;
    std::string_view msbWeight;
    std::string_view units;
};

/// @brief The formats of the built-in stream, in the order they are entered: BNR words with
/// the sign in bit 29 and the data bits below it, the MSB worth half the range.
[[nodiscard]] std::span<const ExampleFormat> exampleFormats();

/// @brief The format table typed through the editor's own rules, then compacted.
/// @throws std::runtime_error when a rule refuses or corrects an entry.
[[nodiscard]] formats::DecimalFormatTable buildExampleFormatTable();

/// @brief Every example format assigned to its address on each input of kTrafficInputs,
/// addresses typed in octal and labels transferred from the format list, then compacted.
/// @throws std::runtime_error when a rule refuses or corrects an entry.
[[nodiscard]] formats::AssignmentTable buildExampleAssignmentTable(
    const formats::DecimalFormatTable& formats);

/// @brief Writes the format state file and the assignment file into `folder`, which must
/// exist, with the program's own writers.
/// @return the first write error; empty on success.
/// @throws std::runtime_error when a rule refuses or corrects an entry.
[[nodiscard]] std::error_code writeExampleFiles(const std::filesystem::path& folder);

} // namespace tools
