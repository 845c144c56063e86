#include "util/file_error.h"

#include <fstream>
#include <iterator>

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

FileText readTextFile(const std::filesystem::path& path, std::uintmax_t largestBytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {std::nullopt, "файл не читается"};
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
