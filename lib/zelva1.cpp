// The C entry points: arguments checked, handles looked up, one call at a time, and no C++
// exception ever let through to a C caller.

#include "zelva1.h"

#include "board_connection.h"
#include "format_set.h"
#include "handle_table.h"
#include "label_words.h"
#include "periodic_task.h"
#include "replay_task.h"
#include "system.h"
#include "text_copy.h"

#include "board/clock.h"
#include "board/default_driver.h"
#include "board/shared_state.h"
#include "board/simulated/config.h"
#include "board/simulated/simulated_driver.h"
#include "reception/decimal_decode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <span>
#include <string>

static_assert(ZELVA1_TEXT_CAPACITY == reception::kDecimalTextCapacity);
static_assert(ZELVA1_CELLS == board::kInputBufferCells);
static_assert(ZELVA1_MAX_WORDS == board::kOutputArrayCapacity);
static_assert(ZELVA1_RATE_CODES == sizeof(board::FreqCodes));
static_assert(ZELVA1_MAX_CHANNELS == board::kMaxChannels);

namespace {

using zelva1::BoardConnection;
using zelva1::FormatSet;
using zelva1::PeriodicTask;
using zelva1::ReplayTask;
using zelva1::RequestStatus;
using zelva1::System;
using Database = const labels::LabelDatabase;

struct Library {
    std::mutex lock;
    // Each kind of handle has a tag of its own: one kind given for another finds nothing.
    zelva1::HandleTable<System> systems{1};
    zelva1::HandleTable<BoardConnection> boards{2};
    zelva1::HandleTable<FormatSet> formats{3};
    zelva1::HandleTable<Database> databases{4};
    zelva1::HandleTable<PeriodicTask> tasks{5};
    zelva1::HandleTable<ReplayTask> replays{6};
    // Made once, outside the lock, by the first call that wants it (makeDefaultSystem).
    std::once_flag defaultMade;
    std::shared_ptr<System> defaultSystem;
};

// Never destroyed: a task's thread still sending when the process exits goes on with its
// driver, its board and its schedule until the process is gone, instead of finding them freed.
Library& library() {
    static auto* const instance = new Library;
    return *instance;
}

// Every entry point writes it. In a shared object a thread-local is otherwise reached through a
// call into the dynamic loader, which cost a third of a per-cell read; initial-exec makes it one
// instruction. Its four bytes fit the room the loader keeps for objects opened later (ctypes).
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local std::uint32_t lastSystemError = 0;

// Every entry point but the version, the status texts and this error itself starts with it, so
// that a call refused before it reaches a board does not leave an earlier call's error behind.
void beginCall() { lastSystemError = 0; }

template <typename Body>
int guarded(Body body) noexcept {
    beginCall();
    try {
        Library& state = library();
        const std::lock_guard held(state.lock);
        return body(state);
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
}

int finish(const RequestStatus& outcome) {
    lastSystemError = outcome.systemError;
    return outcome.status;
}

template <typename Handle>
std::uintptr_t idOf(const Handle* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <typename Handle>
Handle* handleOf(std::uintptr_t id) {
    return reinterpret_cast<Handle*>(id); // NOLINT(performance-no-int-to-ptr): never dereferenced
}

// Makes the default system when `system` names it and it is not made yet. Outside the lock:
// making it reads the file ZELVA1_SIM_CONFIG names, which may be slow to come (a network path,
// a FIFO), and only the calls that want the default system wait for it.
int makeDefaultSystem(const zelva1_system* system) noexcept {
    if (system != nullptr)
        return ZELVA1_OK;
    try {
        Library& state = library();
        std::call_once(state.defaultMade, [&] {
            state.defaultSystem = std::make_shared<System>(board::makeDefaultDriver(std::cerr));
        });
        return ZELVA1_OK;
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
}

// After makeDefaultSystem(system).
std::shared_ptr<System> systemOf(const Library& state, zelva1_system* system) {
    return system != nullptr ? state.systems.share(idOf(system)) : state.defaultSystem;
}

void copyMessage(const std::string& text, char* message, std::size_t size) {
    zelva1::copyText(text, message, size);
}

// Keeps a new object in its table and hands its handle out.
template <typename Handle, typename Object>
int keep(zelva1::HandleTable<Object>& table, std::shared_ptr<Object> object, Handle** handle) {
    const std::uintptr_t id = table.add(std::move(object));
    if (id == 0)
        return ZELVA1_ERROR_LIMIT;
    *handle = handleOf<Handle>(id);
    return ZELVA1_OK;
}

// Closes a handle of a table whose objects need nothing done when they go.
template <typename Object>
int closeHandle(zelva1::HandleTable<Object> Library::*table, std::uintptr_t id) {
    return guarded([&](Library& state) {
        return (state.*table).remove(id) ? ZELVA1_OK : ZELVA1_ERROR_HANDLE;
    });
}

// Runs `action` on an open board.
template <typename Action>
int withBoard(zelva1_board* board, Action action) {
    return guarded([&](Library& state) {
        BoardConnection* connection = state.boards.find(idOf(board));
        if (connection == nullptr)
            return ZELVA1_ERROR_HANDLE;
        return finish(action(*connection));
    });
}

// Runs `action` on an open board after the channel check that `check` names.
template <typename Check, typename Action>
int withChannel(zelva1_board* board, unsigned channel, Check check, Action action) {
    return withBoard(board, [&](BoardConnection& connection) {
        if (const int status = (connection.*check)(channel); status != ZELVA1_OK)
            return RequestStatus{status, 0};
        return action(connection);
    });
}

template <typename Action>
int withInput(zelva1_board* board, unsigned channel, Action action) {
    return withChannel(board, channel, &BoardConnection::checkInput, action);
}

template <typename Action>
int withOutput(zelva1_board* board, unsigned channel, Action action) {
    return withChannel(board, channel, &BoardConnection::checkOutput, action);
}

// Runs `action` on an open task.
template <typename Action>
int withTask(zelva1_task* task, Action action) {
    return guarded([&](Library& state) {
        PeriodicTask* found = state.tasks.find(idOf(task));
        if (found == nullptr)
            return ZELVA1_ERROR_HANDLE;
        return finish(action(*found));
    });
}

// Runs `action` on an open replay.
template <typename Action>
int withReplay(zelva1_replay* replay, Action action) {
    return guarded([&](Library& state) {
        ReplayTask* found = state.replays.find(idOf(replay));
        if (found == nullptr)
            return ZELVA1_ERROR_HANDLE;
        return action(*found);
    });
}

// The database of a handle. A database never changes once read, so it is used outside the lock.
int shareDatabase(zelva1_database* database, std::shared_ptr<Database>& found) {
    return guarded([&](Library& state) {
        found = state.databases.share(idOf(database));
        return found == nullptr ? ZELVA1_ERROR_HANDLE : ZELVA1_OK;
    });
}

// Stops the tasks `picked` chooses and closes their handles, each after its request in progress.
template <typename Pick>
void stopTasks(Library& state, Pick picked) {
    for (const std::shared_ptr<PeriodicTask>& task : state.tasks.removeIf(picked))
        static_cast<void>(task->stop());
}

// Stops the replays `picked` chooses; their handles stay open, to be started again or closed.
template <typename Pick>
void stopReplays(const Library& state, Pick picked) {
    state.replays.forEach([&](ReplayTask& replay) {
        if (picked(replay))
            replay.stop();
    });
}

} // namespace

extern "C" {

int zelva1_version(void) { return ZELVA1_VERSION_NUMBER; }

uint32_t zelva1_system_error(void) { return lastSystemError; }

int zelva1_system_open(zelva1_system** system) {
    beginCall();
    if (system == nullptr)
        return ZELVA1_ERROR_NULL;
    std::shared_ptr<System> made;
    try {
        made = std::make_shared<System>(board::makeDefaultDriver(std::cerr)); // outside the lock
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
    return guarded([&](Library& state) { return keep(state.systems, std::move(made), system); });
}

int zelva1_system_open_simulated(const char* config_text, zelva1_system** system, char* message,
                                 size_t message_size) {
    beginCall();
    if (config_text == nullptr || system == nullptr)
        return ZELVA1_ERROR_NULL;
    return guarded([&](Library& state) {
        board::simulated::SimConfigResult config =
            board::simulated::parseSimulatorConfig(config_text);
        if (!config.ok()) {
            copyMessage("line " + std::to_string(config.errorLine) + ": " + config.error, message,
                        message_size);
            return ZELVA1_ERROR_CONFIG;
        }
        auto made = std::make_shared<System>(std::make_unique<board::simulated::SimulatedDriver>(
            std::move(config.config), board::steadySimClock()));
        copyMessage({}, message, message_size);
        return keep(state.systems, std::move(made), system);
    });
}

int zelva1_system_close(zelva1_system* system) {
    beginCall();
    if (system == nullptr)
        return ZELVA1_ERROR_NULL;
    return guarded([&](Library& state) {
        const std::shared_ptr<System> closed = state.systems.share(idOf(system));
        if (closed == nullptr)
            return ZELVA1_ERROR_HANDLE;
        stopTasks(state, [&](const PeriodicTask& task) { return task.system() == closed.get(); });
        stopReplays(state,
                    [&](const ReplayTask& replay) { return replay.system() == closed.get(); });
        state.systems.remove(idOf(system));
        return ZELVA1_OK;
    });
}

int zelva1_list(zelva1_system* system, zelva1_board_info* boards, size_t capacity, size_t* count) {
    beginCall();
    if (count == nullptr || (boards == nullptr && capacity > 0))
        return ZELVA1_ERROR_NULL;
    if (const int status = makeDefaultSystem(system); status != ZELVA1_OK)
        return status;
    return guarded([&](Library& state) {
        const std::shared_ptr<System> found = systemOf(state, system);
        if (found == nullptr)
            return ZELVA1_ERROR_HANDLE;
        std::array<zelva1_board_info, ZELVA1_MAX_BOARDS> infos{}; // the caller's only on success
        std::size_t listed = 0;
        for (unsigned index = 0; index <= board::kMaxInterfaceIndex && listed < ZELVA1_MAX_BOARDS;
             ++index) {
            std::unique_ptr<BoardConnection> connection;
            const RequestStatus opened = BoardConnection::open(found, index, connection);
            if (opened.status == ZELVA1_ERROR_NO_BOARD)
                continue;
            if (opened.status != ZELVA1_OK)
                return finish(opened);
            infos.at(listed) = connection->info();
            ++listed;
        }
        std::copy_n(infos.begin(), std::min(listed, capacity), boards);
        *count = listed;
        return ZELVA1_OK;
    });
}

int zelva1_open(zelva1_system* system, unsigned interface_index, zelva1_board** board) {
    beginCall();
    if (board == nullptr)
        return ZELVA1_ERROR_NULL;
    if (interface_index > board::kMaxInterfaceIndex)
        return ZELVA1_ERROR_ARGUMENT;
    if (const int status = makeDefaultSystem(system); status != ZELVA1_OK)
        return status;
    return guarded([&](Library& state) {
        const std::shared_ptr<System> found = systemOf(state, system);
        if (found == nullptr)
            return ZELVA1_ERROR_HANDLE;
        std::unique_ptr<BoardConnection> connection;
        const RequestStatus opened = BoardConnection::open(found, interface_index, connection);
        if (opened.status != ZELVA1_OK)
            return finish(opened);
        return keep(state.boards, std::shared_ptr<BoardConnection>(std::move(connection)), board);
    });
}

int zelva1_close(zelva1_board* board) {
    return guarded([&](Library& state) {
        if (!state.boards.remove(idOf(board)))
            return ZELVA1_ERROR_HANDLE;
        stopTasks(state, [&](const PeriodicTask& task) { return task.boardId() == idOf(board); });
        stopReplays(state,
                    [&](const ReplayTask& replay) { return replay.boardId() == idOf(board); });
        return ZELVA1_OK;
    });
}

int zelva1_board_information(zelva1_board* board, zelva1_board_info* info) {
    beginCall();
    if (info == nullptr)
        return ZELVA1_ERROR_NULL;
    return withBoard(board, [&](BoardConnection& connection) {
        *info = connection.info();
        return RequestStatus{};
    });
}

int zelva1_initialize(zelva1_board* board, const uint8_t* rate_codes, size_t count) {
    beginCall();
    if (rate_codes == nullptr)
        return ZELVA1_ERROR_NULL;
    if (count != ZELVA1_RATE_CODES)
        return ZELVA1_ERROR_ARGUMENT;
    const std::span<const std::uint8_t> codes(rate_codes, count);
    if (std::any_of(codes.begin(), codes.end(), [](std::uint8_t code) { return code > 2; }))
        return ZELVA1_ERROR_ARGUMENT;
    board::FreqCodes record{};
    std::copy_n(codes.begin(), board::kMaxChannels, record.SIfreq.begin());
    std::copy_n(codes.begin() + board::kMaxChannels, board::kMaxChannels, record.SOfreq.begin());
    return withBoard(board,
                     [&](BoardConnection& connection) { return connection.initialize(record); });
}

int zelva1_reset(zelva1_board* board) {
    return withBoard(board, [](BoardConnection& connection) { return connection.reset(); });
}

int zelva1_start_receive(zelva1_board* board, unsigned channel, int mode) {
    beginCall();
    if (mode != ZELVA1_ADDRESS_MODE && mode != ZELVA1_FILE_MODE)
        return ZELVA1_ERROR_ARGUMENT;
    return withInput(board, channel, [&](BoardConnection& connection) {
        return connection.startReceive(channel, mode);
    });
}

int zelva1_stop_receive(zelva1_board* board, unsigned channel) {
    return withInput(board, channel,
                     [&](BoardConnection& connection) { return connection.stopReceive(channel); });
}

int zelva1_is_receiving(zelva1_board* board, unsigned channel, int* active) {
    beginCall();
    if (active == nullptr)
        return ZELVA1_ERROR_NULL;
    return withInput(board, channel, [&](BoardConnection& connection) {
        return connection.isReceiving(channel, *active);
    });
}

int zelva1_read_cell(zelva1_board* board, unsigned channel, unsigned index, zelva1_cell* cell) {
    beginCall();
    if (cell == nullptr)
        return ZELVA1_ERROR_NULL;
    if (index >= ZELVA1_CELLS)
        return ZELVA1_ERROR_INDEX;
    return withInput(board, channel, [&](BoardConnection& connection) {
        return connection.readCell(channel, index, *cell);
    });
}

int zelva1_read_cells(zelva1_board* board, unsigned channel, zelva1_cell* cells, size_t capacity) {
    beginCall();
    if (cells == nullptr)
        return ZELVA1_ERROR_NULL;
    if (capacity < ZELVA1_CELLS)
        return ZELVA1_ERROR_ARGUMENT;
    return withInput(board, channel, [&](BoardConnection& connection) {
        return connection.readCells(channel, std::span(cells, ZELVA1_CELLS));
    });
}

int zelva1_transmit(zelva1_board* board, unsigned channel, const uint32_t* words, size_t count,
                    int mode) {
    beginCall();
    if (words == nullptr)
        return ZELVA1_ERROR_NULL;
    if (count == 0 || count > ZELVA1_MAX_WORDS || (mode != ZELVA1_ONCE && mode != ZELVA1_CYCLIC))
        return ZELVA1_ERROR_ARGUMENT;
    return withOutput(board, channel, [&](BoardConnection& connection) {
        return connection.transmit(channel, std::span(words, count), mode);
    });
}

int zelva1_write_word(zelva1_board* board, unsigned channel, unsigned index, uint32_t word) {
    beginCall();
    if (index >= ZELVA1_MAX_WORDS)
        return ZELVA1_ERROR_INDEX;
    return withOutput(board, channel, [&](BoardConnection& connection) {
        return connection.writeWord(channel, index, word);
    });
}

int zelva1_stop_transmit(zelva1_board* board, unsigned channel) {
    return withOutput(board, channel, [&](BoardConnection& connection) {
        return connection.stopTransmit(channel);
    });
}

int zelva1_is_transmitting(zelva1_board* board, unsigned channel, int* active) {
    beginCall();
    if (active == nullptr)
        return ZELVA1_ERROR_NULL;
    return withOutput(board, channel, [&](BoardConnection& connection) {
        return connection.isTransmitting(channel, *active);
    });
}

int zelva1_formats_open(const char* format_path, const char* assignment_path,
                        zelva1_formats** formats) {
    return zelva1_formats_load(format_path, assignment_path, formats, nullptr, 0);
}

int zelva1_formats_load(const char* format_path, const char* assignment_path,
                        zelva1_formats** formats, char* message, size_t message_size) {
    beginCall();
    if (format_path == nullptr || formats == nullptr)
        return ZELVA1_ERROR_NULL;
    // Read before the lock is taken: a file may be slow to come (a network path).
    std::shared_ptr<FormatSet> loaded;
    std::string why;
    int status = ZELVA1_ERROR_INTERNAL;
    try {
        loaded = std::make_shared<FormatSet>();
        std::optional<std::filesystem::path> assignments;
        if (assignment_path != nullptr)
            assignments = std::filesystem::u8path(assignment_path);
        status = loaded->load(std::filesystem::u8path(format_path), assignments, why);
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
    copyMessage(why, message, message_size);
    if (status != ZELVA1_OK)
        return status;
    return guarded([&](Library& state) { return keep(state.formats, std::move(loaded), formats); });
}

int zelva1_formats_close(zelva1_formats* formats) {
    return closeHandle(&Library::formats, idOf(formats));
}

int zelva1_decode(zelva1_formats* formats, unsigned channel, uint32_t word,
                  zelva1_decoded* decoded) {
    beginCall();
    if (decoded == nullptr)
        return ZELVA1_ERROR_NULL;
    if (formats == nullptr) {
        zelva1::decodeWord(word, nullptr, *decoded);
        return ZELVA1_OK;
    }
    if (channel < 1 || channel > ZELVA1_MAX_CHANNELS)
        return ZELVA1_ERROR_CHANNEL;
    return guarded([&](Library& state) {
        const FormatSet* found = state.formats.find(idOf(formats));
        if (found == nullptr)
            return ZELVA1_ERROR_HANDLE;
        zelva1::decodeWord(word, &found->channel(channel), *decoded);
        return ZELVA1_OK;
    });
}

int zelva1_database_open(const char* path, zelva1_database** database, char* message,
                         size_t message_size) {
    beginCall();
    if (path == nullptr || database == nullptr)
        return ZELVA1_ERROR_NULL;
    // Read before the lock is taken: a file may be slow to come (a network path, a FIFO).
    std::shared_ptr<Database> loaded;
    std::string why;
    int status = ZELVA1_ERROR_INTERNAL;
    try {
        status = zelva1::loadDatabase(std::filesystem::u8path(path), loaded, why);
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
    copyMessage(why, message, message_size);
    if (status != ZELVA1_OK)
        return status;
    return guarded([&](Library& state) { return keep(state.databases, loaded, database); });
}

int zelva1_database_close(zelva1_database* database) {
    return closeHandle(&Library::databases, idOf(database));
}

int zelva1_database_decode(zelva1_database* database, unsigned channel, uint32_t word,
                           zelva1_reading* reading) {
    beginCall();
    if (reading == nullptr)
        return ZELVA1_ERROR_NULL;
    if (channel < 1 || channel > ZELVA1_MAX_CHANNELS)
        return ZELVA1_ERROR_CHANNEL;
    std::shared_ptr<Database> found;
    if (const int status = shareDatabase(database, found); status != ZELVA1_OK)
        return status;
    try {
        zelva1::readWord(*found, channel, word, *reading);
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
    return ZELVA1_OK;
}

int zelva1_encode(zelva1_database* database, unsigned channel, unsigned label, int sdi, int ssm,
                  double value, uint32_t discretes, unsigned flags, uint32_t* word, char* message,
                  size_t message_size) {
    beginCall();
    if (word == nullptr)
        return ZELVA1_ERROR_NULL;
    if (channel < 1 || channel > ZELVA1_MAX_CHANNELS)
        return ZELVA1_ERROR_CHANNEL;
    if (label > 0xFFu || sdi < -1 || sdi > 3 || ssm < -1 || ssm > 3 ||
        (flags & ~(ZELVA1_WRONG_PARITY | ZELVA1_OUTSIDE_RANGE)) != 0)
        return ZELVA1_ERROR_ARGUMENT;
    std::shared_ptr<Database> found;
    if (const int status = shareDatabase(database, found); status != ZELVA1_OK)
        return status;
    try {
        std::string why;
        const int status = zelva1::encodeValue(
            *found, {channel, label, sdi, ssm, value, discretes, flags}, *word, why);
        copyMessage(why, message, message_size);
        return status;
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
}

int zelva1_task_start(zelva1_board* board, unsigned channel, const uint32_t* words,
                      const double* intervals_ms, size_t count, zelva1_task** task) {
    beginCall();
    if (words == nullptr || intervals_ms == nullptr || task == nullptr)
        return ZELVA1_ERROR_NULL;
    if (count == 0 || count > ZELVA1_MAX_WORDS)
        return ZELVA1_ERROR_ARGUMENT;
    return withOutput(board, channel, [&](BoardConnection& connection) {
        std::shared_ptr<PeriodicTask> started;
        const int status = PeriodicTask::start(connection, idOf(board), channel,
                                               std::span(words, count),
                                               std::span(intervals_ms, count), started);
        if (status != ZELVA1_OK)
            return RequestStatus{status, 0};
        return RequestStatus{keep(library().tasks, std::move(started), task), 0};
    });
}

int zelva1_task_set_word(zelva1_task* task, unsigned index, uint32_t word) {
    return withTask(task, [&](PeriodicTask& found) { return found.setWord(index, word); });
}

int zelva1_task_set_interval(zelva1_task* task, unsigned index, double interval_ms) {
    return withTask(task,
                    [&](PeriodicTask& found) { return found.setInterval(index, interval_ms); });
}

int zelva1_task_pause(zelva1_task* task, unsigned index, int paused) {
    return withTask(task, [&](PeriodicTask& found) { return found.setPaused(index, paused != 0); });
}

int zelva1_task_timing(zelva1_task* task, unsigned index, zelva1_timing* timing) {
    beginCall();
    if (timing == nullptr)
        return ZELVA1_ERROR_NULL;
    return withTask(task, [&](PeriodicTask& found) { return found.timing(index, *timing); });
}

int zelva1_task_state(zelva1_task* task, int* running, char* message, size_t message_size) {
    beginCall();
    if (running == nullptr)
        return ZELVA1_ERROR_NULL;
    return withTask(task, [&](PeriodicTask& found) {
        std::string failure;
        *running = found.running(failure) ? 1 : 0;
        copyMessage(failure, message, message_size);
        return RequestStatus{};
    });
}

int zelva1_task_stop(zelva1_task* task) {
    return guarded([&](Library& state) {
        const std::shared_ptr<PeriodicTask> stopped = state.tasks.share(idOf(task));
        if (stopped == nullptr)
            return ZELVA1_ERROR_HANDLE;
        state.tasks.remove(idOf(task));
        return finish(stopped->stop());
    });
}

int zelva1_replay_open(const char* path, zelva1_replay** replay, char* message,
                       size_t message_size) {
    beginCall();
    if (path == nullptr || replay == nullptr)
        return ZELVA1_ERROR_NULL;
    // Read before the lock is taken, as a database is: a long recording takes its time.
    std::shared_ptr<ReplayTask> opened;
    std::string why;
    int status = ZELVA1_ERROR_INTERNAL;
    try {
        status = ReplayTask::open(std::filesystem::u8path(path), opened, why);
    } catch (...) {
        return ZELVA1_ERROR_INTERNAL;
    }
    copyMessage(why, message, message_size);
    if (status != ZELVA1_OK)
        return status;
    return guarded([&](Library& state) { return keep(state.replays, opened, replay); });
}

int zelva1_replay_recording(zelva1_replay* replay, zelva1_recording_info* info) {
    beginCall();
    if (info == nullptr)
        return ZELVA1_ERROR_NULL;
    return withReplay(replay, [&](const ReplayTask& found) {
        *info = found.info();
        return ZELVA1_OK;
    });
}

int zelva1_replay_defaults(zelva1_replay_options* options) {
    beginCall();
    if (options == nullptr)
        return ZELVA1_ERROR_NULL;
    *options = zelva1_replay_options{};
    options->size = sizeof(zelva1_replay_options);
    options->outputs[0] = 1;
    options->speed = 1.0;
    std::fill(std::begin(options->labels), std::end(options->labels), std::uint8_t{0xFF});
    return ZELVA1_OK;
}

int zelva1_replay_start(zelva1_replay* replay, zelva1_board* board,
                        const zelva1_replay_options* options, char* message, size_t message_size) {
    beginCall();
    if (options == nullptr)
        return ZELVA1_ERROR_NULL;
    copyMessage({}, message, message_size);
    // The recording is read without the lock, as at its open: what the start needs is taken
    // under it, and the replay installed under it again only if it and the board are still
    // open. Meanwhile the replay's other calls see it as it was.
    std::shared_ptr<ReplayTask> task;
    std::shared_ptr<System> owner; // keeps the driver the prepared replay sends through
    board::DeviceHandle device{};
    std::shared_ptr<Database> database;
    replay::ReplayOptions chosen;
    std::string why;
    int status = guarded([&](Library& state) {
        task = state.replays.share(idOf(replay));
        const BoardConnection* connection = state.boards.find(idOf(board));
        if (task == nullptr || connection == nullptr)
            return ZELVA1_ERROR_HANDLE;
        if (options->database != nullptr) {
            database = state.databases.share(idOf(options->database));
            if (database == nullptr)
                return ZELVA1_ERROR_HANDLE;
        }
        owner = connection->system();
        device = connection->device();
        return task->check(*connection, *options, chosen, why);
    });
    if (status == ZELVA1_OK) {
        try {
            replay::PreparedReplay prepared = replay::ReplayControl::prepare(
                owner->driver, device, task->path(), chosen, std::move(database));
            status = guarded([&](Library& state) {
                const BoardConnection* connection = state.boards.find(idOf(board));
                if (state.replays.find(idOf(replay)) != task.get() || connection == nullptr)
                    return ZELVA1_ERROR_HANDLE;
                return task->install(std::move(prepared), *connection, idOf(board), why);
            });
        } catch (...) {
            status = ZELVA1_ERROR_INTERNAL;
        }
    }
    copyMessage(why, message, message_size);
    return status;
}

int zelva1_replay_state(zelva1_replay* replay, zelva1_replay_progress* progress, char* message,
                        size_t message_size) {
    beginCall();
    if (progress == nullptr)
        return ZELVA1_ERROR_NULL;
    return withReplay(replay, [&](const ReplayTask& found) {
        std::string failure;
        *progress = found.progress(failure);
        copyMessage(failure, message, message_size);
        return ZELVA1_OK;
    });
}

int zelva1_replay_pause(zelva1_replay* replay) {
    return withReplay(replay, [](ReplayTask& found) {
        found.pause();
        return ZELVA1_OK;
    });
}

int zelva1_replay_resume(zelva1_replay* replay) {
    return withReplay(replay, [](ReplayTask& found) {
        found.resume();
        return ZELVA1_OK;
    });
}

int zelva1_replay_step(zelva1_replay* replay) {
    return withReplay(replay, [](ReplayTask& found) {
        found.step();
        return ZELVA1_OK;
    });
}

int zelva1_replay_stop(zelva1_replay* replay) {
    return withReplay(replay, [](ReplayTask& found) {
        found.stop();
        return ZELVA1_OK;
    });
}

int zelva1_replay_close(zelva1_replay* replay) {
    return guarded([&](Library& state) {
        const std::shared_ptr<ReplayTask> closed = state.replays.share(idOf(replay));
        if (closed == nullptr)
            return ZELVA1_ERROR_HANDLE;
        state.replays.remove(idOf(replay));
        closed->stop();
        return ZELVA1_OK;
    });
}

} // extern "C"
