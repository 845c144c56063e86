#include "replay/recorded_replay.h"

#include "labels/word_fields.h"
#include "transmission/burst_schedule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace replay {
namespace {

constexpr ScheduleTime kNeverLook = std::numeric_limits<ScheduleTime>::max();
constexpr std::size_t kMaxBurst = transmission::BurstSchedule::kMaxBurst;
constexpr ScheduleTime kSameBurstNs = transmission::BurstSchedule::kSameBurstNs;

} // namespace

RecordedReplay::RecordedReplay(board::Driver& driver, board::DeviceHandle handle,
                               const std::filesystem::path& recording, ReplayOptions options,
                               ScheduleTime start)
    : recording_(recording), options_(std::move(options)),
      reader_(std::make_unique<analysis::RecordingReader>(recording)), routesOf_(8), start_(start) {
    for (const ReplayRoute& route : options_.routes) {
        const auto same = std::find_if(outputs_.begin(), outputs_.end(), [&](const Output& o) {
            return o.transmissions->channelNo() == route.outputNo;
        });
        const auto index = static_cast<std::size_t>(same - outputs_.begin());
        if (same == outputs_.end()) {
            Output& output = outputs_.emplace_back();
            output.transmissions =
                std::make_unique<transmission::SingleTransmissions>(driver, handle, route.outputNo);
            output.wordTime = transmission::wordBusTime(route.rateCode);
        }
        std::vector<std::size_t>& routes = routesOf_[route.inputNo - 1U];
        if (std::find(routes.begin(), routes.end(), index) == routes.end())
            routes.push_back(index);
    }
    progress_.sent.resize(outputs_.size());
    ended_ = !readWord();
}

bool RecordedReplay::readWord() {
    analysis::RecordedWord word;
    for (;;) {
        if (reader_->next(word)) {
            ++progress_.rowsRead;
            if (word.ms < options_.startMs)
                continue;
            ahead_ = word;
            return true;
        }
        ahead_.reset();
        // A pass that sent nothing would go round for ever.
        if (!options_.loop || reader_->error() || progress_.recordedMs < options_.startMs ||
            progress_.rowsRead == 0)
            return false;
        // Round again from the start, a tick after the last one.
        ++progress_.passes;
        reader_ = std::make_unique<analysis::RecordingReader>(recording_);
    }
}

bool RecordedReplay::readTick() {
    if (!ahead_)
        return false;
    tick_.clear();
    const analysis::RecordedWord first = *ahead_;
    const std::uint32_t passes = progress_.passes;
    bool more = false;
    do {
        tick_.push_back(*ahead_);
        more = readWord();
    } while (more && progress_.passes == passes && ahead_->tick == first.tick &&
             ahead_->ms == first.ms);
    progress_.recordedMs = first.ms;

    // The tick lasts until the next one, a long pause of the recording cut short; the last
    // tick of a pass lasts as long as the one before it.
    double length = lastTickLength_;
    if (more && progress_.passes == passes) {
        length = static_cast<double>(ahead_->ms - first.ms);
        if (options_.longestGapMs)
            length = std::min(length, static_cast<double>(*options_.longestGapMs));
    }
    const double at = aheadAt_;
    for (std::size_t index = 0; index < tick_.size(); ++index) {
        const analysis::RecordedWord& word = tick_[index];
        if (!options_.labels.test(labels::wordLabel(word.word)))
            continue;
        const double wordAt =
            at + length * static_cast<double>(index) / static_cast<double>(tick_.size());
        for (const std::size_t output : routesOf_[word.channelNo - 1U])
            outputs_[output].due.push_back({wordAt, word.word});
    }
    aheadAt_ = at + length;
    lastTickLength_ = length;
    ended_ = !more;
    return true;
}

ScheduleTime RecordedReplay::deadline(double at) const {
    return start_ + std::llround((at - startAt_) / options_.speed * 1e6);
}

std::optional<double> RecordedReplay::nextTickAt() const {
    if (ended_ || !ahead_)
        return std::nullopt;
    return aheadAt_;
}

void RecordedReplay::sendDue(Output& output, ScheduleTime now, const ScheduleClock& clock) {
    if (output.transmissions->failed() || output.due.empty() || output.busFreeAt > now)
        return;
    std::vector<std::uint32_t> burst;
    while (!output.due.empty() && burst.size() < kMaxBurst &&
           (flush_ || deadline(output.due.front().at) <= now + kSameBurstNs)) {
        burst.push_back(output.due.front().word);
        output.due.pop_front();
    }
    if (burst.empty() || !output.transmissions->send(burst))
        return;
    output.busFreeAt = clock() + static_cast<ScheduleTime>(burst.size()) * output.wordTime;
    output.sent += burst.size();
}

bool RecordedReplay::step(ScheduleTime now, const ScheduleClock& clock) {
    if (!paused_)
        while (const std::optional<double> next = nextTickAt())
            if (deadline(*next) > now + kSameBurstNs || !readTick())
                break;
    bool alive = false;
    bool waiting = false;
    for (std::size_t index = 0; index < outputs_.size(); ++index) {
        Output& output = outputs_[index];
        if (!paused_ || flush_)
            sendDue(output, now, clock);
        progress_.sent[index] = output.sent;
        alive = alive || !output.transmissions->failed();
        waiting = waiting || (!output.transmissions->failed() && !output.due.empty());
    }
    if (!waiting)
        flush_ = false;
    progress_.finished = ended_ && !waiting;
    return alive;
}

ScheduleTime RecordedReplay::nextLook() const {
    if (paused_ && !flush_)
        return kNeverLook;
    ScheduleTime next = kNeverLook;
    if (const std::optional<double> tick = nextTickAt(); tick && !paused_)
        next = deadline(*tick);
    for (const Output& output : outputs_)
        if (!output.transmissions->failed() && !output.due.empty())
            next = std::min(
                next, std::max(output.busFreeAt, flush_ ? 0 : deadline(output.due.front().at)));
    return next;
}

std::string RecordedReplay::failure() const {
    std::string failures;
    for (const Output& output : outputs_)
        if (output.transmissions->failed())
            failures += (failures.empty() ? "" : "; ") + output.transmissions->failure();
    return failures;
}

void RecordedReplay::pause() { paused_ = true; }

void RecordedReplay::resume(ScheduleTime now) {
    if (!paused_)
        return;
    // The time line goes on from the first word not sent.
    double next = aheadAt_;
    for (const Output& output : outputs_)
        if (!output.due.empty())
            next = std::min(next, output.due.front().at);
    startAt_ = next;
    start_ = now;
    paused_ = false;
}

void RecordedReplay::stepTick(ScheduleTime /*now*/) {
    if (!paused_)
        return;
    (void)readTick();
    flush_ = true;
}

} // namespace replay
