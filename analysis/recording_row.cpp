#include "analysis/recording_row.h"

#include "labels/standard_decoding.h"
#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "util/csv_text.h"
#include "util/trimmed.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace analysis {
namespace {

// Rows are written thousands at a time each tick, so each is put together in a buffer of its
// own, digit by digit rather than through printf, and appended whole.
class RowText {
public:
    void put(char c) { *at_++ = c; }
    void put(std::string_view text) { at_ = std::copy(text.begin(), text.end(), at_); }
    void putDecimal(unsigned value) { at_ = std::to_chars(at_, end(), value).ptr; }
    void putHex8(std::uint32_t word) {
        constexpr std::string_view kDigits = "0123456789abcdef";
        for (int shift = 28; shift >= 0; shift -= 4)
            put(kDigits[(word >> shift) & 0xFu]);
    }
    void putOctal3(unsigned label) {
        for (int shift = 6; shift >= 0; shift -= 3)
            put(static_cast<char>('0' + ((label >> shift) & 7u)));
    }
    void putField(std::string_view text) { at_ = util::writeCsvField(at_, text); }

    [[nodiscard]] std::string_view text() const {
        return {bytes_.data(), static_cast<std::size_t>(at_ - bytes_.data())};
    }

private:
    [[nodiscard]] char* end() { return bytes_.data() + bytes_.size(); }

    // The fields after the tick's, the decimal text quoted at its longest included.
    std::array<char, 64 + util::csvFieldCapacity(reception::kDecimalTextCapacity)> bytes_;
    char* at_ = bytes_.data();
};

// The decimal column's text without the blanks that align it in the grid; a label without a
// format gives an empty text.
[[nodiscard]] std::string_view trimmed(std::string_view text) { return util::trimmed(text, " "); }

} // namespace

void appendTickFields(std::string& out, const RecordingTickStamp& stamp) {
    const LocalDateTime& t = stamp.time;
    std::array<char, 64> text{};
    const int length = std::snprintf(text.data(), text.size(),
                                     "%04d-%02d-%02d %02d:%02d:%02d.%03d,%llu,%lu,", t.year,
                                     t.month, t.day, t.hour, t.minute, t.second, t.millisecond,
                                     static_cast<unsigned long long>(stamp.msSinceStart),
                                     static_cast<unsigned long>(stamp.tick));
    if (length > 0)
        out.append(text.data(), std::min(static_cast<std::size_t>(length), text.size() - 1));
}

void appendRecordingRow(std::string& out, std::string_view tickFields,
                        const reception::CellChange& change,
                        const reception::ChannelFormatLookup& channelLookup,
                        const labels::LabelDatabase* database) {
    const std::uint32_t word = change.word;
    RowText row;
    row.putDecimal(change.channelIndex + 1u);
    row.put(',');
    row.putDecimal(change.cell);
    row.put(',');
    row.putHex8(word);
    row.put(',');
    row.putOctal3(labels::wordLabel(word));
    row.put(',');
    row.put(static_cast<char>('0' + labels::wordSdi(word)));
    row.put(',');
    row.put(static_cast<char>('0' + labels::wordSsm(word)));
    row.put(',');
    row.put(labels::hasOddParity(word) ? kParityOk : kParityError);
    row.put(',');
    std::array<char, reception::kDecimalTextCapacity> decimal;
    const std::size_t length =
        reception::writeDecimalText(decimal, word, channelLookup.slots[labels::wordLabel(word)]);
    row.putField(trimmed({decimal.data(), length}));
    row.put(',');

    out.append(tickFields);
    out.append(row.text());
    const labels::LabelDefinition* definition =
        database != nullptr ? database->find(change.channelIndex, word) : nullptr;
    if (definition != nullptr) {
        util::appendCsvField(out, definition->name);
        out.push_back(',');
        util::appendCsvField(out, labels::recordedText(word, *definition));
    } else {
        out.push_back(',');
    }
    out.append(util::kCsvRecordEnd);
}

} // namespace analysis
