#include "util/system_error_text.h"

#include <array>
#include <cerrno>

namespace util {
namespace {

struct ErrorWords {
    std::errc condition;
    const char* words;
};

// Compared as conditions, so that a Windows error code that the runtime maps to the same
// condition (ERROR_DISK_FULL to no_space_on_device) reads the same as on Linux.
constexpr std::array kErrorWords{
    ErrorWords{std::errc::no_space_on_device, "на диске нет места"},
    ErrorWords{std::errc::file_too_large, "файл достиг наибольшего размера"},
    ErrorWords{std::errc::permission_denied, "нет прав на запись"},
    ErrorWords{std::errc::operation_not_permitted, "нет прав на запись"},
    ErrorWords{std::errc::read_only_file_system, "носитель только для чтения"},
    ErrorWords{std::errc::no_such_device, "носитель отключен"},
    ErrorWords{std::errc::no_such_device_or_address, "носитель отключен"},
    ErrorWords{std::errc::io_error, "ошибка ввода-вывода: носитель неисправен или отключен"},
    ErrorWords{std::errc::no_such_file_or_directory, "файл или папка не найдены"},
    ErrorWords{std::errc::not_a_directory, "файл или папка не найдены"},
    ErrorWords{std::errc::is_a_directory, "это папка, а не файл"},
};

const char* wordsFor(const std::error_code& error) {
#ifdef EDQUOT
    // No std::errc names a quota; on systems that have one it is a full disk to the user.
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category() && condition.value() == EDQUOT)
        return "исчерпана квота на диске";
#endif
    for (const ErrorWords& known : kErrorWords) {
        if (error == known.condition)
            return known.words;
    }
    return "системная ошибка";
}

} // namespace

std::string systemErrorText(const std::error_code& error) {
    return std::string(wordsFor(error)) + " (код " + std::to_string(error.value()) + ")";
}

} // namespace util
