// A probe of the whole C interface as a script writer would meet it: every function the header
// declares, given every wrong kind of handle, NULLs and values just outside their range, must
// answer with its documented status, leave its outputs as they were and leave no system error
// of an earlier call behind. A function added to the header without an entry here fails the
// probe, so that the promise is checked for it too.

#include "library_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kFormatFile = ZELVA_EXAMPLES_DIR "/KST3frmt.stt";
constexpr const char* kDatabaseFile = ZELVA_EXAMPLES_DIR "/label-database.csv";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum class Kind { system, board, formats, database, task, replay };
constexpr std::array kKinds{Kind::system,   Kind::board, Kind::formats,
                            Kind::database, Kind::task,  Kind::replay};

/// A recording as the monitor writes it: labels 203 and 206 on input 1, every 10 ms for 50 ms.
std::string writeRecording() {
    std::string text = "дата и время,мс от начала записи,№ цикла,входной канал,ячейка,слово,"
                       "метка,SDI,SSM,четность,десятичное значение\r\n";
    for (unsigned tick = 0; tick < 5; ++tick)
        for (const char* word : {"60000083,203", "60010086,206"})
            text += "2026-01-01 00:00:00.000," + std::to_string(tick * 10) + "," +
                    std::to_string(tick) + ",1,0," + word + ",0,3,норма,\r\n";
    // Named after the test: each test is a process of its own when they run side by side.
    const std::string path = ::testing::TempDir() + "zelva1-probe-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".csv";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

template <typename Handle>
Handle* as(std::uintptr_t value) {
    return reinterpret_cast<Handle*>(value); // NOLINT(performance-no-int-to-ptr)
}

template <typename Handle>
std::uintptr_t number(Handle* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

/// One handle of every kind open, and one of every kind closed, on a system whose board 0 fails
/// the reads of input 2 (for a system error to be left behind).
class Handles {
public:
    Handles() {
        zelva1_system* system = nullptr;
        EXPECT_EQ(
            zelva1_system_open_simulated("fail 0 IOCTL_SI_READ channel 2\n", &system, nullptr, 0),
            ZELVA1_OK);
        open_[Kind::system] = number(system);
        zelva1_board* board = nullptr;
        EXPECT_EQ(zelva1_open(system, 0, &board), ZELVA1_OK);
        open_[Kind::board] = number(board);
        const std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
        EXPECT_EQ(zelva1_initialize(board, codes.data(), codes.size()), ZELVA1_OK);
        zelva1_formats* formats = nullptr;
        EXPECT_EQ(zelva1_formats_open(kFormatFile, nullptr, &formats), ZELVA1_OK);
        open_[Kind::formats] = number(formats);
        zelva1_database* database = nullptr;
        EXPECT_EQ(zelva1_database_open(kDatabaseFile, &database, nullptr, 0), ZELVA1_OK);
        open_[Kind::database] = number(database);
        open_[Kind::task] = number(startTask(board));
        zelva1_replay* replay = nullptr;
        EXPECT_EQ(zelva1_replay_open(recording_.c_str(), &replay, nullptr, 0), ZELVA1_OK);
        open_[Kind::replay] = number(replay);

        // The closed ones, each closed before its slot is taken again by the open one above.
        zelva1_system* closedSystem = nullptr;
        EXPECT_EQ(zelva1_system_open_simulated("", &closedSystem, nullptr, 0), ZELVA1_OK);
        zelva1_board* closedBoard = nullptr;
        EXPECT_EQ(zelva1_open(closedSystem, 0, &closedBoard), ZELVA1_OK);
        EXPECT_EQ(zelva1_initialize(closedBoard, codes.data(), codes.size()), ZELVA1_OK);
        zelva1_task* closedTask = startTask(closedBoard);
        EXPECT_EQ(zelva1_task_stop(closedTask), ZELVA1_OK);
        EXPECT_EQ(zelva1_close(closedBoard), ZELVA1_OK);
        EXPECT_EQ(zelva1_system_close(closedSystem), ZELVA1_OK);
        zelva1_formats* closedFormats = nullptr;
        EXPECT_EQ(zelva1_formats_open(kFormatFile, nullptr, &closedFormats), ZELVA1_OK);
        EXPECT_EQ(zelva1_formats_close(closedFormats), ZELVA1_OK);
        zelva1_database* closedDatabase = nullptr;
        EXPECT_EQ(zelva1_database_open(kDatabaseFile, &closedDatabase, nullptr, 0), ZELVA1_OK);
        EXPECT_EQ(zelva1_database_close(closedDatabase), ZELVA1_OK);
        zelva1_replay* closedReplay = nullptr;
        EXPECT_EQ(zelva1_replay_open(recording_.c_str(), &closedReplay, nullptr, 0), ZELVA1_OK);
        EXPECT_EQ(zelva1_replay_close(closedReplay), ZELVA1_OK);
        closed_ = {{Kind::system, number(closedSystem)},   {Kind::board, number(closedBoard)},
                   {Kind::formats, number(closedFormats)}, {Kind::database, number(closedDatabase)},
                   {Kind::task, number(closedTask)},       {Kind::replay, number(closedReplay)}};
    }
    ~Handles() {
        zelva1_replay_close(replay());
        std::remove(recording_.c_str());
        zelva1_task_stop(task());
        zelva1_close(board());
        zelva1_formats_close(as<zelva1_formats>(open_[Kind::formats]));
        zelva1_database_close(database());
        zelva1_system_close(system());
    }
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;

    [[nodiscard]] zelva1_system* system() const {
        return as<zelva1_system>(open_.at(Kind::system));
    }
    [[nodiscard]] zelva1_board* board() const { return as<zelva1_board>(open_.at(Kind::board)); }
    [[nodiscard]] zelva1_formats* formats() const {
        return as<zelva1_formats>(open_.at(Kind::formats));
    }
    [[nodiscard]] zelva1_database* database() const {
        return as<zelva1_database>(open_.at(Kind::database));
    }
    [[nodiscard]] zelva1_task* task() const { return as<zelva1_task>(open_.at(Kind::task)); }
    [[nodiscard]] zelva1_replay* replay() const {
        return as<zelva1_replay>(open_.at(Kind::replay));
    }

    /// Every value that is no open handle of `kind`: a closed one, made-up ones, the open
    /// handles of every other kind and, unless NULL means a default there, 0.
    [[nodiscard]] std::vector<std::pair<std::string, std::uintptr_t>> wrongFor(
        Kind kind, bool nullIsDefault = false) const {
        std::vector<std::pair<std::string, std::uintptr_t>> wrong{
            {"closed", closed_.at(kind)},
            {"made up", 0x7FFF1234u},
            {"all ones", ~std::uintptr_t{0}},
            {"open handle with the closed one's slot and next generation", nextGeneration(kind)},
        };
        if (!nullIsDefault)
            wrong.emplace_back("0", 0);
        for (const Kind other : kKinds)
            if (other != kind)
                wrong.emplace_back("another kind's open handle", open_.at(other));
        return wrong;
    }

    /// Leaves a system error on the calling thread: a request board 0 fails.
    void leaveSystemError() const {
        zelva1_cell cell{};
        EXPECT_EQ(zelva1_read_cell(board(), 2, 0, &cell), ZELVA1_ERROR_REQUEST);
        EXPECT_NE(zelva1_system_error(), 0u);
    }

private:
    static zelva1_task* startTask(zelva1_board* board) {
        const std::uint32_t word = 0x60000083u;
        const double interval = 100.0;
        zelva1_task* task = nullptr;
        EXPECT_EQ(zelva1_task_start(board, 1, &word, &interval, 1, &task), ZELVA1_OK);
        return task;
    }

    // A handle number that was never given: the open handle's generation one further on.
    [[nodiscard]] std::uintptr_t nextGeneration(Kind kind) const {
        return open_.at(kind) + (std::uintptr_t{1} << 12);
    }

    std::string recording_ = writeRecording();
    std::map<Kind, std::uintptr_t> open_;
    std::map<Kind, std::uintptr_t> closed_;
};

/// Calls `call` with an output filled with a pattern and checks the status, that the output
/// kept its pattern and that no earlier call's system error is left.
template <typename Output, typename Call>
void expectRefused(const Handles& handles, int status, const std::string& what, Call call) {
    // Any output's bytes, a handle's among them.
    using Bytes = std::array<unsigned char, sizeof(Output)>; // NOLINT(bugprone-sizeof-expression)
    Output output;
    Bytes before{};
    before.fill(0xA5);
    std::memcpy(static_cast<void*>(&output), before.data(), before.size());
    handles.leaveSystemError();
    EXPECT_EQ(call(&output), status) << what;
    Bytes after{};
    std::memcpy(after.data(), static_cast<const void*>(&output), after.size());
    EXPECT_EQ(after, before) << what << ": output written";
    EXPECT_EQ(zelva1_system_error(), 0u) << what << ": an earlier call's system error left";
}

/// As expectRefused for a call without an output.
template <typename Call>
void expectRefusedPlain(const Handles& handles, int status, const std::string& what, Call call) {
    expectRefused<char>(handles, status, what, [&](char*) { return call(); });
}

/// Each wrong handle of `kind` given to `call`: ZELVA1_ERROR_HANDLE, the output untouched.
template <typename Handle, typename Output, typename Call>
void expectWrongHandles(const Handles& handles, Kind kind, const std::string& name, Call call,
                        bool nullIsDefault = false) {
    for (const auto& wrong : handles.wrongFor(kind, nullIsDefault))
        expectRefused<Output>(
            handles, ZELVA1_ERROR_HANDLE, name + ", " + wrong.first,
            [&](Output* output) { return call(as<Handle>(wrong.second), output); });
}

using Probe = std::function<void(const Handles&)>;

std::map<std::string, Probe> probes() {
    std::map<std::string, Probe> all;
    using Bytes = std::array<std::uint8_t, 64>;

    // Calls that take no handle and cannot fail.
    all["zelva1_version"] = [](const Handles&) {
        EXPECT_EQ(zelva1_version(), ZELVA1_VERSION_NUMBER);
    };
    all["zelva1_status_text"] = [](const Handles& handles) {
        handles.leaveSystemError();
        for (const int status :
             {ZELVA1_OK, ZELVA1_ERROR_BUS, 1, -17, std::numeric_limits<int>::min()})
            EXPECT_NE(zelva1_status_text(status), nullptr);
        // Read with the status text in between, as a script builds its message.
        EXPECT_NE(zelva1_system_error(), 0u);
    };
    all["zelva1_system_error"] = [](const Handles& handles) {
        handles.leaveSystemError();
        EXPECT_EQ(zelva1_system_error(), zelva1_system_error());
    };

    // Systems.
    all["zelva1_system_open"] = [](const Handles& handles) {
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "system_open NULL",
                           [] { return zelva1_system_open(nullptr); });
    };
    all["zelva1_system_open_simulated"] = [](const Handles& handles) {
        expectRefused<zelva1_system*>(
            handles, ZELVA1_ERROR_NULL, "open_simulated NULL text", [](zelva1_system** out) {
                return zelva1_system_open_simulated(nullptr, out, nullptr, 0);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "open_simulated NULL system",
                           [] { return zelva1_system_open_simulated("", nullptr, nullptr, 0); });
        expectRefused<zelva1_system*>(
            handles, ZELVA1_ERROR_CONFIG, "open_simulated wrong text", [](zelva1_system** out) {
                return zelva1_system_open_simulated("board x", out, nullptr, 0);
            });
    };
    all["zelva1_system_close"] = [](const Handles& handles) {
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "system_close NULL",
                           [] { return zelva1_system_close(nullptr); });
        expectWrongHandles<zelva1_system, char>(
            handles, Kind::system, "system_close",
            [](zelva1_system* system, char*) { return zelva1_system_close(system); }, true);
    };

    // Boards.
    all["zelva1_list"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_system, std::array<zelva1_board_info, 2>>(
            handles, Kind::system, "list",
            [](zelva1_system* system, std::array<zelva1_board_info, 2>* boards) {
                std::size_t count = 0;
                return zelva1_list(system, boards->data(), boards->size(), &count);
            },
            true);
        expectWrongHandles<zelva1_system, std::size_t>(
            handles, Kind::system, "list count",
            [](zelva1_system* system, std::size_t* count) {
                return zelva1_list(system, nullptr, 0, count);
            },
            true);
        expectRefused<std::size_t>(
            handles, ZELVA1_ERROR_NULL, "list NULL boards",
            [&](std::size_t* count) { return zelva1_list(handles.system(), nullptr, 1, count); });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "list NULL count",
                           [&] { return zelva1_list(handles.system(), nullptr, 0, nullptr); });
    };
    all["zelva1_open"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_system, zelva1_board*>(
            handles, Kind::system, "open",
            [](zelva1_system* system, zelva1_board** board) {
                return zelva1_open(system, 0, board);
            },
            true);
        for (const unsigned index : {16u, ~0u})
            expectRefused<zelva1_board*>(
                handles, ZELVA1_ERROR_ARGUMENT, "open index",
                [&](zelva1_board** board) { return zelva1_open(handles.system(), index, board); });
        // Refused by the system: its error stays for the script to read.
        zelva1_board* absent = nullptr;
        EXPECT_EQ(zelva1_open(handles.system(), 15, &absent), ZELVA1_ERROR_NO_BOARD);
        EXPECT_NE(zelva1_system_error(), 0u);
        EXPECT_EQ(absent, nullptr);
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "open NULL",
                           [&] { return zelva1_open(handles.system(), 0, nullptr); });
    };
    all["zelva1_close"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_board, char>(
            handles, Kind::board, "close",
            [](zelva1_board* board, char*) { return zelva1_close(board); });
    };
    all["zelva1_board_information"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_board, zelva1_board_info>(
            handles, Kind::board, "board_information",
            [](zelva1_board* board, zelva1_board_info* info) {
                return zelva1_board_information(board, info);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "board_information NULL",
                           [&] { return zelva1_board_information(handles.board(), nullptr); });
    };
    all["zelva1_initialize"] = [](const Handles& handles) {
        std::array<std::uint8_t, ZELVA1_RATE_CODES> codes{};
        expectWrongHandles<zelva1_board, char>(
            handles, Kind::board, "initialize", [&](zelva1_board* board, char*) {
                return zelva1_initialize(board, codes.data(), codes.size());
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "initialize NULL",
                           [&] { return zelva1_initialize(handles.board(), nullptr, 16); });
        for (const std::size_t count : {std::size_t{0}, std::size_t{15}, std::size_t{17}})
            expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "initialize count", [&] {
                return zelva1_initialize(handles.board(), codes.data(), count);
            });
        codes[ZELVA1_RATE_CODES - 1] = 3;
        expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "initialize rate code", [&] {
            return zelva1_initialize(handles.board(), codes.data(), codes.size());
        });
    };
    all["zelva1_reset"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_board, char>(
            handles, Kind::board, "reset",
            [](zelva1_board* board, char*) { return zelva1_reset(board); });
    };

    // Reception: a channel outside 1..8 on every call that takes one.
    const auto channels = [](const Handles& handles, const std::string& name,
                             const std::function<int(zelva1_board*, unsigned)>& call) {
        expectWrongHandles<zelva1_board, char>(
            handles, Kind::board, name, [&](zelva1_board* board, char*) { return call(board, 1); });
        for (const unsigned channel : {0u, 9u, ~0u})
            expectRefusedPlain(handles, ZELVA1_ERROR_CHANNEL, name + " channel",
                               [&] { return call(handles.board(), channel); });
    };
    all["zelva1_start_receive"] = [channels](const Handles& handles) {
        channels(handles, "start_receive", [](zelva1_board* board, unsigned channel) {
            return zelva1_start_receive(board, channel, ZELVA1_ADDRESS_MODE);
        });
        for (const int mode : {0, 3, -1})
            expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "start_receive mode",
                               [&] { return zelva1_start_receive(handles.board(), 1, mode); });
    };
    all["zelva1_stop_receive"] = [channels](const Handles& handles) {
        channels(handles, "stop_receive", zelva1_stop_receive);
    };
    all["zelva1_is_receiving"] = [channels](const Handles& handles) {
        channels(handles, "is_receiving", [](zelva1_board* board, unsigned channel) {
            int active = 7;
            const int status = zelva1_is_receiving(board, channel, &active);
            EXPECT_EQ(active, 7);
            return status;
        });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "is_receiving NULL",
                           [&] { return zelva1_is_receiving(handles.board(), 1, nullptr); });
    };
    all["zelva1_read_cell"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_board, zelva1_cell>(
            handles, Kind::board, "read_cell", [](zelva1_board* board, zelva1_cell* cell) {
                return zelva1_read_cell(board, 1, 0, cell);
            });
        for (const unsigned index : {256u, ~0u})
            expectRefused<zelva1_cell>(handles, ZELVA1_ERROR_INDEX, "read_cell index",
                                       [&](zelva1_cell* cell) {
                                           return zelva1_read_cell(handles.board(), 1, index, cell);
                                       });
        expectRefused<zelva1_cell>(
            handles, ZELVA1_ERROR_CHANNEL, "read_cell channel",
            [&](zelva1_cell* cell) { return zelva1_read_cell(handles.board(), 9, 0, cell); });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "read_cell NULL",
                           [&] { return zelva1_read_cell(handles.board(), 1, 0, nullptr); });
    };
    all["zelva1_read_cells"] = [](const Handles& handles) {
        using Cells = std::array<zelva1_cell, ZELVA1_CELLS>;
        expectWrongHandles<zelva1_board, Cells>(
            handles, Kind::board, "read_cells", [](zelva1_board* board, Cells* cells) {
                return zelva1_read_cells(board, 1, cells->data(), cells->size());
            });
        expectRefused<Cells>(handles, ZELVA1_ERROR_ARGUMENT, "read_cells capacity",
                             [&](Cells* cells) {
                                 return zelva1_read_cells(handles.board(), 1, cells->data(), 255);
                             });
        expectRefused<Cells>(
            handles, ZELVA1_ERROR_CHANNEL, "read_cells channel", [&](Cells* cells) {
                return zelva1_read_cells(handles.board(), 0, cells->data(), cells->size());
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "read_cells NULL", [&] {
            return zelva1_read_cells(handles.board(), 1, nullptr, ZELVA1_CELLS);
        });
    };

    // Transmission.
    all["zelva1_transmit"] = [channels](const Handles& handles) {
        const std::array<std::uint32_t, ZELVA1_MAX_WORDS + 1> words{};
        channels(handles, "transmit", [&](zelva1_board* board, unsigned channel) {
            return zelva1_transmit(board, channel, words.data(), 1, ZELVA1_ONCE);
        });
        for (const std::size_t count : {std::size_t{0}, words.size()})
            expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "transmit count", [&] {
                return zelva1_transmit(handles.board(), 1, words.data(), count, ZELVA1_ONCE);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "transmit mode",
                           [&] { return zelva1_transmit(handles.board(), 1, words.data(), 1, 2); });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "transmit NULL", [&] {
            return zelva1_transmit(handles.board(), 1, nullptr, 1, ZELVA1_ONCE);
        });
    };
    all["zelva1_write_word"] = [channels](const Handles& handles) {
        channels(handles, "write_word", [](zelva1_board* board, unsigned channel) {
            return zelva1_write_word(board, channel, 0, 0);
        });
        expectRefusedPlain(handles, ZELVA1_ERROR_INDEX, "write_word index",
                           [&] { return zelva1_write_word(handles.board(), 1, 256, 0); });
    };
    all["zelva1_stop_transmit"] = [channels](const Handles& handles) {
        channels(handles, "stop_transmit", zelva1_stop_transmit);
    };
    all["zelva1_is_transmitting"] = [channels](const Handles& handles) {
        channels(handles, "is_transmitting", [](zelva1_board* board, unsigned channel) {
            int active = 7;
            const int status = zelva1_is_transmitting(board, channel, &active);
            EXPECT_EQ(active, 7);
            return status;
        });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "is_transmitting NULL",
                           [&] { return zelva1_is_transmitting(handles.board(), 1, nullptr); });
    };

    // Decoding.
    const auto formatFiles =
        [](const Handles& handles, const std::string& name,
           const std::function<int(const char*, const char*, zelva1_formats**)>& open) {
            expectRefused<zelva1_formats*>(
                handles, ZELVA1_ERROR_NULL, name + " NULL path",
                [&](zelva1_formats** out) { return open(nullptr, nullptr, out); });
            expectRefusedPlain(handles, ZELVA1_ERROR_NULL, name + " NULL formats",
                               [&] { return open(kFormatFile, nullptr, nullptr); });
            for (const char* path : {"", ZELVA_EXAMPLES_DIR, ZELVA_EXAMPLES_DIR "/missing.stt"})
                expectRefused<zelva1_formats*>(
                    handles, ZELVA1_ERROR_FILE, name + " " + path,
                    [&](zelva1_formats** out) { return open(path, nullptr, out); });
            expectRefused<zelva1_formats*>(
                handles, ZELVA1_ERROR_FILE, name + " empty assignments",
                [&](zelva1_formats** out) { return open(kFormatFile, "", out); });
        };
    all["zelva1_formats_open"] = [formatFiles](const Handles& handles) {
        formatFiles(handles, "formats_open", zelva1_formats_open);
    };
    all["zelva1_formats_load"] = [formatFiles](const Handles& handles) {
        formatFiles(handles, "formats_load",
                    [](const char* format, const char* assignments, zelva1_formats** out) {
                        return zelva1_formats_load(format, assignments, out, nullptr, 0);
                    });
    };
    all["zelva1_formats_close"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_formats, char>(
            handles, Kind::formats, "formats_close",
            [](zelva1_formats* formats, char*) { return zelva1_formats_close(formats); });
    };
    all["zelva1_decode"] = [](const Handles& handles) {
        // NULL is "no formats" here.
        expectWrongHandles<zelva1_formats, zelva1_decoded>(
            handles, Kind::formats, "decode",
            [](zelva1_formats* formats, zelva1_decoded* decoded) {
                return zelva1_decode(formats, 1, 0x83u, decoded);
            },
            true);
        for (const unsigned channel : {0u, 9u})
            expectRefused<zelva1_decoded>(
                handles, ZELVA1_ERROR_CHANNEL, "decode channel", [&](zelva1_decoded* decoded) {
                    return zelva1_decode(handles.formats(), channel, 0x83u, decoded);
                });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "decode NULL",
                           [&] { return zelva1_decode(handles.formats(), 1, 0x83u, nullptr); });
    };

    // Label database.
    all["zelva1_database_open"] = [](const Handles& handles) {
        expectRefused<zelva1_database*>(
            handles, ZELVA1_ERROR_NULL, "database_open NULL path",
            [](zelva1_database** out) { return zelva1_database_open(nullptr, out, nullptr, 0); });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "database_open NULL database",
                           [] { return zelva1_database_open(kDatabaseFile, nullptr, nullptr, 0); });
        for (const char* path : {"", ZELVA_EXAMPLES_DIR, ZELVA_EXAMPLES_DIR "/missing.csv"})
            expectRefused<zelva1_database*>(
                handles, ZELVA1_ERROR_FILE, std::string("database_open ") + path,
                [&](zelva1_database** out) { return zelva1_database_open(path, out, nullptr, 0); });
    };
    all["zelva1_database_close"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_database, char>(
            handles, Kind::database, "database_close",
            [](zelva1_database* database, char*) { return zelva1_database_close(database); });
    };
    all["zelva1_database_decode"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_database, zelva1_reading>(
            handles, Kind::database, "database_decode",
            [](zelva1_database* database, zelva1_reading* reading) {
                return zelva1_database_decode(database, 1, 0x83u, reading);
            });
        expectRefused<zelva1_reading>(
            handles, ZELVA1_ERROR_CHANNEL, "database_decode channel", [&](zelva1_reading* reading) {
                return zelva1_database_decode(handles.database(), 9, 0x83u, reading);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "database_decode NULL", [&] {
            return zelva1_database_decode(handles.database(), 1, 0x83u, nullptr);
        });
    };
    all["zelva1_encode"] = [](const Handles& handles) {
        const auto encode = [&](zelva1_database* database, unsigned channel, unsigned label,
                                int sdi, int ssm, double value, unsigned flags,
                                std::uint32_t* word) {
            return zelva1_encode(database, channel, label, sdi, ssm, value, 0, flags, word, nullptr,
                                 0);
        };
        expectWrongHandles<zelva1_database, std::uint32_t>(
            handles, Kind::database, "encode", [&](zelva1_database* database, std::uint32_t* word) {
                return encode(database, 1, 0203, -1, -1, 0.0, 0, word);
            });
        struct Case {
            const char* what;
            unsigned channel;
            unsigned label;
            int sdi;
            int ssm;
            double value;
            unsigned flags;
            int status;
        };
        for (const Case& wrong : {Case{"channel", 0, 0203, -1, -1, 0, 0, ZELVA1_ERROR_CHANNEL},
                                  Case{"label", 1, 256, -1, -1, 0, 0, ZELVA1_ERROR_ARGUMENT},
                                  Case{"sdi", 1, 0203, 4, -1, 0, 0, ZELVA1_ERROR_ARGUMENT},
                                  Case{"sdi", 1, 0203, -2, -1, 0, 0, ZELVA1_ERROR_ARGUMENT},
                                  Case{"ssm", 1, 0203, -1, 4, 0, 0, ZELVA1_ERROR_ARGUMENT},
                                  Case{"flags", 1, 0203, -1, -1, 0, 4, ZELVA1_ERROR_ARGUMENT},
                                  Case{"NaN", 1, 0203, -1, -1, kNaN, 0, ZELVA1_ERROR_VALUE}})
            expectRefused<std::uint32_t>(handles, wrong.status, std::string("encode ") + wrong.what,
                                         [&](std::uint32_t* word) {
                                             return encode(handles.database(), wrong.channel,
                                                           wrong.label, wrong.sdi, wrong.ssm,
                                                           wrong.value, wrong.flags, word);
                                         });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "encode NULL", [&] {
            return encode(handles.database(), 1, 0203, -1, -1, 0.0, 0, nullptr);
        });
    };

    // Periodic transmission.
    all["zelva1_task_start"] = [channels](const Handles& handles) {
        const std::array<std::uint32_t, ZELVA1_MAX_WORDS + 1> words{};
        std::array<double, ZELVA1_MAX_WORDS + 1> intervals{};
        intervals.fill(100.0);
        channels(handles, "task_start", [&](zelva1_board* board, unsigned channel) {
            zelva1_task* task = nullptr;
            const int status =
                zelva1_task_start(board, channel, words.data(), intervals.data(), 1, &task);
            EXPECT_EQ(task, nullptr);
            return status;
        });
        for (const std::size_t count : {std::size_t{0}, words.size()})
            expectRefused<zelva1_task*>(
                handles, ZELVA1_ERROR_ARGUMENT, "task_start count", [&](zelva1_task** task) {
                    return zelva1_task_start(handles.board(), 2, words.data(), intervals.data(),
                                             count, task);
                });
        for (const double interval : {0.0, -1.0, kNaN}) {
            intervals[0] = interval;
            expectRefused<zelva1_task*>(
                handles, ZELVA1_ERROR_ARGUMENT, "task_start interval", [&](zelva1_task** task) {
                    return zelva1_task_start(handles.board(), 2, words.data(), intervals.data(), 1,
                                             task);
                });
        }
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "task_start NULL", [&] {
            return zelva1_task_start(handles.board(), 2, words.data(), intervals.data(), 1,
                                     nullptr);
        });
    };
    // A word index past the task's one word on every call that takes one.
    const auto taskCalls = [](const Handles& handles, const std::string& name,
                              const std::function<int(zelva1_task*, unsigned)>& call) {
        expectWrongHandles<zelva1_task, char>(
            handles, Kind::task, name, [&](zelva1_task* task, char*) { return call(task, 0); });
        for (const unsigned index : {1u, 256u, ~0u})
            expectRefusedPlain(handles, ZELVA1_ERROR_INDEX, name + " index",
                               [&] { return call(handles.task(), index); });
    };
    all["zelva1_task_set_word"] = [taskCalls](const Handles& handles) {
        taskCalls(handles, "task_set_word", [](zelva1_task* task, unsigned index) {
            return zelva1_task_set_word(task, index, 0x60000083u);
        });
    };
    all["zelva1_task_set_interval"] = [taskCalls](const Handles& handles) {
        taskCalls(handles, "task_set_interval", [](zelva1_task* task, unsigned index) {
            return zelva1_task_set_interval(task, index, 100.0);
        });
        for (const double interval : {0.0, -1.0, kNaN})
            expectRefusedPlain(handles, ZELVA1_ERROR_ARGUMENT, "task_set_interval interval", [&] {
                return zelva1_task_set_interval(handles.task(), 0, interval);
            });
    };
    all["zelva1_task_pause"] = [taskCalls](const Handles& handles) {
        taskCalls(handles, "task_pause", [](zelva1_task* task, unsigned index) {
            return zelva1_task_pause(task, index, 0);
        });
    };
    all["zelva1_task_timing"] = [taskCalls](const Handles& handles) {
        taskCalls(handles, "task_timing", [](zelva1_task* task, unsigned index) {
            zelva1_timing timing{7, 7.0, 7.0, 7.0};
            const int status = zelva1_task_timing(task, index, &timing);
            EXPECT_EQ(timing.sent, 7u);
            return status;
        });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "task_timing NULL",
                           [&] { return zelva1_task_timing(handles.task(), 0, nullptr); });
    };
    all["zelva1_task_state"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_task, int>(
            handles, Kind::task, "task_state", [](zelva1_task* task, int* running) {
                return zelva1_task_state(task, running, nullptr, 0);
            });
        expectWrongHandles<zelva1_task, Bytes>(
            handles, Kind::task, "task_state message", [](zelva1_task* task, Bytes* message) {
                int running = 0;
                return zelva1_task_state(task, &running, reinterpret_cast<char*>(message->data()),
                                         message->size());
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "task_state NULL",
                           [&] { return zelva1_task_state(handles.task(), nullptr, nullptr, 0); });
    };
    all["zelva1_task_stop"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_task, char>(
            handles, Kind::task, "task_stop",
            [](zelva1_task* task, char*) { return zelva1_task_stop(task); });
    };

    // Replays.
    all["zelva1_replay_open"] = [](const Handles& handles) {
        expectRefused<zelva1_replay*>(
            handles, ZELVA1_ERROR_NULL, "replay_open NULL path",
            [](zelva1_replay** out) { return zelva1_replay_open(nullptr, out, nullptr, 0); });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "replay_open NULL replay",
                           [] { return zelva1_replay_open(kDatabaseFile, nullptr, nullptr, 0); });
        for (const char* path : {"", ZELVA_EXAMPLES_DIR, ZELVA_EXAMPLES_DIR "/missing.csv"})
            expectRefused<zelva1_replay*>(
                handles, ZELVA1_ERROR_FILE, std::string("replay_open ") + path,
                [&](zelva1_replay** out) { return zelva1_replay_open(path, out, nullptr, 0); });
    };
    all["zelva1_replay_recording"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_replay, zelva1_recording_info>(
            handles, Kind::replay, "replay_recording",
            [](zelva1_replay* replay, zelva1_recording_info* info) {
                return zelva1_replay_recording(replay, info);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "replay_recording NULL",
                           [&] { return zelva1_replay_recording(handles.replay(), nullptr); });
    };
    all["zelva1_replay_defaults"] = [](const Handles& handles) {
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "replay_defaults NULL",
                           [] { return zelva1_replay_defaults(nullptr); });
    };
    all["zelva1_replay_start"] = [](const Handles& handles) {
        zelva1_replay_options options{};
        ASSERT_EQ(zelva1_replay_defaults(&options), ZELVA1_OK);
        const auto start = [&](zelva1_replay* replay, zelva1_board* board) {
            return zelva1_replay_start(replay, board, &options, nullptr, 0);
        };
        expectWrongHandles<zelva1_replay, char>(
            handles, Kind::replay, "replay_start replay",
            [&](zelva1_replay* replay, char*) { return start(replay, handles.board()); });
        expectWrongHandles<zelva1_board, char>(
            handles, Kind::board, "replay_start board",
            [&](zelva1_board* board, char*) { return start(handles.replay(), board); });
        expectWrongHandles<zelva1_database, char>(
            handles, Kind::database, "replay_start database",
            [&](zelva1_database* database, char*) {
                options.database = database;
                const int status = start(handles.replay(), handles.board());
                options.database = nullptr;
                return status;
            },
            true);
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "replay_start NULL", [&] {
            return zelva1_replay_start(handles.replay(), handles.board(), nullptr, nullptr, 0);
        });
        struct Case {
            const char* what;
            std::function<void(zelva1_replay_options&)> change;
            int status;
        };
        const Case cases[] = {
            {"size", [](zelva1_replay_options& wrong) { wrong.size = 0; }, ZELVA1_ERROR_ARGUMENT},
            {"mode", [](zelva1_replay_options& wrong) { wrong.mode = 2; }, ZELVA1_ERROR_ARGUMENT},
            {"slow", [](zelva1_replay_options& wrong) { wrong.speed = 0.09; },
             ZELVA1_ERROR_ARGUMENT},
            {"fast", [](zelva1_replay_options& wrong) { wrong.speed = 10.5; },
             ZELVA1_ERROR_ARGUMENT},
            {"NaN", [](zelva1_replay_options& wrong) { wrong.speed = kNaN; },
             ZELVA1_ERROR_ARGUMENT},
            {"no output", [](zelva1_replay_options& wrong) { wrong.outputs[0] = 0; },
             ZELVA1_ERROR_ARGUMENT},
            {"no label", [](zelva1_replay_options& wrong) { std::memset(wrong.labels, 0, 32); },
             ZELVA1_ERROR_ARGUMENT},
            {"output 9", [](zelva1_replay_options& wrong) { wrong.outputs[0] = 9; },
             ZELVA1_ERROR_CHANNEL},
        };
        for (const Case& wrong : cases) {
            zelva1_replay_options changed = options;
            wrong.change(changed);
            expectRefusedPlain(handles, wrong.status, std::string("replay_start ") + wrong.what,
                               [&] {
                                   return zelva1_replay_start(handles.replay(), handles.board(),
                                                              &changed, nullptr, 0);
                               });
        }
    };
    all["zelva1_replay_state"] = [](const Handles& handles) {
        expectWrongHandles<zelva1_replay, zelva1_replay_progress>(
            handles, Kind::replay, "replay_state",
            [](zelva1_replay* replay, zelva1_replay_progress* progress) {
                return zelva1_replay_state(replay, progress, nullptr, 0);
            });
        expectRefusedPlain(handles, ZELVA1_ERROR_NULL, "replay_state NULL", [&] {
            return zelva1_replay_state(handles.replay(), nullptr, nullptr, 0);
        });
    };
    for (const auto& [name, call] : std::map<std::string, int (*)(zelva1_replay*)>{
             {"zelva1_replay_pause", zelva1_replay_pause},
             {"zelva1_replay_resume", zelva1_replay_resume},
             {"zelva1_replay_step", zelva1_replay_step},
             {"zelva1_replay_stop", zelva1_replay_stop},
             {"zelva1_replay_close", zelva1_replay_close}})
        all[name] = [name = name, call = call](const Handles& handles) {
            expectWrongHandles<zelva1_replay, char>(
                handles, Kind::replay, name,
                [&](zelva1_replay* replay, char*) { return call(replay); });
        };
    return all;
}

