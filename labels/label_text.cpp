#include "labels/label_text.h"

namespace labels {

std::optional<std::uint8_t> parseOctalLabel(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    unsigned value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '7')
            return std::nullopt;
        value = value * 8 + static_cast<unsigned>(digit - '0');
    }
    if (value > 0377)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

} // namespace labels
