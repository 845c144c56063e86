// One refresh tick's reads, 8 channels x 256 cells = 2,048 IOCTL_SI_READ through the monitor's
// own read loop, timed through the system's device path under Wine to the Wine test driver
// and on the simulated back-end in the same run, alternating; prints the medians and their
// ratio. Wine's device host is a user process that every request reaches through the Wine
// server: the figures say what this path costs under Wine, not what Windows' kernel costs.
//
//     wine_device_path_benchmark [<ticks of each>]

#include "board/board_session.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "board/simulated/simulated_driver.h"
#include "board/windows/system_api.h"
#include "board/windows/windows_driver.h"
#include "reception/refresh_tick.h"
#include "tests/wine_driver/test_interface_class.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

/// Board 0 opened, initialised, and receiving by address on all eight inputs.
struct ReadingBoard {
    explicit ReadingBoard(std::unique_ptr<board::Driver> backend) : driver(std::move(backend)) {
        state.DeviceHandle = driver->open(0).handle;
        board::initializeBoard(*driver, state);
        for (std::uint16_t channel = 1; channel <= board::kMaxChannels; ++channel) {
            board::sendCommand(*driver, state.DeviceHandle, board::IOCTL_SI_START_ADDRESS,
                               board::SIStartRecord{channel, 1, 0xFFFF, 0xFFFF});
            state.SImode[channel - 1u] = board::SImodeAddress;
        }
    }

    [[nodiscard]] double tickMs() {
        const Clock::time_point start = Clock::now();
        const reception::ChannelReadResult read = reception::readRunningChannels(*driver, state);
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        if (read.channelsRead != board::kMaxChannels)
            std::fprintf(stderr, "only %d channels read\n", read.channelsRead);
        return elapsed.count();
    }

    std::unique_ptr<board::Driver> driver;
    board::SharedState state;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ReadingBoard devicePath(std::make_unique<board::windows::WindowsDriver>(
        board::windows::makeSystemDeviceApi(),
        *board::windows::parseInterfaceClassGuid(wine_driver::kTestInterfaceClassText)));
    if (devicePath.state.DeviceHandle == board::kNoDevice) {
        std::fprintf(stderr, "wine_device_path_benchmark: no board at interface index 0\n");
        return 1;
    }
    ReadingBoard simulatedBoard(std::make_unique<board::simulated::SimulatedDriver>(
        board::simulated::defaultSimulatorConfig()));
    std::vector<double> viaDevicePath;
    std::vector<double> onSimulated;
    for (int tick = 0; tick < ticks; ++tick) {
        viaDevicePath.push_back(devicePath.tickMs());
        onSimulated.push_back(simulatedBoard.tickMs());
    }
    const double device = median(viaDevicePath);
    const double simulated = median(onSimulated);
    std::printf("device path benchmark (medians of %d ticks of 2,048 reads): Wine device path "
                "%.2f ms (%.1f us a read), simulated back-end %.3f ms, ratio %.0f; Wine's "
                "device host is not Windows' kernel\n",
                ticks, device, device * 1000.0 / 2048.0, simulated, device / simulated);
    return 0;
}
