#include "interface_class_file.h"

#include "util/trimmed.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

namespace board::windows {
namespace {

constexpr std::string_view kKey = "interface-class";
constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view text) { return util::trimmed(text, kBlanks); }

// Built by appending: GCC 12 at -O3 takes "'" + std::string(...) for an overlapping copy
// (-Wrestrict) and stops the optimised build.
std::string quoted(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '\'';
    result += text;
    result += '\'';
    return result;
}

InterfaceClassSetting refused(int line, std::string error) {
    return {std::nullopt, line, std::move(error)};
}

} // namespace

InterfaceClassSetting parseInterfaceClassSetting(std::string_view text) {
    InterfaceClassSetting setting;
    std::size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || trimmed(line.substr(0, equals)) != kKey)
            return refused(lineNumber, "expected " + std::string(kKey) +
                                           " = {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
        if (setting.interfaceClass)
            return refused(lineNumber, std::string(kKey) + " is given twice");
        const std::string_view value = trimmed(line.substr(equals + 1));
        setting.interfaceClass = parseInterfaceClassGuid(value);
        if (!setting.interfaceClass)
            return refused(lineNumber, quoted(value) + " is not a GUID of the form "
                                                       "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
    }
    if (!setting.interfaceClass)
        return refused(0, std::string(kKey) + " is not given");
    return setting;
}

InterfaceClassSetting loadInterfaceClassSetting(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error)
        return {};
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return refused(0, "cannot be read");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return parseInterfaceClassSetting(text);
}

} // namespace board::windows
