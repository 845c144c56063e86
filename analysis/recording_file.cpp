#include "analysis/recording_file.h"

#include "util/file_replacing.h"
#include "util/printf_text.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace analysis {
namespace {

std::error_code errorOfTheSystem() {
    const int code = errno;
    return code != 0 ? std::error_code(code, std::generic_category())
                     : std::make_error_code(std::errc::io_error);
}

// The C runtime's file calls, one name for each on both systems; Windows' runtime sets errno
// as POSIX does, so the errors read the same.
#ifdef _WIN32
int openForAppending(const std::filesystem::path& path, bool create) {
    return ::_wopen(path.c_str(),
                    _O_WRONLY | _O_APPEND | _O_BINARY | _O_NOINHERIT |
                        (create ? _O_CREAT | _O_EXCL : 0),
                    _S_IREAD | _S_IWRITE);
}
long long writeSome(int fd, const char* bytes, std::size_t size) {
    constexpr std::size_t kLargestWrite = 1U << 30;
    return ::_write(fd, bytes, static_cast<unsigned>(size < kLargestWrite ? size : kLargestWrite));
}
int cutTo(int fd, std::uint64_t length) {
    errno = ::_chsize_s(fd, static_cast<long long>(length));
    return errno == 0 ? 0 : -1;
}
int syncFile(int fd) { return ::_commit(fd); }
int closeFile(int fd) { return ::_close(fd); }
#else
int openForAppending(const std::filesystem::path& path, bool create) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0),
                  0666);
}
long long writeSome(int fd, const char* bytes, std::size_t size) {
    return ::write(fd, bytes, size);
}
int cutTo(int fd, std::uint64_t length) { return ::ftruncate(fd, static_cast<off_t>(length)); }
int syncFile(int fd) { return ::fsync(fd); }
int closeFile(int fd) { return ::close(fd); }
#endif

class DiskRecordingFile final : public RecordingFile {
public:
    DiskRecordingFile(std::filesystem::path target, std::filesystem::path temporary, int fd)
        : target_(std::move(target)), current_(std::move(temporary)), fd_(fd) {}

    DiskRecordingFile(const DiskRecordingFile&) = delete;
    DiskRecordingFile& operator=(const DiskRecordingFile&) = delete;

    ~DiskRecordingFile() override {
        if (fd_ >= 0)
            (void)closeFile(fd_);
        if (current_ != target_) {
            std::error_code ignored;
            std::filesystem::remove(current_, ignored);
        }
    }

    std::error_code append(std::string_view bytes) override {
        if (fd_ < 0)
            return std::make_error_code(std::errc::bad_file_descriptor);
        while (!bytes.empty()) {
            errno = 0;
            const long long written = writeSome(fd_, bytes.data(), bytes.size());
            if (written <= 0)
                return cutBack(written == 0 ? std::make_error_code(std::errc::no_space_on_device)
                                            : errorOfTheSystem());
            bytes.remove_prefix(static_cast<std::size_t>(written));
            length_ += static_cast<std::uint64_t>(written);
        }
        whole_ = length_;
        std::error_code error;
        if (!std::filesystem::is_regular_file(current_, error))
            return error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
        return {};
    }

    std::error_code settle() override {
        if (current_ == target_ || fd_ < 0)
            return {};
        // Windows renames no file that is open, so the file is closed for the rename and
        // opened again under its new name.
        (void)closeFile(fd_);
        fd_ = -1;
        std::error_code error;
        std::filesystem::rename(current_, target_, error);
        if (error)
            return error;
        current_ = target_;
        errno = 0;
        fd_ = openForAppending(current_, false);
        return fd_ < 0 ? errorOfTheSystem() : std::error_code{};
    }

    std::error_code sync() override {
        errno = 0;
        if (fd_ >= 0 && syncFile(fd_) != 0)
            return errorOfTheSystem();
        return {};
    }

    [[nodiscard]] std::optional<std::uint64_t> freeBytes() const override {
        std::error_code error;
        const std::filesystem::path folder =
            std::filesystem::absolute(current_, error).parent_path();
        const std::filesystem::space_info space = std::filesystem::space(folder, error);
        if (error || space.available == static_cast<std::uintmax_t>(-1))
            return std::nullopt;
        return space.available;
    }

private:
    // A write that failed part-way leaves part of a row; cut to the end of the last whole
    // append, so that the file still reads to its last line.
    std::error_code cutBack(std::error_code error) {
        if (cutTo(fd_, whole_) == 0)
            length_ = whole_;
        return error;
    }

    std::filesystem::path target_;
    std::filesystem::path current_; // the temporary name until settled, then the target
    int fd_;
    std::uint64_t length_ = 0;
    std::uint64_t whole_ = 0;
};

} // namespace

CreatedRecordingFile createRecordingFile(const std::filesystem::path& path) {
    std::filesystem::path temporary;
    if (const std::error_code error = util::pickTemporaryName(path, temporary))
        return {nullptr, error};
    errno = 0;
    const int fd = openForAppending(temporary, true);
    if (fd < 0)
        return {nullptr, errorOfTheSystem()};
    return {std::make_unique<DiskRecordingFile>(path, std::move(temporary), fd), {}};
}

std::string recordingPartName(std::string_view name, unsigned part) {
    if (part == 0)
        return std::string(name);
    const std::size_t folderEnd = name.find_last_of("/\\");
    const std::size_t stem = folderEnd == std::string_view::npos ? 0 : folderEnd + 1;
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot <= stem)
        dot = name.size();
    return std::string(name.substr(0, dot)) + util::printfText(".%03u", part) +
           std::string(name.substr(dot));
}

std::filesystem::path recordingPartPath(const std::filesystem::path& path, unsigned part) {
    if (part == 0)
        return path;
    std::filesystem::path name = path.stem();
    name += util::printfText(".%03u", part);
    name += path.extension();
    return path.parent_path() / name;
}

} // namespace analysis
