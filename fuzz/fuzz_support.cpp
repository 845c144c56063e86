#include "fuzz_support.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fuzz_support {

namespace {

// Memory-backed where there is such a folder: a file is written for every input.
std::filesystem::path inputFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

} // namespace

InputFile::InputFile(const char* name)
    : path_((inputFolder() / ("zelva-fuzz-" + std::to_string(::getpid()) + "-" + name)).string()) {}

InputFile::~InputFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

const std::string& InputFile::write(std::span<const std::uint8_t> data) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.close();
    FUZZ_CHECK(!out.fail());
    return path_;
}

} // namespace fuzz_support
