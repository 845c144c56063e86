// The periodic transmit schedule on a manual clock: each word at its own interval, bursts
// that never overlap on the bus, deadlines that do not drift.

#include "transmission/burst_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using transmission::BurstSchedule;
using transmission::ScheduledWord;
using transmission::ScheduleMode;
using transmission::ScheduleTime;

constexpr ScheduleTime kMs = transmission::kNanosPerMs;
constexpr std::uint8_t kFastest = 2; // 100 kbit/s: 0.36 ms a word

ScheduledWord every(std::uint32_t label, double intervalMs) {
    ScheduledWord word;
    word.word = label;
    word.intervalMs = intervalMs;
    return word;
}

struct Burst {
    ScheduleTime at;
    std::size_t words;
};

/// Runs the schedule as its timer would, each look `lateBy` after the time asked for; returns
/// the bursts.
std::vector<Burst> run(BurstSchedule& schedule, ScheduleTime until,
                       const std::vector<ScheduleTime>& lateBy = {0}) {
    std::vector<Burst> bursts;
    std::size_t look = 0;
    for (ScheduleTime now = 0; now < until;) {
        if (const std::size_t words = schedule.dueAt(now).size(); words != 0) {
            bursts.push_back({now, words});
            schedule.sent(now);
        }
        now = schedule.nextLook() + lateBy[look++ % lateBy.size()];
    }
    return bursts;
}

TEST(BurstSchedule, BusLoadAndWhatTheBusCannotCarry) {
    // 0.36 ms a word at 100 kbit/s: a word every 3.6 ms is a tenth of the bus.
    const std::vector<ScheduledWord> tenth = {every(0203, 3.6)};
    EXPECT_NEAR(transmission::busLoadPercent(tenth, kFastest), 10.0, 1e-9);
    EXPECT_NEAR(transmission::busLoadPercent(tenth, 0), 80.0, 1e-9) << "2.88 ms at 12.5 kbit/s";
    const std::vector<ScheduledWord> tooMuch = {every(0203, 2.0), every(0204, 2.0)};
    const transmission::ScheduleCheck check =
        transmission::checkSchedule(tooMuch, 0, ScheduleMode::BestEffort);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.why, "нагрузка на шину 288 %: канал столько не передаст");
    EXPECT_FALSE(
        transmission::checkSchedule(std::vector{every(0203, 0.0)}, 0, ScheduleMode::BestEffort).ok);
    // A window opened before any parameter is added checks an empty schedule.
    EXPECT_TRUE(transmission::checkSchedule({}, 0, ScheduleMode::Strict).ok);
}

TEST(BurstSchedule, StrictRefusesAWindowTooTightForTheBurstsBestEffortSendsIt) {
    std::vector<ScheduledWord> words(32, every(0, 60.0));
    for (std::size_t k = 0; k < words.size(); ++k) {
        words[k].word = static_cast<std::uint32_t>(0200 + k);
        words[k].leastMs = 50.0;
        words[k].greatestMs = 70.0;
    }
    const transmission::ScheduleCheck fast =
        transmission::checkSchedule(words, kFastest, ScheduleMode::Strict);
    EXPECT_TRUE(fast.ok) << fast.why;
    // At 12.5 kbit/s 32 words take 92 ms a burst: the bus is too busy for 50..70 ms.
    words.resize(20);
    for (ScheduledWord& word : words)
        word.intervalMs = 60.0 + static_cast<double>(word.word % 3) * 5.0;
    const transmission::ScheduleCheck strict =
        transmission::checkSchedule(words, 0, ScheduleMode::Strict);
    EXPECT_FALSE(strict.ok);
    EXPECT_NE(strict.why.find("мс выходит из окна 50.0..70.0 мс"), std::string::npos) << strict.why;
    EXPECT_TRUE(transmission::checkSchedule(words, 0, ScheduleMode::BestEffort).ok);
}

