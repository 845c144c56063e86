#include "replay/label_replay.h"

#include "labels/word_fields.h"
#include "transmission/burst_schedule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace replay {
namespace {

constexpr ScheduleTime kNeverLook = std::numeric_limits<ScheduleTime>::max();
constexpr double kIntervalWithoutAnyMs = 1000.0;

using Key = std::tuple<int, int, int>; // input, label, SDI (-1: any)

Key keyOf(const analysis::RecordedWord& word, const labels::LabelDatabase* database) {
    const unsigned channelIndex = word.channelNo - 1U;
    const unsigned label = labels::wordLabel(word.word);
    const unsigned sdi = labels::wordSdi(word.word);
    // A label the database describes is kept apart by SDI only where its rows are.
    const int keySdi = database != nullptr && database->find(channelIndex, word.word) != nullptr
                           ? database->keySdi(channelIndex, label, sdi)
                           : static_cast<int>(sdi);
    return {word.channelNo, static_cast<int>(label), keySdi};
}

struct Seen {
    std::uint64_t count = 0;
    std::uint64_t firstMs = 0;
    std::uint64_t lastMs = 0;
    std::uint32_t firstWord = 0;
};

} // namespace

LabelPlan planByLabel(const std::filesystem::path& recording, const ReplayOptions& options,
                      const labels::LabelDatabase* database) {
    LabelPlan plan;
    for (const ReplayRoute& route : options.routes)
        if (std::find(plan.outputs.begin(), plan.outputs.end(), route.outputNo) ==
            plan.outputs.end()) {
            plan.outputs.push_back(route.outputNo);
            plan.rateCodes.push_back(route.rateCode);
        }
    std::map<Key, Seen> seen;
    analysis::RecordingReader reader(recording);
    for (analysis::RecordedWord word; reader.next(word);) {
        if (word.ms < options.startMs || !options.labels.test(labels::wordLabel(word.word)))
            continue;
        Seen& key = seen[keyOf(word, database)];
        if (key.count++ == 0) {
            key.firstMs = word.ms;
            key.firstWord = word.word;
        }
        key.lastMs = word.ms;
    }
    plan.error = reader.error();

    std::vector<std::vector<transmission::ScheduledWord>> words(plan.outputs.size());
    for (const ReplayRoute& route : options.routes) {
        const auto output = static_cast<std::size_t>(
            std::find(plan.outputs.begin(), plan.outputs.end(), route.outputNo) -
            plan.outputs.begin());
        for (const auto& [key, stats] : seen) {
            if (std::get<0>(key) != route.inputNo)
                continue;
            LabelStream stream{.inputNo = route.inputNo,
                               .label = static_cast<std::uint8_t>(std::get<1>(key)),
                               .sdi = std::get<2>(key),
                               .output = output,
                               .intervalMs = kIntervalWithoutAnyMs};
            const labels::LabelDefinition* row =
                database != nullptr ? database->find(route.inputNo - 1U, stats.firstWord) : nullptr;
            if (const std::optional<double> middle = row != nullptr ? labels::windowMiddleMs(*row)
                                                                    : std::nullopt) {
                stream.leastMs = row->leastIntervalMs;
                stream.greatestMs = row->greatestIntervalMs;
                stream.intervalMs = *middle;
            } else if (stats.count > 1 && stats.lastMs > stats.firstMs) {
                stream.intervalMs = static_cast<double>(stats.lastMs - stats.firstMs) /
                                    static_cast<double>(stats.count - 1);
            }
            plan.streams.push_back(stream);
            words[output].push_back({.intervalMs = stream.intervalMs});
        }
    }
    for (std::size_t output = 0; output < plan.outputs.size(); ++output) {
        const double load = transmission::busLoadPercent(words[output], plan.rateCodes[output]);
        plan.busLoadPercent.push_back(load);
        if (load > 100.0 && plan.why.empty())
            plan.why = "выход " + std::to_string(plan.outputs[output]) + ": нагрузка на шину " +
                       std::to_string(std::lround(load)) + " %: канал столько не передаст";
    }
    return plan;
}

