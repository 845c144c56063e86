// The label database file: any bytes load or are refused with a line, a column and why; a
// database that loads holds rows the checks can use, finds every word's row among its own
// label's rows, and decodes any word into UTF-8 text.

#include "fuzz_support.h"

#include "board/records.h"
#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"

#include <algorithm>
#include <string_view>

namespace {

// Lines as the reader counts them: CR LF, LF and CR alone each end one.
std::size_t lineCount(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t at = 0; at < text.size(); ++at)
        lines += text[at] == '\n' ||
                 (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'));
    return lines;
}

void checkRow(const labels::LabelDefinition& row) {
    FUZZ_CHECK(!row.name.empty() && fuzz_support::isUtf8(row.name) &&
               fuzz_support::isUtf8(row.units));
    FUZZ_CHECK(!row.sdi || *row.sdi <= 3);
    FUZZ_CHECK(!row.channelNo || (*row.channelNo >= 1 && *row.channelNo <= board::kMaxChannels));
    switch (row.encoding) {
    case labels::LabelEncoding::Bnr:
        FUZZ_CHECK(row.significantBits >= 1 && row.significantBits <= (row.sdi ? 18 : 20));
        FUZZ_CHECK(row.resolution > 0.0);
        break;
    case labels::LabelEncoding::Bcd:
        FUZZ_CHECK(row.significantBits >= 1 && row.significantBits <= 5);
        FUZZ_CHECK(row.resolution > 0.0);
        break;
    case labels::LabelEncoding::Disc:
        FUZZ_CHECK(!row.discretes.empty() && !row.least && !row.greatest);
        for (const labels::DiscreteBit& bit : row.discretes)
            FUZZ_CHECK(bit.bit >= (row.sdi ? 11 : 9) && bit.bit <= 29 && !bit.name.empty());
        break;
    }
    FUZZ_CHECK(!row.least || !row.greatest || *row.least <= *row.greatest);
    FUZZ_CHECK(!row.leastIntervalMs || *row.leastIntervalMs > 0.0);
}

void checkDatabase(const labels::LabelDatabase& database, std::span<const std::uint8_t> data) {
    for (const labels::LabelDefinition& row : database.rows())
        checkRow(row);
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel) {
        for (const labels::LabelKey& key : database.expectedOn(channel)) {
            const labels::LabelDefinition* row = database.find(key);
            FUZZ_CHECK(row != nullptr && row->label == key.label);
        }
        for (std::size_t at = 0; at < 64; ++at) {
            const std::uint32_t word = fuzz_support::wordAt(data, at * 4) ^ channel;
            const labels::LabelDefinition* row = database.find(channel, word);
            if (row == nullptr)
                continue;
            FUZZ_CHECK(row->label == (word & 0xFFu));
            // The row a word's key names is the row that decodes it.
            FUZZ_CHECK(database.find(database.keyOf(channel, word)) == row);
            FUZZ_CHECK(fuzz_support::isUtf8(labels::engineeringText(word, *row)));
            FUZZ_CHECK(fuzz_support::isUtf8(labels::recordedText(word, *row)));
            (void)labels::isOutOfRange(word, *row);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const labels::LabelDatabaseLoad load = labels::parseLabelDatabase(text);
    if (!load.ok()) {
        FUZZ_CHECK(load.error.line >= 1 &&
                   static_cast<std::size_t>(load.error.line) <= lineCount(text));
        FUZZ_CHECK(!load.error.why.empty());
        FUZZ_CHECK(fuzz_support::isUtf8(labels::labelDatabaseErrorMessage("f.csv", load.error)));
        return 0;
    }
    checkDatabase(*load.database, {bytes, size});
    return 0;
}
