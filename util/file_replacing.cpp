#include "file_replacing.h"

#include <cerrno>
#include <fstream>
#include <string>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace util {
namespace {

constexpr int kTemporaryNameAttempts = 100;

std::error_code lastError() {
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(std::errc::io_error);
}

// Makes what was written to `path` durable; a folder's entries too. Elsewhere than on POSIX
// systems closing the file is all the program does.
std::error_code syncPath(const std::filesystem::path& path) {
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return lastError();
    std::error_code error;
    if (::fsync(fd) != 0)
        error = lastError();
    ::close(fd);
    return error;
#else
    (void)path;
    return {};
#endif
}

class DiskFileWriter final : public FileWriter {
public:
    std::error_code writeNewFile(const std::filesystem::path& file,
                                 std::span<const std::byte> bytes) override {
        errno = 0;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (!out)
            return lastError();
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            return lastError();
        out.close();
        if (out.fail())
            return lastError();
        // A rename only protects the old file if the new bytes are on disk before it.
        return syncPath(file);
    }
};

} // namespace

std::error_code pickTemporaryName(const std::filesystem::path& target,
                                  std::filesystem::path& temporary) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = target;
        temporary += kTemporaryFileSuffix;
        if (attempt > 0)
            temporary += std::to_string(attempt);
        std::error_code error;
        const auto status = std::filesystem::symlink_status(temporary, error);
        if (error && error != std::errc::no_such_file_or_directory)
            return error;
        if (!std::filesystem::exists(status))
            return {};
    }
    return std::make_error_code(std::errc::file_exists);
}

FileWriter& diskFileWriter() {
    static DiskFileWriter writer;
    return writer;
}

std::error_code writeFileReplacing(const std::filesystem::path& target,
                                   std::span<const std::byte> bytes, FileWriter& writer) {
    std::filesystem::path temporary;
    std::error_code error = pickTemporaryName(target, temporary);
    if (error)
        return error;
    error = writer.writeNewFile(temporary, bytes);
    if (!error)
        std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    // The rename itself lives in the folder; without this a power cut may undo it. The save
    // has already succeeded by then, so a folder that cannot be synced is not an error.
    (void)syncPath(target.has_parent_path() ? target.parent_path() : ".");
    return {};
}

} // namespace util
