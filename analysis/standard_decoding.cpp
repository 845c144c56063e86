#include "analysis/standard_decoding.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace analysis {
namespace {

constexpr int kSignBit = 29;
constexpr int kTopDigitLowestBit = 27; // the top BCD digit has bits 27-29 only
constexpr unsigned kSsmMinus = 3;

constexpr std::array<std::string_view, 4> kBnrSsm = {"отказ", "нет данных", "функц. тест", "норма"};
constexpr std::array<std::string_view, 4> kBcdSsm = {"плюс", "нет данных", "функц. тест", "минус"};
constexpr std::array<std::string_view, 4> kDiscSsm = {"норма", "нет данных", "функц. тест",
                                                      "отказ"};

[[nodiscard]] unsigned bitsAt(std::uint32_t word, int lowestBit, int count) {
    return (word >> (lowestBit - 1)) & ((1u << count) - 1u);
}

void appendNumber(std::string& out, double value, int decimals) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec == std::errc{})
        out.append(text.data(), result.ptr);
}

} // namespace

int decimalsFor(double resolution) {
    if (!(resolution > 0.0))
        return 0;
    const double decimals = std::ceil(-std::log10(resolution) - 1e-9);
    return static_cast<int>(std::clamp(decimals, 0.0, 6.0));
}

std::string_view ssmMeaning(LabelEncoding encoding, unsigned ssm) {
    ssm &= 3u;
    switch (encoding) {
    case LabelEncoding::Bnr: return kBnrSsm[ssm];
    case LabelEncoding::Bcd: return kBcdSsm[ssm];
    case LabelEncoding::Disc: return kDiscSsm[ssm];
    }
    return {};
}

bool isNormalSsm(LabelEncoding encoding, unsigned ssm) {
    ssm &= 3u;
    switch (encoding) {
    case LabelEncoding::Bnr: return ssm == 3;
    case LabelEncoding::Bcd: return ssm == 0 || ssm == kSsmMinus;
    case LabelEncoding::Disc: return ssm == 0;
    }
    return false;
}

double bnrValue(std::uint32_t word, int significantBits, double resolution) {
    const int lowestBit = kSignBit - significantBits;
    const auto magnitude = static_cast<std::int64_t>(bitsAt(word, lowestBit, significantBits));
    const bool negative = bitsAt(word, kSignBit, 1) != 0;
    const std::int64_t raw = negative ? magnitude - (std::int64_t{1} << significantBits)
                                      : magnitude;
    return static_cast<double>(raw) * resolution;
}

std::optional<double> bcdValue(std::uint32_t word, int digits, double resolution) {
    std::int64_t number = bitsAt(word, kTopDigitLowestBit, 3);
    if (number > 9)
        return std::nullopt;
    for (int digit = 1; digit < digits; ++digit) {
        const unsigned value = bitsAt(word, kTopDigitLowestBit - 4 * digit, 4);
        if (value > 9)
            return std::nullopt;
        number = number * 10 + value;
    }
    const double magnitude = static_cast<double>(number) * resolution;
    return bitsAt(word, 30, 2) == kSsmMinus ? -magnitude : magnitude;
}

std::optional<double> engineeringValue(std::uint32_t word, const LabelDefinition& definition) {
    switch (definition.encoding) {
    case LabelEncoding::Bnr:
        return bnrValue(word, definition.significantBits, definition.resolution);
    case LabelEncoding::Bcd:
        return bcdValue(word, definition.significantBits, definition.resolution);
    case LabelEncoding::Disc: return std::nullopt;
    }
    return std::nullopt;
}

std::string engineeringText(std::uint32_t word, const LabelDefinition& definition) {
    std::string text;
    if (definition.encoding == LabelEncoding::Disc) {
        for (const DiscreteBit& bit : definition.discretes) {
            if (bitsAt(word, bit.bit, 1) == 0)
                continue;
            if (!text.empty())
                text.append(", ");
            text.append(bit.name);
        }
        return text;
    }
    const std::optional<double> value = engineeringValue(word, definition);
    if (!value)
        return "не BCD";
    appendNumber(text, *value, decimalsFor(definition.resolution));
    return text;
}

bool isOutOfRange(std::uint32_t word, const LabelDefinition& definition) {
    return isOutOfRange(engineeringValue(word, definition), definition);
}

bool isOutOfRange(const std::optional<double>& value, const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Disc)
        return false;
    if (!value)
        return true;
    return (definition.least && *value < *definition.least) ||
           (definition.greatest && *value > *definition.greatest);
}

} // namespace analysis