LabelReplay::LabelReplay(board::Driver& driver, board::DeviceHandle handle,
                         const std::filesystem::path& recording, ReplayOptions options,
                         LabelPlan plan, const labels::LabelDatabase* database, ScheduleTime start)
    : recording_(recording), options_(std::move(options)), plan_(std::move(plan)),
      database_(database), reader_(std::make_unique<analysis::RecordingReader>(recording)),
      start_(start), startAt_(static_cast<double>(options_.startMs)) {
    std::vector<std::vector<transmission::ScheduledWord>> words(plan_.outputs.size());
    for (const LabelStream& stream : plan_.streams) {
        slots_[{stream.inputNo, stream.label, stream.sdi}].emplace_back(
            stream.output, words[stream.output].size());
        words[stream.output].push_back({.intervalMs = stream.intervalMs,
                                        .leastMs = stream.leastMs,
                                        .greatestMs = stream.greatestMs,
                                        .paused = true}); // until its first word is read
    }
    for (std::size_t output = 0; output < plan_.outputs.size(); ++output)
        senders_.push_back(std::make_unique<transmission::PeriodicSender>(
            driver, handle, plan_.outputs[output],
            transmission::BurstSchedule(words[output], plan_.rateCodes[output], start)));
    progress_.sent.resize(senders_.size());
    ended_ = !readWord();
}

bool LabelReplay::readWord() {
    analysis::RecordedWord word;
    for (;;) {
        if (reader_->next(word)) {
            ++progress_.rowsRead;
            if (word.ms < options_.startMs)
                continue;
            ahead_ = word;
            lastMs_ = word.ms;
            return true;
        }
        ahead_.reset();
        if (!options_.loop || reader_->error() || lastMs_ <= options_.startMs)
            return false;
        // Round again, the next pass's start where this one ended.
        ++progress_.passes;
        passOffsetMs_ += static_cast<double>(lastMs_ - options_.startMs);
        reader_ = std::make_unique<analysis::RecordingReader>(recording_);
    }
}

double LabelReplay::recordedAt(ScheduleTime now) const {
    return startAt_ + static_cast<double>(now - start_) / 1e6 * options_.speed;
}

void LabelReplay::take(const analysis::RecordedWord& word, ScheduleTime now) {
    progress_.recordedMs = word.ms;
    if (!options_.labels.test(labels::wordLabel(word.word)))
        return;
    const auto slots = slots_.find(keyOf(word, database_));
    if (slots == slots_.end())
        return;
    for (const auto& [output, index] : slots->second) {
        transmission::BurstSchedule& schedule = senders_[output]->schedule();
        schedule.setWord(index, word.word);
        if (schedule.word(index).paused)
            schedule.setPaused(index, false, now);
    }
}

bool LabelReplay::step(ScheduleTime now, const ScheduleClock& clock) {
    bool alive = false;
    if (!paused_) {
        const double at = recordedAt(now);
        while (ahead_ && static_cast<double>(ahead_->ms) + passOffsetMs_ <= at) {
            take(*ahead_, now);
            ended_ = !readWord();
        }
    }
    for (std::size_t output = 0; output < senders_.size(); ++output) {
        transmission::PeriodicSender& sender = *senders_[output];
        if (!paused_ && !ended_)
            (void)sender.step(now, clock);
        std::uint64_t sent = 0;
        for (std::size_t index = 0; index < sender.schedule().size(); ++index)
            sent += sender.schedule().timing(index).sent;
        progress_.sent[output] = sent;
        alive = alive || !sender.failed();
    }
    progress_.finished = ended_;
    return alive;
}

ScheduleTime LabelReplay::nextLook() const {
    if (paused_ || ended_)
        return kNeverLook;
    ScheduleTime next = kNeverLook;
    if (ahead_)
        next = start_ + std::llround((static_cast<double>(ahead_->ms) + passOffsetMs_ - startAt_) /
                                     options_.speed * 1e6);
    for (const auto& sender : senders_)
        if (!sender->failed())
            next = std::min(next, sender->nextLook());
    return next;
}

std::string LabelReplay::failure() const {
    std::string failures;
    for (const auto& sender : senders_)
        if (sender->failed())
            failures += (failures.empty() ? "" : "; ") + sender->failure();
    return failures;
}

void LabelReplay::pause(ScheduleTime now) {
    if (paused_)
        return;
    startAt_ = recordedAt(now);
    start_ = now;
    paused_ = true;
}

void LabelReplay::resume(ScheduleTime now) {
    if (!paused_)
        return;
    start_ = now;
    paused_ = false;
}

} // namespace replay
