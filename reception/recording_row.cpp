#include "recording_row.h"

#include "csv_text.h"
#include "decimal_decode.h"
#include "word_fields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace reception {
namespace {

// Rows are written thousands at a time each tick, so their numbers are put together digit by
// digit rather than through printf.

void appendDecimal(std::string& out, std::uint64_t value) {
    std::array<char, 20> digits;
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    (void)error; // 20 digits hold every 64-bit number
    out.append(digits.data(), end);
}

void appendHex8(std::string& out, std::uint32_t word) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::array<char, 8> text;
    for (int i = 7; i >= 0; --i, word >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[word & 0xFu];
    out.append(text.data(), text.size());
}

void appendOctal3(std::string& out, unsigned label) {
    out += static_cast<char>('0' + ((label >> 6) & 7u));
    out += static_cast<char>('0' + ((label >> 3) & 7u));
    out += static_cast<char>('0' + (label & 7u));
}

// The decimal column's text, from `fieldStart` to the end of `out`, without the blanks that
// align it in the grid; a label without a format leaves the field empty.
void trimField(std::string& out, std::size_t fieldStart) {
    while (out.size() > fieldStart && out.back() == ' ')
        out.pop_back();
    std::size_t first = fieldStart;
    while (first < out.size() && out[first] == ' ')
        ++first;
    out.erase(fieldStart, first - fieldStart);
}

} // namespace

void appendTickFields(std::string& out, const RecordingTickStamp& stamp) {
    const LocalDateTime& t = stamp.time;
    std::array<char, 64> text{};
    const int length = std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %02d:%02d:%02d.%03d,",
                                     t.year, t.month, t.day, t.hour, t.minute, t.second,
                                     t.millisecond);
    if (length > 0)
        out.append(text.data(), std::min(static_cast<std::size_t>(length), text.size() - 1));
    appendDecimal(out, stamp.msSinceStart);
    out += ',';
    appendDecimal(out, stamp.tick);
    out += ',';
}

void appendRecordingRow(std::string& out, std::string_view tickFields, const CellChange& change,
                        const ChannelFormatLookup& channelLookup) {
    const std::uint32_t word = change.word;
    out.append(tickFields);
    appendDecimal(out, change.channelIndex + 1u);
    out += ',';
    appendDecimal(out, change.cell);
    out += ',';
    appendHex8(out, word);
    out += ',';
    appendOctal3(out, wordLabel(word));
    out += ',';
    out += static_cast<char>('0' + wordSdi(word));
    out += ',';
    out += static_cast<char>('0' + wordSsm(word));
    out += ',';
    out.append(hasOddParity(word) ? kParityOk : kParityError);
    out += ',';
    const std::size_t decimalStart = out.size();
    appendDecimalText(out, word, channelLookup.slots[wordLabel(word)]);
    trimField(out, decimalStart);
    quoteCsvFieldInPlace(out, decimalStart);
    out.append(kCsvRecordEnd);
}

} // namespace reception
