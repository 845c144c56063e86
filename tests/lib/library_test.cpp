#include "library_support.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using library_testing::SimulatedSystem;
using library_testing::testPattern;
using library_testing::waitForFullBuffer;

TEST(Statuses, EveryCodeHasATextOfItsOwnAndTheVersionIsTheHeaders) {
    EXPECT_EQ(zelva1_version(), ZELVA1_VERSION_NUMBER);
    std::set<std::string> texts;
    for (int status = ZELVA1_OK; status >= ZELVA1_ERROR_BUS; --status)
        texts.insert(zelva1_status_text(status));
    texts.insert(zelva1_status_text(-99));
    EXPECT_EQ(texts.size(), 18u);
    EXPECT_STREQ(zelva1_status_text(ZELVA1_ERROR_NO_CHANNEL), "у модуля нет канала с этим номером");
}

TEST(Boards, ListedAsTheMonitorFindsThemAndAnIndexThatFailsGivesTheSystemsError) {
    SimulatedSystem system;
    std::array<zelva1_board_info, 1> one{};
    std::size_t count = 0;
    ASSERT_EQ(zelva1_list(system.get(), one.data(), one.size(), &count), ZELVA1_OK);
    EXPECT_EQ(count, 2u); // more than room for: counted, not written beyond
    std::array<zelva1_board_info, ZELVA1_MAX_BOARDS> boards{};
    ASSERT_EQ(zelva1_list(system.get(), boards.data(), boards.size(), &count), ZELVA1_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(boards[0].interface_index, 0u);
    EXPECT_EQ(boards[0].serial, 1021u);
    EXPECT_EQ(boards[0].inputs, 8);
    EXPECT_EQ(boards[1].interface_index, 2u);
    EXPECT_EQ(boards[1].serial, 1187u);
    EXPECT_EQ(boards[1].outputs, 4);

    zelva1_board* board = nullptr;
    EXPECT_EQ(zelva1_open(system.get(), 1, &board), ZELVA1_ERROR_NO_BOARD);
    EXPECT_EQ(zelva1_system_error(), 31u);
    EXPECT_EQ(zelva1_open(system.get(), 16, &board), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(board, nullptr);
}

TEST(Loopback, TheTestPatternSentCyclicallyComesBackCellForCell) {
    SimulatedSystem system;
    zelva1_board* board = system.openFast(0);
    const std::vector<std::uint32_t> words = testPattern(1);
    ASSERT_EQ(zelva1_start_receive(board, 1, ZELVA1_ADDRESS_MODE), ZELVA1_OK);
    ASSERT_EQ(zelva1_transmit(board, 1, words.data(), words.size(), ZELVA1_CYCLIC), ZELVA1_OK);
    int active = 0;
    EXPECT_EQ(zelva1_is_transmitting(board, 1, &active), ZELVA1_OK);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(zelva1_is_receiving(board, 1, &active), ZELVA1_OK);
    EXPECT_EQ(active, 1);

    const auto cells = waitForFullBuffer(board, 1);
    for (unsigned k = 0; k < ZELVA1_CELLS; ++k)
        ASSERT_EQ(cells[k].word, words[k]) << "cell " << k;
    zelva1_cell one{};
    EXPECT_EQ(zelva1_read_cell(board, 1, 255, &one), ZELVA1_OK);
    EXPECT_EQ(one.word, words[255]);

    // A word changed in the running array reaches its cell.
    ASSERT_EQ(zelva1_write_word(board, 1, 7, 0x12345607u), ZELVA1_OK);
    for (int tries = 0; tries < 250 && one.word != 0x12345607u; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(zelva1_read_cell(board, 1, 7, &one), ZELVA1_OK);
    }
    EXPECT_EQ(one.word, 0x12345607u);

    EXPECT_EQ(zelva1_stop_transmit(board, 1), ZELVA1_OK);
    EXPECT_EQ(zelva1_stop_receive(board, 1), ZELVA1_OK);
    EXPECT_EQ(zelva1_is_transmitting(board, 1, &active), ZELVA1_OK);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(zelva1_reset(board), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Requests, AFailingRequestIsReportedWithTheSystemsErrorAndTheOthersStillWork) {
    SimulatedSystem system("fail 0 IOCTL_SI_READ channel 2\n");
    zelva1_board* board = system.openFast(0);
    ASSERT_EQ(zelva1_start_receive(board, 2, ZELVA1_ADDRESS_MODE), ZELVA1_OK);
    zelva1_cell cell{1, 1};
    EXPECT_EQ(zelva1_read_cell(board, 2, 0, &cell), ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(zelva1_system_error(), 31u);
    EXPECT_EQ(cell.word, 1u); // left as it was
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    EXPECT_EQ(zelva1_read_cells(board, 2, cells.data(), cells.size()), ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(zelva1_read_cell(board, 1, 0, &cell), ZELVA1_OK);
    EXPECT_EQ(zelva1_system_error(), 0u);

    // A board whose every request fails cannot be opened: not even its counts are known.
    SimulatedSystem broken("fail 0 *\n");
    zelva1_board* none = nullptr;
    EXPECT_EQ(zelva1_open(broken.get(), 0, &none), ZELVA1_ERROR_REQUEST);
    std::size_t count = 0;
    EXPECT_EQ(zelva1_list(broken.get(), nullptr, 0, &count), ZELVA1_ERROR_REQUEST);
    zelva1_close(board);
}

TEST(Arguments, OutOfRangeAndNullArgumentsGiveTheirStatusNeverACrash) {
    SimulatedSystem system("board 0 serial 7 inputs 4 outputs 0\n");
    zelva1_board* board = system.openFast(0);
    zelva1_cell cell{};
    std::array<zelva1_cell, ZELVA1_CELLS> cells{};
    std::array<std::uint32_t, ZELVA1_MAX_WORDS + 1> words{};
    std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
    int active = 0;

    EXPECT_EQ(zelva1_start_receive(board, 0, ZELVA1_ADDRESS_MODE), ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_start_receive(board, 9, ZELVA1_ADDRESS_MODE), ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_start_receive(board, 5, ZELVA1_ADDRESS_MODE), ZELVA1_ERROR_NO_CHANNEL);
    EXPECT_EQ(zelva1_start_receive(board, 1, 3), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_read_cell(board, 1, 256, &cell), ZELVA1_ERROR_INDEX);
    EXPECT_EQ(zelva1_read_cell(board, 1, 0, nullptr), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_read_cells(board, 1, cells.data(), 255), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_read_cells(board, 1, nullptr, 256), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_is_receiving(board, 1, nullptr), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_transmit(board, 1, words.data(), 1, ZELVA1_ONCE), ZELVA1_ERROR_NO_CHANNEL);
    EXPECT_EQ(zelva1_transmit(board, 1, words.data(), 257, ZELVA1_ONCE), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_transmit(board, 1, words.data(), 0, ZELVA1_ONCE), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_transmit(board, 1, nullptr, 1, ZELVA1_ONCE), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_write_word(board, 1, 256, 0), ZELVA1_ERROR_INDEX);
    EXPECT_EQ(zelva1_is_transmitting(board, 9, &active), ZELVA1_ERROR_CHANNEL);
    codes[15] = 3;
    EXPECT_EQ(zelva1_initialize(board, codes.data(), codes.size()), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_initialize(board, codes.data(), 15), ZELVA1_ERROR_ARGUMENT);
    EXPECT_EQ(zelva1_initialize(board, nullptr, 16), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_open(system.get(), 0, nullptr), ZELVA1_ERROR_NULL);
    EXPECT_EQ(zelva1_list(system.get(), nullptr, 1, nullptr), ZELVA1_ERROR_NULL);

    // Closed handles, and values that never were handles.
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(board), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_read_cell(board, 1, 0, &cell), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_reset(nullptr), ZELVA1_ERROR_HANDLE);
    auto* madeUp = reinterpret_cast<zelva1_board*>(std::uintptr_t{0x7FFF1234}); // NOLINT
    EXPECT_EQ(zelva1_reset(madeUp), ZELVA1_ERROR_HANDLE);
    // The slot of the closed handle, taken again, does not revive it.
    zelva1_board* next = system.openFast(0);
    EXPECT_EQ(zelva1_reset(board), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_reset(next), ZELVA1_OK);
    EXPECT_EQ(zelva1_close(next), ZELVA1_OK);
}

TEST(Systems, AWrongConfigurationNamesItsLineAndBoardsOutliveTheirClosedSystem) {
    zelva1_system* system = nullptr;
    std::array<char, 64> message{};
    EXPECT_EQ(zelva1_system_open_simulated("board 0 serial 1 inputs 2 outputs 2\nwire 0 x\n",
                                           &system, message.data(), message.size()),
              ZELVA1_ERROR_CONFIG);
    EXPECT_EQ(std::string(message.data()).rfind("line 2: ", 0), 0u) << message.data();
    EXPECT_EQ(system, nullptr);

    ASSERT_EQ(zelva1_system_open_simulated("", &system, nullptr, 0), ZELVA1_OK);
    zelva1_board* board = nullptr;
    ASSERT_EQ(zelva1_open(system, 2, &board), ZELVA1_OK);
    EXPECT_EQ(zelva1_system_close(system), ZELVA1_OK);
    EXPECT_EQ(zelva1_system_close(system), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_reset(board), ZELVA1_OK);
    zelva1_board_info info{};
    EXPECT_EQ(zelva1_board_information(board, &info), ZELVA1_OK);
    EXPECT_EQ(info.serial, 1187u);
    std::size_t count = 0;
    EXPECT_EQ(zelva1_list(system, nullptr, 0, &count), ZELVA1_ERROR_HANDLE);
    EXPECT_EQ(zelva1_close(board), ZELVA1_OK);
}

TEST(Threads, CallsFromManyThreadsWhileAHandleIsClosedGiveOkOrAClosedHandle) {
    SimulatedSystem system;
    zelva1_board* shared = system.openFast(0);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            zelva1_board* own = nullptr;
            if (zelva1_open(system.get(), 0, &own) != ZELVA1_OK)
                ++wrong;
            const unsigned channel = t + 1;
            std::array<zelva1_cell, ZELVA1_CELLS> cells{};
            for (int round = 0; round < 200; ++round) {
                if (zelva1_start_receive(own, channel, ZELVA1_FILE_MODE) != ZELVA1_OK ||
                    zelva1_read_cells(own, channel, cells.data(), cells.size()) != ZELVA1_OK ||
                    zelva1_stop_receive(own, channel) != ZELVA1_OK)
                    ++wrong;
                int active = 0;
                const int onShared = zelva1_is_receiving(shared, channel, &active);
                if (onShared != ZELVA1_OK && onShared != ZELVA1_ERROR_HANDLE)
                    ++wrong;
            }
            zelva1_close(own);
        });
    threads.emplace_back([&] { zelva1_close(shared); });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(Decoding, FieldsAlwaysAndTheValueThroughTheMonitorsFormatFiles) {
    zelva1_decoded decoded{};
    // Label 203, SDI 2, SSM 3, bit 28 set: seven bits set, so odd parity.
    const std::uint32_t word = 0x60000000u | (1u << 27) | (2u << 8) | 0203u;
    ASSERT_EQ(zelva1_decode(nullptr, 0, word, &decoded), ZELVA1_OK);
    EXPECT_EQ(decoded.label, 0203u);
    EXPECT_EQ(decoded.sdi, 2u);
    EXPECT_EQ(decoded.ssm, 3u);
    EXPECT_EQ(decoded.parity_ok, 1u);
    ASSERT_EQ(zelva1_decode(nullptr, 0, word ^ 1u << 31, &decoded), ZELVA1_OK);
    EXPECT_EQ(decoded.parity_ok, 0u);
    ASSERT_EQ(zelva1_decode(nullptr, 0, word, &decoded), ZELVA1_OK);
    EXPECT_EQ(decoded.has_value, 0u);
    EXPECT_STREQ(decoded.text, "");

    zelva1_formats* formats = nullptr;
    ASSERT_EQ(zelva1_formats_open(ZELVA_EXAMPLES_DIR "/KST3frmt.stt",
                                  ZELVA_EXAMPLES_DIR "/builtin-traffic.si", &formats),
              ZELVA1_OK);
    const std::uint32_t altitude = (1u << 27) | 0203u; // bit 28 alone: 65536 ft
    ASSERT_EQ(zelva1_decode(formats, 5, altitude, &decoded), ZELVA1_OK);
    EXPECT_EQ(decoded.has_value, 1u);
    EXPECT_DOUBLE_EQ(decoded.value, 65536.0);
    EXPECT_NE(std::string(decoded.text).find("фут"), std::string::npos) << decoded.text;
    ASSERT_EQ(zelva1_decode(formats, 1, altitude, &decoded), ZELVA1_OK); // no assignment there
    EXPECT_EQ(decoded.has_value, 0u);
    EXPECT_EQ(zelva1_decode(formats, 9, altitude, &decoded), ZELVA1_ERROR_CHANNEL);
    EXPECT_EQ(zelva1_formats_close(formats), ZELVA1_OK);
    EXPECT_EQ(zelva1_decode(formats, 5, altitude, &decoded), ZELVA1_ERROR_HANDLE);

    EXPECT_EQ(zelva1_formats_open(ZELVA_EXAMPLES_DIR "/missing.stt", nullptr, &formats),
              ZELVA1_ERROR_FILE);
    EXPECT_EQ(zelva1_formats_open(ZELVA_EXAMPLES_DIR "/KST3frmt.stt", "missing.si", &formats),
              ZELVA1_ERROR_FILE);
}

} // namespace
