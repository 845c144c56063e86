#pragma once

#include "board/shared_state.h"
#include "util/file_replacing.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace transmission {

// Output parameter file: u16 word count, then that many u32 words, little-endian, nothing else.
inline constexpr std::size_t kOutputFileCountBytes = 2;
inline constexpr std::size_t kOutputFileWordBytes = 4;

inline constexpr std::string_view kOutputFileOpenFilter =
    "Файлы выходных параметров (*.so) |*.so|*.*|*.*";
inline constexpr std::string_view kOutputFileSaveFilter =
    "Файлы выходных параметров (*.so)|*.so|*.*|*.*";
inline constexpr std::string_view kOutputFileInitialDirectory = ".";
inline constexpr std::string_view kOutputFileDefaultExtension = "so";

enum class OutputFileStatus {
    Restored,    // the array and its size were taken from the file
    Saved,       // the file now holds the array
    NotOpened,   // the file could not be opened for reading: nothing changed, `why` says why
    TooShort,    // shorter than the 2-byte count: refused, nothing changed
    BadCount,    // count 0 or above 256: refused (or not saved), nothing changed
    WriteFailed, // the save failed; a file already at the target is kept as it was
};

struct OutputFileResult {
    OutputFileStatus status = OutputFileStatus::NotOpened;
    std::uint32_t count = 0; // the word count read or written (the offending one for BadCount)
    std::string why = {};    // why a file named was not opened: missing, a folder, a FIFO...

    [[nodiscard]] bool succeeded() const {
        return status == OutputFileStatus::Restored || status == OutputFileStatus::Saved;
    }
};

/// @brief The text of the warning box for a refused file or a failed save; empty where the
/// user is not told (success, or a file that could not be opened).
[[nodiscard]] std::string outputFileWarning(const OutputFileResult& result);

/// @brief The file bytes for the given words (at most 256).
[[nodiscard]] std::vector<std::byte> encodeOutputFile(std::span<const std::uint32_t> words);

/// @brief Restores the current output channel from file bytes: SOArrayDim and SOCycleDim
/// := the count, words 0 .. count - 1 := the words. Words above the count keep their values;
/// so do the bytes a file that ends early does not hold. Bytes after the last word are
/// ignored. A file shorter than the count field or with a count outside 1..256 is refused
/// and changes nothing.
[[nodiscard]] OutputFileResult decodeOutputFileInto(board::SharedState& state,
                                                    std::span<const std::byte> bytes);

/// @brief Restores the current output channel from the file at `path` (see decodeOutputFileInto).
[[nodiscard]] OutputFileResult restoreOutputArray(board::SharedState& state,
                                                  const std::filesystem::path& path);

/// @brief Saves words 0 .. SOArrayDim - 1 of the current channel to `path`, through
/// `writer`. The bytes go to a temporary file beside the target, which then replaces the
/// target, so a failed save leaves a previous file whole.
[[nodiscard]] OutputFileResult saveOutputArray(const board::SharedState& state,
                                               const std::filesystem::path& path,
                                               util::FileWriter& writer = util::diskFileWriter());

/// @brief The save dialog's default extension for a name typed without one: "name" becomes
/// "name.so"; a name with any extension is kept.
[[nodiscard]] std::filesystem::path withDefaultExtension(const std::filesystem::path& path);

} // namespace transmission
