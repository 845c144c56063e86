#pragma once

#include "board/records.h"

#include <array>
#include <cstdint>

namespace board::simulated {

/// @brief One input channel's receive buffer as the board fills it.
///
/// Address mode files a word in the cell of its label (bits 1-8), replacing the one there;
/// file mode stores words in arrival order in cells 0..255 and wraps to 0. A cell never
/// written since the start request reads 0.
class SimReceiver {
public:
    enum class Mode : std::uint8_t { Stopped, Address, File };

    /// Clears all cells and starts in the given mode; the file position goes back to 0.
    void start(Mode mode);
    void stop() { mode_ = Mode::Stopped; }
    /// Back to the state after power-up: stopped and empty.
    void reset();

    [[nodiscard]] bool receiving() const { return mode_ != Mode::Stopped; }

    void store(std::uint32_t word) {
        if (mode_ == Mode::Address)
            cells_[word & 0xFFu] = word;
        else
            cells_[nextFileCell_++ & 0xFFu] = word;
    }

    /// Words that arrived but were overwritten before anyone could read them: in file mode
    /// they still move the position on.
    void skip(std::uint64_t words) {
        if (mode_ == Mode::File)
            nextFileCell_ += static_cast<std::uint32_t>(words & 0xFFu);
    }

    [[nodiscard]] std::uint32_t cell(std::size_t index) const { return cells_[index]; }

private:
    Mode mode_ = Mode::Stopped;
    std::uint32_t nextFileCell_ = 0;
    std::array<std::uint32_t, kInputBufferCells> cells_{};
};

} // namespace board::simulated
