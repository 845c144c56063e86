#pragma once

#include "util/file_error.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

/// One received word as a recording holds it.
struct RecordedWord {
    std::uint64_t ms = 0; // since the recording started, the tick's
    std::uint32_t tick = 0;
    std::uint8_t channelNo = 0; // 1..8
    std::uint8_t cell = 0;
    std::uint32_t word = 0;
};

/// Where a recording is damaged.
using RecordingError = util::FileError;

/// @brief Reads the monitor's own recordings word by word, never more than a row in memory,
/// so that a recording larger than memory plays. Its first line must name the recording's
/// columns (with or without the label database's last two). A last line cut short, as a
/// recording ends when the program stops in the middle of a row, is skipped and told; any
/// other damage (a field that is not what the recorder writes, a label that is not the
/// word's, time running back) ends the reading with its line, column and reason: a damaged
/// recording is not sent on.
class RecordingReader {
public:
    explicit RecordingReader(const std::filesystem::path& path);

    /// The next word; false at the end or at damage (error()).
    bool next(RecordedWord& word);

    [[nodiscard]] const std::optional<RecordingError>& error() const { return error_; }
    /// The line of a last row cut short and skipped, 0 when there is none.
    [[nodiscard]] int tornLine() const { return tornLine_; }

private:
    bool fail(std::string column, std::string why);
    /// The next record's text without its line end; false at the end.
    bool readRecord(std::string& record, bool& complete);

    std::ifstream file_;
    std::string record_;
    std::vector<std::string> fields_;
    int line_ = 0;       // the last line read
    int recordLine_ = 0; // the first line of the record in hand
    int tornLine_ = 0;
    std::uint64_t lastMs_ = 0;
    std::optional<RecordingError> error_;
};

/// What a whole recording holds, read through once.
struct RecordingSummary {
    std::uint64_t words = 0;
    std::uint64_t firstMs = 0;
    std::uint64_t lastMs = 0;
    std::uint8_t channels = 0;                       // bit n - 1: channel n
    std::vector<std::vector<std::uint8_t>> labels{}; // per channel 1..8, in order of first seen
    std::array<std::array<std::uint64_t, 256>, 8> wordsPerLabel{}; // per channel 1..8, label
    int tornLine = 0;
    std::optional<RecordingError> error{};

    [[nodiscard]] bool ok() const { return !error.has_value(); }
};

[[nodiscard]] RecordingSummary summarizeRecording(const std::filesystem::path& path);

/// @brief "Запись «<file>» не воспроизводится: строка N, столбец «C», <why>.", the line and
/// column where there are.
[[nodiscard]] std::string recordingErrorMessage(std::string_view fileName,
                                                const RecordingError& error);

} // namespace analysis
