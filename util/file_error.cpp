#include "util/file_error.h"

#include "util/system_error_text.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <utility>

namespace util {

std::string fileErrorText(std::string_view what, std::string_view fileName, const FileError& error,
                          std::string_view ending) {
    std::string text(what);
    text.append(" «");
    text.append(fileName);
    text.append("» не загружен: ");
    if (error.line > 0) {
        text.append("строка " + std::to_string(error.line) + ", ");
        if (!error.column.empty())
            text.append("столбец «" + error.column + "», ");
    }
    text.append(error.why);
    text.append(ending);
    return text;
}

std::string fileRefusal(const std::filesystem::path& path, bool emptyAllowed) {
    if (path.empty())
        return "пустой путь";
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return "файла нет";
    // A folder on the way that may not be searched, a name too long: the system's own words.
    if (error)
        return "файл недоступен: " + systemErrorText(error);
    if (std::filesystem::is_directory(status))
        return "это папка, а не файл";
    if (!std::filesystem::is_regular_file(status))
        return "это не обычный файл (канал или устройство)";
    if (!emptyAllowed && std::filesystem::file_size(path, error) == 0 && !error)
        return "файл пуст";
    errno = 0;
    if (!std::ifstream(path, std::ios::binary))
        return errno == EACCES ? "нет прав на чтение" : "файл не читается";
    return {};
}

FileText readTextFile(const std::filesystem::path& path, std::uintmax_t largestBytes) {
    if (std::string why = fileRefusal(path); !why.empty())
        return {std::nullopt, std::move(why)};
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return {std::nullopt, "файл не читается"};
    if (size > largestBytes)
        return {std::nullopt, "файл больше " + std::to_string(largestBytes >> 20) + " МиБ"};
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {std::nullopt, "файл не читается"};
    return {std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()},
            {}};
}

} // namespace util
