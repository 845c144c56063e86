#pragma once

#include "labels/label_definition.h"

#include "board/records.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace labels {

/// Where a received word finds its definition: the row for its (channel, label, SDI).
struct LabelKey {
    std::uint8_t channelIndex = 0; // 0-based input channel
    std::uint8_t label = 0;
    std::int8_t sdi = -1; // -1 when the label's rows on this channel take any SDI
};

/// @brief The rows of a label database, looked up by channel, label and SDI in constant time.
///
/// A word takes the most specific row: its own channel before any channel, and on that level
/// its own SDI before any SDI. Words are kept apart by the row that decodes them: those a row
/// naming an SDI decodes count for that SDI, those a row for any SDI decodes count together
/// (key SDI -1). Each row that decodes some word on a channel is expected there once.
class LabelDatabase {
public:
    /// The rows must not repeat a (label, SDI, channel); the loader makes sure of it.
    explicit LabelDatabase(std::vector<LabelDefinition> rows);
    // The lookup points into the rows: a copy would point into the original's.
    LabelDatabase(const LabelDatabase&) = delete;
    LabelDatabase& operator=(const LabelDatabase&) = delete;
    LabelDatabase(LabelDatabase&&) = default;
    LabelDatabase& operator=(LabelDatabase&&) = default;
    ~LabelDatabase() = default;

    [[nodiscard]] const std::vector<LabelDefinition>& rows() const { return rows_; }

    /// Whether some words of the label on the channel count per SDI.
    [[nodiscard]] bool keyedBySdi(unsigned channelIndex, unsigned label) const {
        const Entry& found = entry(channelIndex, label);
        return std::any_of(found.keySdi.begin(), found.keySdi.end(),
                           [](std::int8_t sdi) { return sdi >= 0; });
    }
    /// The SDI of the key of a word with `sdi` (-1 when its row takes any SDI).
    [[nodiscard]] std::int8_t keySdi(unsigned channelIndex, unsigned label, unsigned sdi) const {
        return entry(channelIndex, label).keySdi[sdi & 3u];
    }
    /// The row of a word on a channel, or null when the database has none.
    [[nodiscard]] const LabelDefinition* find(unsigned channelIndex, std::uint32_t word) const;
    /// The row of a key (SDI -1: the row for any SDI that decodes some of the label's words).
    [[nodiscard]] const LabelDefinition* find(const LabelKey& key) const;
    /// The key of a word on a channel.
    [[nodiscard]] LabelKey keyOf(unsigned channelIndex, std::uint32_t word) const;
    /// Keys the database expects on a channel: per SDI where the label is told apart by SDI.
    [[nodiscard]] const std::vector<LabelKey>& expectedOn(unsigned channelIndex) const {
        return expected_[channelIndex % board::kMaxChannels];
    }

private:
    struct Entry {
        std::array<const LabelDefinition*, 4> bySdi{};
        std::array<std::int8_t, 4> keySdi{-1, -1, -1, -1};
        const LabelDefinition* anySdiRow = nullptr; // the row of key SDI -1, if one decodes
    };
    [[nodiscard]] const Entry& entry(unsigned channelIndex, unsigned label) const {
        return entries_[(channelIndex % board::kMaxChannels) * board::kInputBufferCells +
                        (label & 0xFFu)];
    }
    void resolve(unsigned channelIndex, unsigned label,
                 std::span<const LabelDefinition* const> labelRows);

    std::vector<LabelDefinition> rows_;
    std::vector<Entry> entries_;
    std::array<std::vector<LabelKey>, board::kMaxChannels> expected_;
};

} // namespace labels
