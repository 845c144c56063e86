#pragma once

#include <string>
#include <string_view>

namespace formats {

/// @brief The start of a message about a file the user chose: `lead`, the name in double
/// quotes, then the system's reason in brackets unless it is empty. UTF-8.
[[nodiscard]] inline std::string fileMessageText(std::string_view lead, std::string_view fileName,
                                                 std::string_view reason) {
    std::string text(lead);
    text += " \"";
    text.append(fileName);
    text += '"';
    if (!reason.empty()) {
        text += " (";
        text.append(reason);
        text += ')';
    }
    return text;
}

} // namespace formats
