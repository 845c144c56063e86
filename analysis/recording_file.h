#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
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
    /// monitor loses nothing appended before. A write that fails part-way is cut back, so
    /// that the file ends where the last successful append ended.
    /// @return the error that stopped the write; empty when every byte went out.
    [[nodiscard]] virtual std::error_code append(std::string_view bytes) = 0;

    /// @brief Puts the file under the name the user chose, replacing any file of that name;
    /// until then it is written beside it, so that a recording that never gets going leaves
    /// an earlier file as it was.
    [[nodiscard]] virtual std::error_code settle() { return {}; }

    /// @brief Asks the system to put what was appended on the disk, so that a power cut
    /// loses no more than was appended since.
    [[nodiscard]] virtual std::error_code sync() { return {}; }

    /// Bytes free for the user on the file's disk; none when it cannot be told.
    [[nodiscard]] virtual std::optional<std::uint64_t> freeBytes() const { return std::nullopt; }
};

struct CreatedRecordingFile {
    std::unique_ptr<RecordingFile> file; // empty when it could not be created
    std::error_code error;
};

/// @brief Creates a new file beside `path`, which replaces the file at `path` when settled and
/// is removed if it is closed before. A write fails when the system refuses it, and also
/// when the file's name no longer names it, since rows written to a file that was deleted
/// or moved away would be lost without a word.
[[nodiscard]] CreatedRecordingFile createRecordingFile(const std::filesystem::path& path);

/// @brief The name of the `part`th file of a recording split into several: part 0 is the
/// name chosen, part 3 of "rec.csv" is "rec.003.csv" (the number before the extension, so
/// that the parts sort in order and open as the first does).
[[nodiscard]] std::string recordingPartName(std::string_view name, unsigned part);
[[nodiscard]] std::filesystem::path recordingPartPath(const std::filesystem::path& path,
                                                      unsigned part);

} // namespace analysis
