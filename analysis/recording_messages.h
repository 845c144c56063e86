#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace analysis {

// What the user is told about a recording: a file that could not be created, and a write
// that ended the recording. Both name the file the user chose; the reason is the system's
// description of the error, left out when empty.

inline constexpr std::string_view kRecordingWarningCaption = "Запись принятых слов";

/// @brief The file could not be created: nothing is recorded.
[[nodiscard]] std::string recordingNotStartedWarning(std::string_view fileName,
                                                     std::string_view reason);

/// @brief A write failed: the recording has ended, the file keeps `rowsKept` rows.
[[nodiscard]] std::string recordingStoppedWarning(std::string_view fileName,
                                                  std::string_view reason, std::uint64_t rowsKept);

} // namespace analysis
