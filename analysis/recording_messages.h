#pragma once

#include "analysis/recorder.h"

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

/// @brief The recording stopped because its disk has less than `minFreeBytes` free.
[[nodiscard]] std::string recordingOutOfSpaceWarning(std::string_view fileName,
                                                     std::uint64_t minFreeBytes,
                                                     std::uint64_t rowsKept);

/// @brief What ended the recording into `fileName` (as the user chose it), naming the part
/// that was being written and the system's error in Russian.
[[nodiscard]] std::string recordingEndedWarning(std::string_view fileName,
                                                const RecordingFailure& failure,
                                                const RecordingLimits& limits);

} // namespace analysis
