#pragma once

#include "board/records.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace reception {

/// One cell whose stored word changed during a tick's reads.
struct CellChange {
    std::uint8_t channelIndex = 0; // 0-based input channel
    std::uint8_t cell = 0;         // 0..255
    std::uint32_t word = 0;        // the word the cell holds now
};

/// @brief The cells that a tick's reads changed, in read order (channel, then cell). Fixed
/// capacity for every cell of every channel, so filling it never allocates.
class ChangedCells {
public:
    static constexpr std::size_t kCapacity =
        static_cast<std::size_t>(board::kMaxChannels) * board::kInputBufferCells;

    void clear() { count_ = 0; }
    void add(const CellChange& change) {
        if (count_ < kCapacity)
            items_[count_++] = change;
    }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] bool empty() const { return count_ == 0; }
    [[nodiscard]] const CellChange* begin() const { return items_.data(); }
    [[nodiscard]] const CellChange* end() const { return items_.data() + count_; }

private:
    std::array<CellChange, kCapacity> items_{};
    std::size_t count_ = 0;
};

} // namespace reception
