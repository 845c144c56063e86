#include "input_files.h"

#include "board_access.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace cli {
namespace {

std::string whyUnreadable(const std::string& path) {
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return "нет такого файла";
    if (error)
        return "файл недоступен: " + error.message();
    if (status.type() == std::filesystem::file_type::directory)
        return "это папка, а не файл";
    if (status.type() != std::filesystem::file_type::regular)
        return "не обычный файл (канал, устройство или сокет)";
    if (std::filesystem::file_size(file, error) == 0 && !error)
        return "файл пуст";
    errno = 0;
    if (const std::ifstream opened(file, std::ios::binary); !opened)
        return errno == EACCES ? "нет права на чтение" : "файл не открывается";
    return {};
}

} // namespace

void requireReadableFile(const std::string& path, const std::string& what) {
    if (const std::string why = whyUnreadable(path); !why.empty())
        throw CommandFailure(what + " «" + path + "»: " + why);
}

} // namespace cli
