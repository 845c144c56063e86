// zelva1.dll through its C interface only, and the zelva1 tool over it, on the driver back-end
// chosen as a user's settings choose it (zelva1-monitor.ini beside the program naming the
// interface class, nothing else set): through the system's real device path under Wine to the
// boards of boards.conf, which scripts/wine-checks.sh installed.

#include "tests/lib/library_support.h"
#include "tests/wine_driver/test_interface_class.h"
#include "wine_tools.h"
#include "zelva1.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Every channel at 100 kbit/s.
constexpr std::array<std::uint8_t, ZELVA1_RATE_CODES> kRates{2, 2, 2, 2, 2, 2, 2, 2,
                                                             2, 2, 2, 2, 2, 2, 2, 2};

// boards.conf fails file reception on this input of board 0, and only that.
constexpr unsigned kFailingFileInput = 3;

class LibraryOnDriver : public ::testing::Test {
protected:
    // Before the library's first call, which makes its default system from the settings.
    static void SetUpTestSuite() {
        std::ofstream(wine_driver::windowsPath(ZELVA1_TEST_PROGRAM_FOLDER "/zelva1-monitor.ini"))
            << "interface-class = " << wine_driver::kTestInterfaceClassText << "\n";
    }
};

TEST_F(LibraryOnDriver, ListsTheInstalledBoardsInInterfaceOrder) {
    std::array<zelva1_board_info, ZELVA1_MAX_BOARDS> boards{};
    std::size_t count = 0;
    ASSERT_EQ(zelva1_list(nullptr, boards.data(), boards.size(), &count), ZELVA1_OK);
    ASSERT_EQ(count, 2u);
    // The built-in simulated boards would sit at indices 0 and 2.
    EXPECT_EQ(boards[0].interface_index, 0u);
    EXPECT_EQ(boards[0].serial, 1021u);
    EXPECT_EQ(boards[0].inputs, 8);
    EXPECT_EQ(boards[0].outputs, 8);
    EXPECT_EQ(boards[1].interface_index, 1u);
    EXPECT_EQ(boards[1].serial, 1187u);
    EXPECT_EQ(boards[1].inputs, 4);
    EXPECT_EQ(boards[1].outputs, 4);
}

TEST_F(LibraryOnDriver, TheTestPatternSentCyclicallyComesBackOnTheInputWiredToIt) {
    zelva1_board* board = nullptr;
    ASSERT_EQ(zelva1_open(nullptr, 0, &board), ZELVA1_OK);
    const std::vector<std::uint32_t> words = library_testing::testPattern(1);
    ASSERT_EQ(zelva1_initialize(board, kRates.data(), kRates.size()), ZELVA1_OK);
    ASSERT_EQ(zelva1_start_receive(board, 1, ZELVA1_ADDRESS_MODE), ZELVA1_OK);
    ASSERT_EQ(zelva1_transmit(board, 1, words.data(), words.size(), ZELVA1_CYCLIC), ZELVA1_OK);

    const std::array<zelva1_cell, ZELVA1_CELLS> cells =
        library_testing::waitForFullBuffer(board, 1);
    unsigned matching = 0;
    for (unsigned k = 0; k < ZELVA1_CELLS; ++k)
        matching += cells[k].word == words[k] ? 1u : 0u;
    EXPECT_EQ(matching, unsigned{ZELVA1_CELLS});

    EXPECT_EQ(zelva1_stop_transmit(board, 1), ZELVA1_OK);
    EXPECT_EQ(zelva1_stop_receive(board, 1), ZELVA1_OK);
    std::array<int, 2> active{-1, -1};
    EXPECT_EQ(zelva1_is_transmitting(board, 1, &active[0]), ZELVA1_OK);
    EXPECT_EQ(zelva1_is_receiving(board, 1, &active[1]), ZELVA1_OK);
    EXPECT_EQ(active, (std::array{0, 0})) << "both stopped";
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST_F(LibraryOnDriver, FailuresComeWithTheirStatusAndTheSystemsError) {
    zelva1_board* board = nullptr;
    EXPECT_EQ(zelva1_open(nullptr, 2, &board), ZELVA1_ERROR_NO_BOARD);
    EXPECT_EQ(zelva1_system_error(), 259u) << "ERROR_NO_MORE_ITEMS: no third interface";

    ASSERT_EQ(zelva1_open(nullptr, 1, &board), ZELVA1_OK);
    EXPECT_EQ(zelva1_start_receive(board, 5, ZELVA1_ADDRESS_MODE), ZELVA1_ERROR_NO_CHANNEL)
        << "board 1 has four inputs";
    EXPECT_EQ(zelva1_system_error(), 0u) << "refused by the library, nothing asked of the system";
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);

    // Initialised, else the board would refuse reception whatever the rule.
    ASSERT_EQ(zelva1_open(nullptr, 0, &board), ZELVA1_OK);
    ASSERT_EQ(zelva1_initialize(board, kRates.data(), kRates.size()), ZELVA1_OK);
    EXPECT_EQ(zelva1_start_receive(board, kFailingFileInput, ZELVA1_FILE_MODE),
              ZELVA1_ERROR_REQUEST);
    // The driver completes the request with STATUS_INVALID_DEVICE_REQUEST.
    EXPECT_EQ(zelva1_system_error(), 1u) << "ERROR_INVALID_FUNCTION";
    EXPECT_EQ(zelva1_start_receive(board, kFailingFileInput, ZELVA1_ADDRESS_MODE), ZELVA1_OK);
    EXPECT_EQ(zelva1_reset(board), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

// The tool's copy beside this program reads the same settings file.
TEST_F(LibraryOnDriver, TheToolListsTheBoardsLoopsThePatternBackAndReportsAFailure) {
    std::string output;
    ASSERT_EQ(wine_driver::runToolWithOutput(ZELVA1_TEST_TOOL, {"list"}, output), 0) << output;
    EXPECT_NE(output.find("0\t1021\t8\t8"), std::string::npos) << output;
    EXPECT_NE(output.find("1\t1187\t4\t4"), std::string::npos) << output;

    EXPECT_EQ(wine_driver::runToolWithOutput(
                  ZELVA1_TEST_TOOL,
                  {"loopback", "--board", "1", "--rate", "2", "--output", "2", "--input", "2"},
                  output),
              0)
        << output;
    EXPECT_NE(output.find("совпало 256 из 256"), std::string::npos) << output;

    EXPECT_EQ(wine_driver::runToolWithOutput(ZELVA1_TEST_TOOL,
                                             {"receive", "--input", "3", "--mode", "file"}, output),
              1)
        << output;
    EXPECT_NE(output.find("(системная ошибка 1)"), std::string::npos) << output;
}

} // namespace