TEST(BurstSchedule, EachWordAtItsIntervalWithoutOverlapOrDrift) {
    // 32 labels at 20..1000 ms for a simulated minute, every look up to 3 ms late.
    std::vector<ScheduledWord> words;
    for (std::uint32_t k = 0; k < 32; ++k)
        words.push_back(every(0200 + k, 20.0 + 31.0 * k));
    BurstSchedule schedule(words, kFastest, 0);
    std::mt19937 random(7);
    std::vector<ScheduleTime> lateBy(101);
    for (ScheduleTime& late : lateBy)
        late = std::uniform_int_distribution<ScheduleTime>(0, 3 * kMs)(random);
    const std::vector<Burst> bursts = run(schedule, 60'000 * kMs, lateBy);
    for (std::size_t k = 0; k < words.size(); ++k) {
        const double expected = 60'000.0 / words[k].intervalMs;
        EXPECT_NEAR(static_cast<double>(schedule.timing(k).sent), expected, 1.0) << k;
        EXPECT_NEAR(schedule.timing(k).shortestMs, words[k].intervalMs, 4.0) << k;
        EXPECT_NEAR(schedule.timing(k).longestMs, words[k].intervalMs, 4.0) << k;
    }
    EXPECT_FALSE(bursts.empty());
}

TEST(BurstSchedule, WordsDueInTheSameMillisecondShareABurst) {
    // Eight words at one interval start 0.36 ms apart: about three to a millisecond.
    std::vector<ScheduledWord> words;
    for (std::uint32_t k = 0; k < 8; ++k)
        words.push_back(every(0200 + k, 50.0));
    BurstSchedule schedule(words, kFastest, 0);
    const std::vector<Burst> bursts = run(schedule, 1'000 * kMs);
    EXPECT_EQ(bursts.size(), 60u);
    for (std::size_t k = 0; k < words.size(); ++k)
        EXPECT_EQ(schedule.timing(k).sent, 20u);
}

TEST(BurstSchedule, NoBurstWhileTheLastIsOnTheBus) {
    // 100 words every 400 ms at 12.5 kbit/s: 288 ms of bus time each round.
    std::vector<ScheduledWord> words;
    for (std::uint32_t k = 0; k < 100; ++k)
        words.push_back(every(k, 400.0));
    BurstSchedule schedule(words, 0, 0);
    const std::vector<Burst> bursts = run(schedule, 4'000 * kMs);
    const ScheduleTime wordTime = transmission::wordBusTime(0);
    for (std::size_t k = 1; k < bursts.size(); ++k)
        EXPECT_GE(bursts[k].at - bursts[k - 1].at,
                  static_cast<ScheduleTime>(bursts[k - 1].words) * wordTime);
    for (std::size_t k = 0; k < words.size(); ++k)
        EXPECT_EQ(schedule.timing(k).sent, 10u) << k;
}

TEST(BurstSchedule, ALookMoreThanAnIntervalLateLetsTheMissedDeadlinesGo) {
    const std::vector<ScheduledWord> words = {every(0203, 10.0)};
    BurstSchedule schedule(words, kFastest, 0);
    ASSERT_EQ(schedule.dueAt(0).size(), 1u);
    schedule.sent(0);
    // The next look comes 55 ms late: one word, then on at the old phase (70, 80, ...).
    ASSERT_EQ(schedule.dueAt(65 * kMs).size(), 1u);
    schedule.sent(65 * kMs);
    EXPECT_EQ(schedule.nextLook(), 70 * kMs);
}

TEST(BurstSchedule, AWordOrItsIntervalChangesWhileItRunsAndARowPauses) {
    const std::vector<ScheduledWord> words = {every(0203, 10.0), every(0204, 10.0)};
    BurstSchedule schedule(words, kFastest, 0);
    ASSERT_EQ(schedule.dueAt(0).size(), 2u) << "0.36 ms apart: one burst";
    schedule.sent(0);
    schedule.setWord(0, 0x60000083);
    schedule.setInterval(1, 25.0, 3 * kMs);
    schedule.setPaused(0, true, 3 * kMs);
    EXPECT_EQ(schedule.nextLook(), 25 * kMs) << "from its last sending, at the new interval";
    const std::span<const std::uint32_t> due = schedule.dueAt(25 * kMs);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0], 0204u);
    schedule.sent(25 * kMs);
    schedule.setPaused(0, false, 30 * kMs);
    const std::span<const std::uint32_t> resumed = schedule.dueAt(30 * kMs);
    ASSERT_EQ(resumed.size(), 1u);
    EXPECT_EQ(resumed[0], 0x60000083u);
}

} // namespace
