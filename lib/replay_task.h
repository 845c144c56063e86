#pragma once

#include "system.h"
#include "zelva1.h"

#include "analysis/recording_reader.h"
#include "labels/label_database.h"
#include "replay/replay_control.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zelva1 {

class BoardConnection;

/// @brief A recording opened for replay and, once started, its replay on a thread of its own
/// through the system's serialized driver. Not guarded: the library's lock serves every call.
class ReplayTask {
public:
    /// @brief Reads the recording through.
    /// @return ZELVA1_OK with the task in `opened`, or ZELVA1_ERROR_FILE or
    /// ZELVA1_ERROR_CONTENT with the reason in `why`.
    [[nodiscard]] static int open(const std::filesystem::path& path,
                                  std::shared_ptr<ReplayTask>& opened, std::string& why);

    [[nodiscard]] zelva1_recording_info info() const;

    // A start comes in three steps so that the recording, which may be long or slow to come, is
    // read without the library's lock: checked under it, read (ReplayControl::prepare) without
    // it, installed under it again. The recording's path never changes once open.

    /// @brief The replay's options for `options` onto the outputs of `board`.
    /// @return a library status, the reason in `why` for one that is not ZELVA1_OK.
    [[nodiscard]] int check(const BoardConnection& board, const zelva1_replay_options& options,
                            replay::ReplayOptions& chosen, std::string& why) const;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    /// @brief Stops the replay running and starts `prepared` onto `board` (its handle
    /// `boardId`), which must be the board it was prepared for.
    /// @return a library status, the reason in `why` for one that is not ZELVA1_OK.
    [[nodiscard]] int install(replay::PreparedReplay prepared, const BoardConnection& board,
                              std::uintptr_t boardId, std::string& why);
    [[nodiscard]] zelva1_replay_progress progress(std::string& failure) const;
    void pause() { control_.pause(); }
    void resume() { control_.resume(); }
    void step() { control_.step(); }
    void stop() { control_.stop(); }

    [[nodiscard]] std::uintptr_t boardId() const { return boardId_; }
    [[nodiscard]] const System* system() const { return system_.get(); }

private:
    explicit ReplayTask(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path path_;
    analysis::RecordingSummary summary_;
    // The replay's thread goes before the system whose driver it sends through.
    std::shared_ptr<System> system_;
    std::uintptr_t boardId_ = 0;
    std::vector<std::uint16_t> outputs_; // of the routes, in route order
    bool started_ = false;
    replay::ReplayControl control_;
};

} // namespace zelva1
