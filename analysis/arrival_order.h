#pragma once

#include "reception/changed_cells.h"

#include "board/records.h"

#include <cstddef>

namespace analysis {

/// Some of a tick's changes, as forEachInArrivalOrder takes them.
struct ChangeRange {
    const reception::CellChange* first;
    const reception::CellChange* last;
    [[nodiscard]] const reception::CellChange* begin() const { return first; }
    [[nodiscard]] const reception::CellChange* end() const { return last; }
};

/// @brief Calls `take` with each change of a tick in the order the words arrived, as far as
/// the cells tell it. In file mode a channel fills its cells in turn and starts again at cell
/// 0, so the cells one tick wrote form one run that may wrap: it begins after the widest gap
/// between changed cells, not at the lowest cell. In address mode each label has its own cell
/// and the order does not matter. Changes come grouped by channel, cells ascending: a
/// ChangedCells, or any range of them with pointer iterators.
template <typename Changes, typename Take>
void forEachInArrivalOrder(const Changes& changes, Take&& take) {
    const reception::CellChange* const end = changes.end();
    for (const reception::CellChange* first = changes.begin(); first != end;) {
        const reception::CellChange* last = first; // one channel's changes: [first, last)
        while (last != end && last->channelIndex == first->channelIndex)
            ++last;
        // The gap before `first` counts from the channel's last changed cell round to it.
        const reception::CellChange* start = first;
        int widestGap = first->cell + board::kInputBufferCells - (last - 1)->cell;
        for (const reception::CellChange* change = first + 1; change != last; ++change) {
            const int gap = change->cell - (change - 1)->cell;
            if (gap > widestGap) {
                widestGap = gap;
                start = change;
            }
        }
        for (const reception::CellChange* change = start; change != last; ++change)
            take(*change);
        for (const reception::CellChange* change = first; change != start; ++change)
            take(*change);
        first = last;
    }
}

} // namespace analysis
