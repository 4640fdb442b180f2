// The debounce: a burst of events is one rebuild, on the rule's own clock and
// on the loop's thread.
#include "tools/serve/debounce.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace scenario::tool::serve {
namespace {

using namespace std::chrono_literals;

TEST(Debouncer, ABurstIsDueOnceWhenTheFolderHasBeenQuiet) {
  Debouncer d(25ms, 250ms);
  const Clock::time_point t0{};
  EXPECT_FALSE(d.deadline());
  d.event(t0);
  d.event(t0 + 5ms);
  d.event(t0 + 12ms);
  EXPECT_EQ(d.deadline(), t0 + 37ms);
  EXPECT_FALSE(d.take_due(t0 + 36ms));
  const std::optional<Burst> burst = d.take_due(t0 + 37ms);
  ASSERT_TRUE(burst);
  EXPECT_EQ(burst->events, 3);
  EXPECT_EQ(burst->first, t0);
  EXPECT_EQ(burst->last, t0 + 12ms);
  EXPECT_FALSE(d.take_due(t0 + 1s));
  EXPECT_FALSE(d.deadline());
}

TEST(Debouncer, EventsWithoutPauseStillGiveARebuildAfterTheLongestWait) {
  Debouncer d(25ms, 250ms);
  const Clock::time_point t0{};
  int due = 0;
  for (auto t = 0ms; t <= 600ms; t += 10ms) {
    d.event(t0 + t);
    if (d.take_due(t0 + t)) ++due;
  }
  EXPECT_EQ(due, 2);  // at 250 ms and at 510 ms
}

TEST(RebuildLoop, ABurstOfChangesGivesOneRebuild) {
  std::atomic<int> rebuilds{0}, events{0};
  {
    // A quiet period far longer than the burst takes, even on a busy machine
    // that stops this thread for a while.
    constexpr auto kQuiet = 200ms;
    RebuildLoop loop(
        [&](const Burst& b) {
          events += b.events;
          ++rebuilds;
        },
        Debouncer(kQuiet, 10s));
    for (int i = 0; i < 200; ++i) loop.sources_changed();
    for (int i = 0; i < 800 && rebuilds == 0; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(kQuiet * 4);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(events, 200);
    loop.sources_changed();
    for (int i = 0; i < 400 && rebuilds == 1; ++i) std::this_thread::sleep_for(5ms);
    EXPECT_EQ(rebuilds, 2);
  }
}

TEST(RebuildLoop, APendingBurstIsDroppedWhenTheLoopGoes) {
  std::atomic<int> rebuilds{0};
  {
    RebuildLoop loop([&](const Burst&) { ++rebuilds; }, Debouncer(10s, 10s));
    loop.sources_changed();
  }
  EXPECT_EQ(rebuilds, 0);
}

}  // namespace
}  // namespace scenario::tool::serve
