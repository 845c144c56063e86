#include "trace_driver.h"

#include "control_codes.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <ctime>
#include <utility>

namespace board {
namespace {

constexpr SimTime kFlushInterval = kNanosPerSecond / 4;
constexpr std::string_view kTruncated = "...";
// Room kept at the end of a line for the status and the newline.
constexpr std::size_t kTailRoom = 32;

} // namespace

TraceDriver::TraceDriver(std::unique_ptr<Driver> inner, File out, const SimClock& clock)
    : inner_(std::move(inner)), out_(std::move(out)), clock_(clock), start_(clock.now()),
      lastFlush_(start_) {
    const std::time_t wallClock = std::time(nullptr);
    char stamp[32] = "?";
    if (const std::tm* local = std::localtime(&wallClock))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
    std::fprintf(out_.get(), "# ZELVA-1 driver trace started %s\n", stamp);
}

TraceDriver::~TraceDriver() { std::fflush(out_.get()); }

OpenResult TraceDriver::open(unsigned interfaceIndex) {
    const OpenResult result = inner_->open(interfaceIndex);
    if (interfaceIndex < kIndices && result.valid())
        handleByIndex_[interfaceIndex] = result.handle;
    const SimTime now = clock_.now();
    beginLine(now, static_cast<int>(interfaceIndex));
    if (result.valid()) {
        appendText("open ok");
    } else {
        char code[32];
        std::snprintf(code, sizeof code, "open failed %" PRIu32, result.errorCode);
        appendText(code);
    }
    endLine(now);
    return result;
}

bool TraceDriver::send(DeviceHandle handle, std::uint32_t controlCode,
                       std::span<const std::byte> input, std::span<std::byte> output) {
    const bool completed = inner_->send(handle, controlCode, input, output);
    innerError_ = completed ? 0 : inner_->lastRequestError();
    const SimTime now = clock_.now();
    beginLine(now, indexOf(handle));
    if (const std::string_view name = controlCodeName(controlCode); !name.empty()) {
        appendText(name);
    } else {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08" PRIX32, controlCode);
        appendText(code);
    }
    appendText(" in ");
    appendHex(input);
    appendText(" out ");
    appendHex(output);
    appendText(completed ? " ok" : " failed");
    endLine(now);
    return completed;
}

void TraceDriver::beginLine(SimTime now, int interfaceIndex) {
    const SimTime elapsed = now - start_;
    char head[64];
    const long long seconds = elapsed / kNanosPerSecond;
    const long long micros = (elapsed % kNanosPerSecond) / 1000;
    if (interfaceIndex >= 0)
        std::snprintf(head, sizeof head, "%6lld.%06lld %d ", seconds, micros, interfaceIndex);
    else
        std::snprintf(head, sizeof head, "%6lld.%06lld ? ", seconds, micros);
    length_ = 0;
    appendText(head);
}

void TraceDriver::appendText(std::string_view text) {
    const std::size_t room = line_.size() - 1 - length_;
    const std::size_t n = std::min(text.size(), room);
    std::memcpy(line_.data() + length_, text.data(), n);
    length_ += n;
}

void TraceDriver::appendHex(std::span<const std::byte> bytes) {
    if (bytes.empty()) {
        appendText("-");
        return;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    for (const std::byte byte : bytes) {
        if (length_ + 2 + kTailRoom > line_.size()) {
            appendText(kTruncated);
            return;
        }
        const auto value = static_cast<unsigned>(byte);
        line_[length_++] = kDigits[value >> 4];
        line_[length_++] = kDigits[value & 0xFu];
    }
}

void TraceDriver::endLine(SimTime now) {
    line_[length_++] = '\n';
    std::fwrite(line_.data(), 1, length_, out_.get());
    if (now - lastFlush_ >= kFlushInterval) {
        std::fflush(out_.get());
        lastFlush_ = now;
    }
}

int TraceDriver::indexOf(DeviceHandle handle) const {
    if (handle == kNoDevice)
        return -1;
    for (unsigned i = 0; i < kIndices; ++i)
        if (handleByIndex_[i] == handle)
            return static_cast<int>(i);
    return -1;
}

std::unique_ptr<Driver> withTrace(std::unique_ptr<Driver> inner, const std::string& path,
                                  const SimClock& clock, std::string& problem) {
    TraceDriver::File file(std::fopen(path.c_str(), "a"));
    if (!file) {
        problem = std::strerror(errno);
        return inner;
    }
    return std::make_unique<TraceDriver>(std::move(inner), std::move(file), clock);
}

} // namespace board
