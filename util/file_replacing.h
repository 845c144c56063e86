#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <system_error>

namespace util {

// Every file the monitor writes (format state, assignment and output parameter files) is
// saved the same way: the new bytes go to a temporary file beside the target, and only when
// that file is whole on disk does it replace the target. A save that fails at any point
// leaves the previous file byte for byte as it was.

/// Appended to the target's name for the temporary file; a number follows when a file of
/// that name is already there, so nothing of the user's is overwritten.
inline constexpr const char* kTemporaryFileSuffix = ".zelva-save";

/// @brief Puts the bytes of one save into a new file.
///
/// The seam through which the tests make a save fail part-way; the program uses
/// diskFileWriter().
class FileWriter {
public:
    virtual ~FileWriter() = default;

    /// @brief Creates `file`, writes all of `bytes` into it and makes them durable.
    /// @return the error that stopped the write; empty when every byte is on disk. A file
    /// left behind after an error is removed by the caller.
    [[nodiscard]] virtual std::error_code writeNewFile(const std::filesystem::path& file,
                                                       std::span<const std::byte> bytes) = 0;
};

/// @brief Sets `temporary` to a name beside `target` that nothing has yet: the target's name
/// with kTemporaryFileSuffix and, when that is taken, a number.
[[nodiscard]] std::error_code pickTemporaryName(const std::filesystem::path& target,
                                                std::filesystem::path& temporary);

/// @brief The writer of the program: a plain binary file, flushed to disk before it is
/// closed.
[[nodiscard]] FileWriter& diskFileWriter();

/// @brief Replaces `target` with `bytes`, or leaves it as it was: the bytes go through
/// `writer` into a temporary file in the target's folder, which is then renamed over the
/// target. On failure the temporary file is removed.
/// @return the error that stopped the save; empty on success.
[[nodiscard]] std::error_code writeFileReplacing(const std::filesystem::path& target,
                                                 std::span<const std::byte> bytes,
                                                 FileWriter& writer = diskFileWriter());

} // namespace util
