#include "util/number_text.h"

#include "util/trimmed.h"

#include <charconv>
#include <cmath>

namespace util {
namespace {

/// Trimmed, and a plus sign before a digit or point dropped: from_chars takes neither.
std::string_view numberText(std::string_view text) {
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    text = numberText(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseWhole(std::string_view text, int lowest, int highest) {
    text = numberText(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        value < lowest || value > highest)
        return std::nullopt;
    return value;
}

} // namespace util