/// The functions zelva1.h declares, read from the header itself.
std::set<std::string> declaredFunctions() {
    std::ifstream header(ZELVA1_HEADER);
    std::stringstream text;
    text << header.rdbuf();
    const std::string all = text.str();
    const std::regex declaration(R"(ZELVA1_API[^;(]*?\b(zelva1_\w+)\s*\()");
    std::set<std::string> names;
    for (auto found = std::sregex_iterator(all.begin(), all.end(), declaration);
         found != std::sregex_iterator(); ++found)
        names.insert((*found)[1].str());
    return names;
}

TEST(InterfaceProbe, EveryDeclaredFunctionHasAProbe) {
    const std::set<std::string> declared = declaredFunctions();
    ASSERT_GT(declared.size(), 30u) << "the header was not read: " << ZELVA1_HEADER;
    const std::map<std::string, Probe> all = probes();
    for (const std::string& name : declared)
        EXPECT_EQ(all.count(name), 1u) << name << " has no entry in the interface probe";
    for (const auto& [name, probe] : all)
        EXPECT_EQ(declared.count(name), 1u) << name << " is probed but not declared";
}

TEST(InterfaceProbe, WrongHandlesNullsAndRangesGiveTheirStatusAndLeaveOutputsAlone) {
    const Handles handles;
    for (const auto& [name, probe] : probes()) {
        SCOPED_TRACE(name);
        probe(handles);
    }
    // The handles given were refused, never closed or changed by a wrong call.
    zelva1_board_info info{};
    EXPECT_EQ(zelva1_board_information(handles.board(), &info), ZELVA1_OK);
    int running = 0;
    EXPECT_EQ(zelva1_task_state(handles.task(), &running, nullptr, 0), ZELVA1_OK);
    EXPECT_EQ(running, 1);
}

TEST(InterfaceProbe, TheSameFromThreeThreadsAtOnce) {
    const Handles handles;
    const std::map<std::string, Probe> all = probes();
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (const auto& [name, probe] : all)
                probe(handles);
        });
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace
