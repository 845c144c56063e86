#include "labels/label_database.h"

#include "labels/word_fields.h"

namespace labels {
namespace {

// Higher is more specific: own channel counts before own SDI.
[[nodiscard]] int specificity(const LabelDefinition& row) {
    return (row.channelNo ? 2 : 0) + (row.sdi ? 1 : 0);
}

} // namespace

LabelDatabase::LabelDatabase(std::vector<LabelDefinition> rows)
    : rows_(std::move(rows)),
      entries_(static_cast<std::size_t>(board::kMaxChannels) * board::kInputBufferCells) {
    std::array<std::vector<const LabelDefinition*>, board::kInputBufferCells> byLabel;
    for (const LabelDefinition& row : rows_)
        byLabel[row.label].push_back(&row);
    for (unsigned channel = 0; channel < board::kMaxChannels; ++channel)
        for (unsigned label = 0; label < board::kInputBufferCells; ++label)
            resolve(channel, label, byLabel[label]);
}

void LabelDatabase::resolve(unsigned channelIndex, unsigned label,
                            std::span<const LabelDefinition* const> labelRows) {
    Entry& found = entries_[channelIndex * board::kInputBufferCells + label];
    std::array<int, 4> best{-1, -1, -1, -1};
    for (const LabelDefinition* row : labelRows) {
        if (row->channelNo && *row->channelNo != channelIndex + 1)
            continue;
        for (unsigned sdi = 0; sdi < 4; ++sdi) {
            if (row->sdi && *row->sdi != sdi)
                continue;
            if (specificity(*row) > best[sdi]) {
                best[sdi] = specificity(*row);
                found.bySdi[sdi] = row;
            }
        }
    }
    // Each row that decodes some SDI is one key; at most one row for any SDI wins on a
    // channel, since a channel's own row for any SDI beats every row for any channel.
    std::vector<LabelKey>& expected = expected_[channelIndex];
    const auto labelByte = static_cast<std::uint8_t>(label);
    const auto channelByte = static_cast<std::uint8_t>(channelIndex);
    for (unsigned sdi = 0; sdi < 4; ++sdi) {
        const LabelDefinition* row = found.bySdi[sdi];
        if (row == nullptr)
            continue;
        if (row->sdi) {
            found.keySdi[sdi] = static_cast<std::int8_t>(sdi);
            expected.push_back({channelByte, labelByte, static_cast<std::int8_t>(sdi)});
        } else if (found.anySdiRow == nullptr) {
            found.anySdiRow = row;
            expected.push_back({channelByte, labelByte, -1});
        }
    }
}

const LabelDefinition* LabelDatabase::find(unsigned channelIndex, std::uint32_t word) const {
    return entry(channelIndex, wordLabel(word)).bySdi[wordSdi(word)];
}

const LabelDefinition* LabelDatabase::find(const LabelKey& key) const {
    const Entry& found = entry(key.channelIndex, key.label);
    return key.sdi < 0 ? found.anySdiRow : found.bySdi[static_cast<unsigned>(key.sdi) & 3u];
}

LabelKey LabelDatabase::keyOf(unsigned channelIndex, std::uint32_t word) const {
    const unsigned label = wordLabel(word);
    return {static_cast<std::uint8_t>(channelIndex % board::kMaxChannels),
            static_cast<std::uint8_t>(label), keySdi(channelIndex, label, wordSdi(word))};
}

} // namespace labels
