#include "numeric_read.h"

#include <charconv>

namespace formats {
namespace {

constexpr long kIntegerBound = 999'999'999;

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// Skips white space and one sign; returns true for a minus.
bool skipSpaceAndSign(std::string_view& text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    if (text.empty() || (text.front() != '+' && text.front() != '-'))
        return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

// Digits from the start of `text`, without sign or blanks; the value is held at the bound.
std::optional<long> readDigits(std::string_view text, int base) {
    long value = 0;
    std::size_t digits = 0;
    for (char c : text) {
        const int digit = c - '0';
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
        if (value > kIntegerBound)
            value = kIntegerBound;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

std::size_t countDigits(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && isDecimalDigit(text[end]))
        ++end;
    return end - from;
}

// The exponent part at the start of `rest` ("e12", "E-3"), or 0 when there is none.
long exponentOf(std::string_view rest) {
    if (rest.empty() || (rest.front() != 'e' && rest.front() != 'E'))
        return 0;
    rest.remove_prefix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const long value = readDigits(rest, 10).value_or(0);
    return negative ? -value : value;
}

} // namespace

std::optional<long> readLeadingInteger(std::string_view text, int base) {
    const bool negative = skipSpaceAndSign(text);
    const auto value = readDigits(text, base);
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
}

std::optional<float> readLeadingFloat(std::string_view text) {
    const bool negative = skipSpaceAndSign(text);

    // Measure the decimal form here: from_chars alone would also take "inf" and "nan".
    const std::size_t intDigits = countDigits(text, 0);
    std::size_t length = intDigits;
    std::size_t fracDigits = 0;
    if (length < text.size() && text[length] == '.') {
        fracDigits = countDigits(text, length + 1);
        length += 1 + fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;

    float value = 0.0F;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Overflow or underflow: the decimal exponent of the first significant digit tells
        // which, as every nonzero float lies between 10^-46 and 10^39.
        const auto firstSignificant =
            static_cast<long>(text.substr(0, length).find_first_not_of("0."));
        const auto point = static_cast<long>(intDigits);
        const long position = firstSignificant < point ? point - 1 - firstSignificant
                                                       : point - firstSignificant;
        if (position + exponentOf(text.substr(length)) >= 0)
            return std::nullopt;
        return negative ? -0.0F : 0.0F;
    }
    if (error != std::errc{} || end == text.data())
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace formats
