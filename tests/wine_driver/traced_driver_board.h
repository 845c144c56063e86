#pragma once

#include "board/board_list.h"
#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/driver.h"
#include "board/records.h"
#include "board/requests.h"
#include "board/serialized_driver.h"
#include "board/windows/system_api.h"
#include "board/windows/windows_driver.h"
#include "tests/wine_driver/test_interface_class.h"
#include "transmission/stimulus_thread.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace wine_driver {

/// @brief The single transmissions that pass to the board: each burst's words, stamped when
/// its IOCTL_SO_START_SINGLE was answered, and every request counted. Used behind the
/// serialized driver, one request at a time.
class BurstTrace final : public board::Driver {
public:
    struct Burst {
        transmission::ScheduleTime at = 0;
        std::vector<std::uint32_t> words;
    };

    explicit BurstTrace(board::Driver& inner) : inner_(inner) {}

    [[nodiscard]] board::OpenResult open(unsigned interfaceIndex) override {
        return inner_.open(interfaceIndex);
    }

    bool send(board::DeviceHandle handle, std::uint32_t controlCode,
              std::span<const std::byte> input, std::span<std::byte> output) override {
        const bool done = inner_.send(handle, controlCode, input, output);
        failed += done ? 0 : 1;
        if (controlCode == board::IOCTL_SO_LOAD_ARRAY) {
            ++loads;
            if (board::readRecord(input, loaded_))
                pending_.assign(loaded_.SOwords.begin(), loaded_.SOwords.begin() + loaded_.param3);
        } else if (controlCode == board::IOCTL_SO_START_SINGLE) {
            ++starts;
            bursts.push_back({transmission::ScheduleThread::now(), pending_});
        }
        return done;
    }

    [[nodiscard]] std::uint32_t lastRequestError() override { return inner_.lastRequestError(); }

    std::vector<Burst> bursts;
    int loads = 0;
    int starts = 0;
    int failed = 0;

private:
    board::Driver& inner_;
    board::SOrecord loaded_{};
    std::vector<std::uint32_t> pending_;
};

/// Board 1021 of the Wine test driver through the system's real device path, behind a burst
/// trace and the serialized driver.
struct TracedDriverBoard {
    /// Chooses and initialises board 1021 (12.5 kbit/s on every channel); false unless the
    /// driver lists the two boards of boards.conf.
    [[nodiscard]] bool open() {
        board::buildBoardList(driver, *state);
        if (state->BoardCount != 2)
            return false;
        board::applyBoard(driver, *state, 0);
        board::initializeBoard(driver, *state);
        return true;
    }

    board::windows::WindowsDriver backend{
        board::windows::makeSystemDeviceApi(),
        *board::windows::parseInterfaceClassGuid(kTestInterfaceClassText)};
    BurstTrace trace{backend};
    board::SerializedDriver driver{trace};
    std::unique_ptr<board::SharedState> state = std::make_unique<board::SharedState>();
};

} // namespace wine_driver
