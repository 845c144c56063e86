#pragma once

// Saves that fail part-way, for the tests of every saver: a writer that stops after a given
// number of bytes, and a target that cannot be replaced.

#include "util/file_replacing.h"

#include "temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace board_testing {

/// Writes the first `failAfter` bytes of a save into the temporary file, then fails the way a
/// full disk does. With `failAfter` at or beyond the size every byte is written and the
/// failure comes where closing or syncing the file would fail.
class FailingFileWriter final : public util::FileWriter {
public:
    explicit FailingFileWriter(std::size_t failAfter) : failAfter_(failAfter) {}

    std::error_code writeNewFile(const std::filesystem::path& file,
                                 std::span<const std::byte> bytes) override {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(std::min(failAfter_, bytes.size())));
        temporaryFiles.push_back(file);
        return std::make_error_code(std::errc::no_space_on_device);
    }

    std::vector<std::filesystem::path> temporaryFiles; ///< every file it was asked to write

private:
    std::size_t failAfter_;
};

/// A previous file that a save to target() cannot replace: the file sits in a read-only
/// folder. Where read-only folders are still writable (the superuser, as in CI), the target
/// is a path under the previous file instead, which no one can create.
class UnwritableTarget {
public:
    UnwritableTarget(const std::filesystem::path& dir, const std::string& name,
                     const std::string& previousBytes)
        : folder_(dir / "read-only"), previous_(folder_ / name) {
        namespace fs = std::filesystem;
        fs::create_directories(folder_);
        testing_support::writeBytes(previous_, previousBytes);
        fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec,
                        fs::perm_options::replace);
        const fs::path probe = folder_ / "probe";
        readOnly_ = !std::ofstream(probe).is_open();
        if (!readOnly_)
            fs::remove(probe);
        target_ = readOnly_ ? previous_ : previous_ / name;
    }
    ~UnwritableTarget() {
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, ignored);
    }
    UnwritableTarget(const UnwritableTarget&) = delete;
    UnwritableTarget& operator=(const UnwritableTarget&) = delete;

    [[nodiscard]] const std::filesystem::path& target() const { return target_; }
    [[nodiscard]] const std::filesystem::path& previousFile() const { return previous_; }
    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
    /// False where the folder could not be made read-only and the target lies under a file.
    [[nodiscard]] bool folderIsReadOnly() const { return readOnly_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path previous_;
    std::filesystem::path target_;
    bool readOnly_ = false;
};

} // namespace board_testing
