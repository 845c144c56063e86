#pragma once

#include "zelva1.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

/// The monitor's test pattern for output channel `channelNo`, all 256 words.
[[nodiscard]] std::vector<std::uint32_t> testPattern(unsigned channelNo);

} // namespace cli
