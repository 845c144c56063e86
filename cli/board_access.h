#pragma once

#include "zelva1.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace cli {

/// A library call that failed: what was being done and the library's text for its status.
class CommandFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// @brief Throws CommandFailure "<what>: <status text>" for any status but ZELVA1_OK, with
/// the system's error code where there is one.
void check(int status, const std::string& what);

/// What every board command is told: which board, at which rates, and whether to initialise.
struct BoardChoice {
    unsigned interfaceIndex = 0;
    unsigned rateCode = 0;
    bool initialize = true;
};

/// @brief An open board of the default system, closed when it goes; initialised with every
/// channel at the chosen rate unless told not to.
class OpenBoard {
public:
    explicit OpenBoard(const BoardChoice& choice);
    ~OpenBoard();
    OpenBoard(const OpenBoard&) = delete;
    OpenBoard& operator=(const OpenBoard&) = delete;

    [[nodiscard]] zelva1_board* get() const { return board_; }

private:
    zelva1_board* board_ = nullptr;
};

/// Test word for index k on output channel n, as the monitor's test pattern has it.
[[nodiscard]] constexpr std::uint32_t testPatternWord(unsigned channelNo, unsigned index) {
    const std::uint32_t k = index & 0xFFu;
    const std::uint32_t n = channelNo & 0xFFu;
    return k | (n << 8) | ((0xFFu - k) << 16) | ((0xFFu - n) << 24);
}

} // namespace cli
