// The refresh period field: whatever is typed, Apply gives a period in 100..10000 ms, and
// the text shown for a period reads back as that period.

#include "fuzz_support.h"

#include "board/shared_state.h"
#include "reception/refresh_period.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

bool inRange(std::int32_t period) {
    return period >= reception::kMinRefreshPeriodMs && period <= reception::kMaxRefreshPeriodMs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    std::int32_t period = input.ConsumeBool() ? input.ConsumeIntegral<std::int32_t>()
                                              : board::kInitialRefreshPeriodMs;
    while (input.remaining_bytes() > 0) {
        const std::string text = input.ConsumeRandomLengthString(16);
        // Every prefix, as the text stands after each keystroke, with Apply pressed each time.
        for (std::size_t length = 0; length <= text.size(); ++length) {
            const std::int32_t applied =
                reception::appliedRefreshPeriod(text.substr(0, length), period);
            FUZZ_CHECK(inRange(applied));
            period = applied;
            const std::string shown = reception::refreshPeriodText(period);
            FUZZ_CHECK(reception::appliedRefreshPeriod(shown, reception::kMinRefreshPeriodMs) ==
                       period);
        }
    }
    return 0;
}
