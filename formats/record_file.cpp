#include "record_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace formats {
namespace {

std::error_code lastError() {
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(std::errc::io_error);
}

// A rename only protects the old file if the new bytes are on disk before it.
std::error_code syncToDisk(const std::filesystem::path& file) {
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0)
        return lastError();
    std::error_code error;
    if (::fsync(fd) != 0)
        error = lastError();
    ::close(fd);
    return error;
#else
    (void)file;
    return {};
#endif
}

std::error_code writeWhole(const std::filesystem::path& file, std::span<const std::byte> bytes) {
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
    return syncToDisk(file);
}

} // namespace

RecordsRead readRecords(std::istream& in, std::span<std::byte> slots, std::size_t recordSize) {
    RecordsRead result;
    std::vector<char> piece(recordSize);
    const std::size_t capacity = slots.size() / recordSize;
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(recordSize));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        if (result.records < capacity)
            std::memcpy(slots.data() + result.records++ * recordSize, piece.data(), got);
        else
            ++result.ignored;
    }
    return result;
}

std::error_code writeFileReplacing(const std::filesystem::path& target,
                                   std::span<const std::byte> bytes) {
    std::filesystem::path temporary = target;
    temporary += kTemporaryFileSuffix;
    std::error_code error = writeWhole(temporary, bytes);
    if (!error)
        std::filesystem::rename(temporary, target, error);
    std::error_code ignored;
    if (error && std::filesystem::is_regular_file(temporary, ignored))
        std::filesystem::remove(temporary, ignored);
    return error;
}

} // namespace formats
