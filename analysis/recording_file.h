#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace analysis {

// The save dialog of a recording: "description|pattern" pairs, as the other file dialogs.
inline constexpr std::string_view kRecordingFileFilter = "Записи принятых слов|*.csv";
inline constexpr std::string_view kRecordingFileInitialDirectory = ".";
inline constexpr std::string_view kRecordingFileDefaultExtension = "csv";

/// @brief The file a recording goes to, written once per tick.
///
/// The seam through which the tests make a write fail the way a full disk, a vanished file
/// or a lost right does; the program uses createRecordingFile().
class RecordingFile {
public:
    virtual ~RecordingFile() = default;

    /// @brief Appends `bytes` and hands them to the system at once, so that a crash of the
    /// monitor loses nothing appended before.
    /// @return the error that stopped the write; empty when every byte went out.
    [[nodiscard]] virtual std::error_code append(std::string_view bytes) = 0;
};

struct CreatedRecordingFile {
    std::unique_ptr<RecordingFile> file; // empty when it could not be created
    std::error_code error;
};

/// @brief Creates `path`, or empties the file already there. A write fails when the system
/// refuses it, and also when `path` no longer names the file, since rows written to a file
/// that was deleted or moved away would be lost without a word.
[[nodiscard]] CreatedRecordingFile createRecordingFile(const std::filesystem::path& path);

} // namespace analysis
