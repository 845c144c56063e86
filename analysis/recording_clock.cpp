#include "analysis/recording_clock.h"

#include <ctime>

namespace analysis {
namespace {

class SystemRecordingClock final : public RecordingClock {
public:
    LocalDateTime localNow() override {
        using namespace std::chrono;
        const system_clock::time_point now = system_clock::now();
        const auto wholeSeconds = floor<std::chrono::seconds>(now);
        const std::time_t seconds = system_clock::to_time_t(wholeSeconds);
        const auto sinceSecond = duration_cast<milliseconds>(now - wholeSeconds);
        // The monitor runs on one thread, so the shared result of localtime is safe here.
        const std::tm* local = std::localtime(&seconds);
        if (local == nullptr)
            return {};
        return {local->tm_year + 1900,
                local->tm_mon + 1,
                local->tm_mday,
                local->tm_hour,
                local->tm_min,
                local->tm_sec,
                static_cast<int>(sinceSecond.count() % 1000)};
    }

    std::chrono::milliseconds monotonicNow() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
    }
};

} // namespace

RecordingClock& systemRecordingClock() {
    static SystemRecordingClock clock;
    return clock;
}

} // namespace analysis
