#include "labels/standard_encoding.h"

#include "labels/standard_decoding.h"
#include "labels/value_text.h"

#include <bit>
#include <cmath>
#include <string>

namespace labels {
namespace {

constexpr int kSignBit = 29;
constexpr int kTopDigitLowestBit = 27;
constexpr unsigned kSsmPlus = 0;
constexpr unsigned kSsmMinus = 3;
constexpr unsigned kSsmNormalBnr = 3;
constexpr int kLowestSdiFreeBnrBit = 11; // a BNR field reaching below bit 11 takes the SDI bits

[[nodiscard]] Encoded refused(std::string why) { return {std::nullopt, std::move(why)}; }

[[nodiscard]] std::string shown(double value, const LabelDefinition& definition) {
    const std::optional<std::int64_t> steps =
        definition.resolution > 0.0
            ? std::optional<std::int64_t>(std::llround(value / definition.resolution))
            : std::nullopt;
    return steps ? StepsFormat(definition.resolution).shown(*steps) : std::to_string(value);
}

[[nodiscard]] bool dataTakesSdiBits(const LabelDefinition& definition) {
    switch (definition.encoding) {
    case LabelEncoding::Bnr: return kSignBit - definition.significantBits < kLowestSdiFreeBnrBit;
    case LabelEncoding::Bcd: return false; // five digits end at bit 11
    case LabelEncoding::Disc:
        for (const DiscreteBit& bit : definition.discretes)
            if (bit.bit < kLowestSdiFreeBnrBit)
                return true;
        return false;
    }
    return false;
}

/// The BNR field: steps as a two's-complement number of significantBits + 1 bits.
[[nodiscard]] Encoded bnrField(const LabelDefinition& definition, double value) {
    const double steps = std::round(value / definition.resolution);
    const double largest = std::ldexp(1.0, definition.significantBits) - 1.0;
    const double least = -std::ldexp(1.0, definition.significantBits);
    if (steps > largest || steps < least)
        return refused(
            "значение " + shown(value, definition) + " не помещается в " +
            std::to_string(definition.significantBits) + " бит со знаком: от " +
            StepsFormat(definition.resolution).shown(static_cast<std::int64_t>(least)) + " до " +
            StepsFormat(definition.resolution).shown(static_cast<std::int64_t>(largest)));
    const auto raw = static_cast<std::int64_t>(steps);
    const std::uint64_t mask = (std::uint64_t{1} << (definition.significantBits + 1)) - 1;
    const auto field = static_cast<std::uint32_t>(static_cast<std::uint64_t>(raw) & mask);
    return {field << (kSignBit - definition.significantBits - 1), {}};
}

/// The BCD digits of |value|; the top digit has three bits only.
[[nodiscard]] Encoded bcdField(const LabelDefinition& definition, double value) {
    const double steps = std::round(std::fabs(value) / definition.resolution);
    const int digits = definition.significantBits;
    const double largest = 8.0 * std::pow(10.0, digits - 1) - 1.0; // top digit 7, then nines
    if (steps > largest)
        return refused(
            "значение " + shown(value, definition) + " не помещается в " + std::to_string(digits) +
            " цифр BCD: наибольшее по модулю " +
            StepsFormat(definition.resolution).shown(static_cast<std::int64_t>(largest)));
    auto number = static_cast<std::uint64_t>(steps);
    std::uint32_t field = 0;
    for (int digit = digits - 1; digit >= 0; --digit) {
        field |= static_cast<std::uint32_t>(number % 10) << (kTopDigitLowestBit - 4 * digit - 1);
        number /= 10;
    }
    return {field, {}};
}

} // namespace

unsigned normalSsm(LabelEncoding encoding) {
    return encoding == LabelEncoding::Bnr ? kSsmNormalBnr : kSsmPlus;
}

Encoded encodeWord(const LabelDefinition& definition, const EncodeRequest& request) {
    Encoded data{std::uint32_t{0}, {}};
    unsigned ssm = request.ssm.value_or(normalSsm(definition.encoding)) & 3u;
    if (definition.encoding == LabelEncoding::Disc) {
        std::uint32_t named = 0;
        for (const DiscreteBit& bit : definition.discretes)
            named |= 1u << (bit.bit - 1);
        if ((request.discreteBits & ~named) != 0)
            return refused("бит " +
                           std::to_string(std::countr_zero(request.discreteBits & ~named) + 1) +
                           " не назван в базе");
        data.word = request.discreteBits;
    } else {
        if (!std::isfinite(request.value))
            return refused("значение не число");
        data = definition.encoding == LabelEncoding::Bnr ? bnrField(definition, request.value)
                                                         : bcdField(definition, request.value);
        if (!data.ok())
            return data;
        // BCD carries its sign in the SSM: minus for a negative value, unless a test asks for
        // another state, which then reads as plus.
        if (definition.encoding == LabelEncoding::Bcd && !request.ssm)
            ssm = std::round(request.value / definition.resolution) < 0 ? kSsmMinus : kSsmPlus;
    }
    std::uint32_t word = *data.word | definition.label | ssm << kSignBit;
    std::optional<std::uint8_t> sdi = definition.sdi;
    if (request.sdi) {
        if (definition.sdi && *definition.sdi != *request.sdi)
            return refused("SDI " + std::to_string(*request.sdi) + ": строка базы задает SDI " +
                           std::to_string(*definition.sdi));
        if (dataTakesSdiBits(definition))
            return refused("SDI не задается: биты 9-10 — данные этой метки");
        if (*request.sdi > 3)
            return refused("SDI не 0..3");
        sdi = request.sdi;
    }
    if (sdi)
        word |= static_cast<std::uint32_t>(*sdi) << 8;
    // The range as the receiving side judges it: in whole steps, on words that carry data.
    if (!request.outsideRangeOnPurpose && isOutOfRange(word, definition))
        return refused("значение " + shown(request.value, definition) + " вне диапазона " +
                       (definition.least ? shown(*definition.least, definition) : "") + ".." +
                       (definition.greatest ? shown(*definition.greatest, definition) : ""));
    const bool oddWithoutParityBit = std::popcount(word) % 2 == 1;
    if (oddWithoutParityBit == request.wrongParityOnPurpose)
        word |= 0x80000000u;
    return {word, {}};
}

} // namespace labels
