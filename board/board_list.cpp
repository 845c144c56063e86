#include "board_list.h"

#include "control_codes.h"
#include "requests.h"
#include "util/printf_text.h"

namespace board {

void buildBoardList(Driver& driver, SharedState& state) {
    state.BoardCount = 0;
    for (unsigned index = 0; index <= kMaxInterfaceIndex && state.BoardCount < kMaxBoards;
         ++index) {
        const OpenResult opened = driver.open(index);
        if (!opened.valid())
            continue;
        BoardEntry& entry = state.BoardTable[state.BoardCount];
        entry.handle = opened.handle;
        entry.ordinal = index;
        SerialReply reply;
        sendRequestWithoutInput(driver, entry.handle, IOCTL_GET_SERIAL_NUMBER, reply);
        entry.serial = reply.serial;
        ++state.BoardCount;
    }
}

std::string boardListItemText(std::uint32_t serial, std::uint32_t ordinal) {
    return util::printfText("%18d %25d", static_cast<int>(serial), static_cast<int>(ordinal));
}

std::string deviceStatusText(std::uint32_t serial, std::uint32_t ordinal) {
    return util::printfText("ZELVA-1: серийный № %d; порядковый № %d", static_cast<int>(serial),
                            static_cast<int>(ordinal));
}

} // namespace board
