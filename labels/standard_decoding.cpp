#include "labels/standard_decoding.h"

#include "labels/value_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>

namespace labels {
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

[[nodiscard]] std::optional<std::int64_t> bcdSteps(std::uint32_t word, int digits) {
    std::int64_t number = bitsAt(word, kTopDigitLowestBit, 3);
    if (number > 9)
        return std::nullopt;
    for (int digit = 1; digit < digits; ++digit) {
        const unsigned value = bitsAt(word, kTopDigitLowestBit - 4 * digit, 4);
        if (value > 9)
            return std::nullopt;
        number = number * 10 + value;
    }
    return bitsAt(word, 30, 2) == kSsmMinus ? -number : number;
}

[[nodiscard]] std::int64_t bnrSteps(std::uint32_t word, int significantBits) {
    const int lowestBit = kSignBit - significantBits;
    const auto magnitude = static_cast<std::int64_t>(bitsAt(word, lowestBit, significantBits));
    const bool negative = bitsAt(word, kSignBit, 1) != 0;
    return negative ? magnitude - (std::int64_t{1} << significantBits) : magnitude;
}

// A bound in steps of the resolution, with room for the rounding of the division (359.9 / 0.1
// may come out a hair above or below 3599).
[[nodiscard]] bool beyond(std::int64_t steps, double bound, double resolution, bool above) {
    const double boundSteps = bound / resolution;
    const double slack = 1e-9 * std::max(1.0, std::fabs(boundSteps));
    const auto value = static_cast<double>(steps);
    return above ? value > boundSteps + slack : value < boundSteps - slack;
}

std::string discreteText(std::uint32_t word, const LabelDefinition& definition) {
    std::string text;
    for (const DiscreteBit& bit : definition.discretes) {
        if (bitsAt(word, bit.bit, 1) == 0)
            continue;
        if (!text.empty())
            text.append(", ");
        text.append(bit.name);
    }
    return text;
}

} // namespace

std::string_view ssmMeaning(LabelEncoding encoding, unsigned ssm) {
    ssm &= 3u;
    switch (encoding) {
    case LabelEncoding::Bnr: return kBnrSsm[ssm];
    case LabelEncoding::Bcd: return kBcdSsm[ssm];
    case LabelEncoding::Disc: return kDiscSsm[ssm];
    }
    return {};
}

bool ssmCarriesData(LabelEncoding encoding, unsigned ssm) {
    constexpr unsigned kFunctionalTest = 2;
    return isNormalSsm(encoding, ssm) || (ssm & 3u) == kFunctionalTest;
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
    return static_cast<double>(bnrSteps(word, significantBits)) * resolution;
}

std::optional<double> bcdValue(std::uint32_t word, int digits, double resolution) {
    const std::optional<std::int64_t> steps = bcdSteps(word, digits);
    if (!steps)
        return std::nullopt;
    return static_cast<double>(*steps) * resolution;
}

std::optional<std::int64_t> valueSteps(std::uint32_t word, const LabelDefinition& definition) {
    switch (definition.encoding) {
    case LabelEncoding::Bnr: return bnrSteps(word, definition.significantBits);
    case LabelEncoding::Bcd: return bcdSteps(word, definition.significantBits);
    case LabelEncoding::Disc: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<double> engineeringValue(std::uint32_t word, const LabelDefinition& definition) {
    const std::optional<std::int64_t> steps = valueSteps(word, definition);
    if (!steps)
        return std::nullopt;
    return static_cast<double>(*steps) * definition.resolution;
}

std::string engineeringText(std::uint32_t word, const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Disc)
        return discreteText(word, definition);
    const std::optional<std::int64_t> steps = valueSteps(word, definition);
    return steps ? StepsFormat(definition.resolution).shown(*steps) : "не BCD";
}

std::string recordedText(std::uint32_t word, const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Disc)
        return discreteText(word, definition);
    const std::optional<std::int64_t> steps = valueSteps(word, definition);
    return steps ? StepsFormat(definition.resolution).exact(*steps) : "не BCD";
}

bool isOutOfRange(std::uint32_t word, const LabelDefinition& definition) {
    return isOutOfRange(valueSteps(word, definition), (word >> 29) & 3u, definition);
}

bool isOutOfRange(const std::optional<std::int64_t>& steps, unsigned ssm,
                  const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Disc || !ssmCarriesData(definition.encoding, ssm))
        return false;
    if (!steps)
        return true;
    return (definition.least && beyond(*steps, *definition.least, definition.resolution, false)) ||
           (definition.greatest &&
            beyond(*steps, *definition.greatest, definition.resolution, true));
}

bool canLookEmpty(const LabelDefinition& definition) {
    if (definition.encoding == LabelEncoding::Bnr)
        return false;
    // Bits 9-16 that a valid word may have set: an open SDI, and the data bits down there.
    std::uint32_t freeBits = definition.sdi ? 0u : 0x300u;
    if (definition.encoding == LabelEncoding::Bcd) {
        // Digits from the top: the first in bits 27-29, each next four bits lower.
        const int lowestDataBit = 27 - 4 * (definition.significantBits - 1);
        for (int bit = std::max(lowestDataBit, 11); bit <= 16; ++bit)
            freeBits |= 1u << (bit - 1);
    } else {
        for (const DiscreteBit& named : definition.discretes)
            if (named.bit <= 16)
                freeBits |= 1u << (named.bit - 1);
    }
    const unsigned fixedOnes =
        std::popcount(static_cast<unsigned>(definition.label)) +
        (definition.sdi ? std::popcount(static_cast<unsigned>(*definition.sdi)) : 0);
    return freeBits != 0 || fixedOnes % 2 == 1;
}

} // namespace labels
