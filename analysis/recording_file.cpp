#include "analysis/recording_file.h"

#include <cerrno>
#include <fstream>

namespace analysis {
namespace {

std::error_code errorOfTheSystem() {
    const int code = errno;
    return code != 0 ? std::error_code(code, std::generic_category())
                     : std::make_error_code(std::errc::io_error);
}

class DiskRecordingFile final : public RecordingFile {
public:
    DiskRecordingFile(std::filesystem::path path, std::ofstream out)
        : path_(std::move(path)), out_(std::move(out)) {}

    std::error_code append(std::string_view bytes) override {
        errno = 0;
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out_.flush();
        if (!out_)
            return errorOfTheSystem();
        std::error_code error;
        if (!std::filesystem::is_regular_file(path_, error))
            return error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
        return {};
    }

private:
    std::filesystem::path path_;
    std::ofstream out_;
};

} // namespace

CreatedRecordingFile createRecordingFile(const std::filesystem::path& path) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return {nullptr, errorOfTheSystem()};
    return {std::make_unique<DiskRecordingFile>(path, std::move(out)), {}};
}

} // namespace analysis
