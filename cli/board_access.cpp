#include "board_access.h"

#include "transmission/output_array.h"

namespace cli {

void check(int status, const std::string& what) {
    if (status == ZELVA1_OK)
        return;
    std::string text = what + ": " + zelva1_status_text(status);
    if (const std::uint32_t error = zelva1_system_error(); error != 0)
        text += " (системная ошибка " + std::to_string(error) + ")";
    throw CommandFailure(text);
}

OpenBoard::OpenBoard(const BoardChoice& choice) {
    check(zelva1_open(nullptr, choice.interfaceIndex, &board_),
          "модуль " + std::to_string(choice.interfaceIndex));
    if (!choice.initialize)
        return;
    std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
    codes.fill(static_cast<std::uint8_t>(choice.rateCode));
    try {
        check(zelva1_initialize(board_, codes.data(), codes.size()), "инициализация");
    } catch (...) {
        zelva1_close(board_);
        throw;
    }
}

OpenBoard::~OpenBoard() { zelva1_close(board_); }

std::vector<std::uint32_t> testPattern(unsigned channelNo) {
    std::vector<std::uint32_t> words;
    for (unsigned k = 0; k < ZELVA1_MAX_WORDS; ++k)
        words.push_back(transmission::testPatternWord(static_cast<std::uint16_t>(channelNo), k));
    return words;
}

} // namespace cli
