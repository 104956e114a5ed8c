// The platforms' event queue: the order events come out in, posted events and their wake-ups
// from other threads, the signal's Quit, wheel notches, and the timed wait.
#include <gtest/gtest.h>

#include <csignal>
#include <algorithm>
#include <thread>
#include <vector>

#include "platform/event_queue.h"

using plat::Event;
using plat::EventKind;
using plat::EventQueue;

namespace {
Event KeyEvent(uint16_t key) {
  Event e;
  e.Kind = EventKind::KeyDown;
  e.Key = key;
  return e;
}

// Everything Poll hands out while no system message is left.
std::vector<uint16_t> DrainKeys(EventQueue& q) {
  std::vector<uint16_t> keys;
  Event e;
  while (q.Poll(e, [] { return false; })) keys.push_back(e.Key);
  return keys;
}
}  // namespace

TEST(EventQueue, TranslatedEventsFirstThenMessagesThenPostedOnesWithoutAWakeUp) {
  EventQueue q;
  Event e;
  EXPECT_FALSE(q.Poll(e, [] { return false; }));
  q.Emit(KeyEvent('A'));
  q.Post(KeyEvent('P'));  // its wake-up never comes
  // Messages are pumped one at a time, and only until one of them gives an event.
  int messages = 3, pumped = 0;
  auto pumpOne = [&] {
    if (messages == 0) return false;
    --messages;
    ++pumped;
    if (messages == 1) q.Emit(KeyEvent('M'));  // the second message translates into a key
    return true;
  };
  ASSERT_TRUE(q.Poll(e, pumpOne));
  EXPECT_EQ(e.Key, 'A');
  EXPECT_EQ(pumped, 0);
  ASSERT_TRUE(q.Poll(e, pumpOne));
  EXPECT_EQ(e.Key, 'M');
  EXPECT_EQ(pumped, 2);
  // The last message gives nothing: the posted event is handed out all the same.
  ASSERT_TRUE(q.Poll(e, pumpOne));
  EXPECT_EQ(e.Key, 'P');
  EXPECT_EQ(pumped, 3);
  EXPECT_FALSE(q.Poll(e, pumpOne));
}

TEST(EventQueue, AWakeUpBringsTheOldestPostedEventIntoLine) {
  EventQueue q;
  q.Post(KeyEvent('1'));
  q.Post(KeyEvent('2'));
  q.Emit(KeyEvent('A'));
  q.WakeUp();  // '1' now comes after 'A' and before what is translated later
  q.Emit(KeyEvent('B'));
  EXPECT_EQ(DrainKeys(q), (std::vector<uint16_t>{'A', '1', 'B', '2'}));
  q.WakeUp();  // a wake-up whose event was taken already does nothing
  EXPECT_TRUE(DrainKeys(q).empty());
}

TEST(EventQueue, EventsPostedFromOtherThreadsAllArriveEachThreadsInOrder) {
  EventQueue q;
  constexpr int kThreads = 4, kEach = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&q, t] {
      for (int i = 0; i < kEach; ++i) {
        Event e = KeyEvent(static_cast<uint16_t>(t));
        e.TimerId = i;
        q.Post(e);
      }
    });
  // The window's thread takes them as they come, wake-ups and all.
  std::vector<int> next(kThreads, 0);
  int got = 0;
  Event e;
  while (got < kThreads * kEach) {
    q.WakeUp();
    if (!q.Poll(e, [] { return false; })) continue;
    ASSERT_LT(e.Key, kThreads);
    EXPECT_EQ(e.TimerId, next[e.Key]);
    next[e.Key] = e.TimerId + 1;
    ++got;
  }
  for (std::thread& t : threads) t.join();
  EXPECT_FALSE(q.Poll(e, [] { return false; }));
}

TEST(EventQueue, TheSignalsQuitGoesFirstOnce) {
  volatile std::sig_atomic_t quit = 0;
  EventQueue q(&quit);
  q.Emit(KeyEvent('A'));
  quit = 1;
  Event e;
  ASSERT_TRUE(q.Poll(e, [] { return false; }));
  EXPECT_EQ(e.Kind, EventKind::Quit);
  EXPECT_EQ(quit, 0);
  // A signal while messages are pumped also goes before the message's own event.
  ASSERT_TRUE(q.Poll(e, [] { return false; }));
  EXPECT_EQ(e.Key, 'A');
  bool once = true;
  ASSERT_TRUE(q.Poll(e, [&] {
    if (!once) return false;
    once = false;
    q.Emit(KeyEvent('B'));
    quit = 1;
    return true;
  }));
  EXPECT_EQ(e.Kind, EventKind::Quit);
  EXPECT_EQ(DrainKeys(q), (std::vector<uint16_t>{'B'}));
}

TEST(EventQueue, WheelSumsGiveWholeNotchesAndKeepTheRest) {
  EventQueue q;
  Event at;
  at.X = 12;
  at.Y = 34;
  at.Shift = ssCtrl;
  float fine = 2.5f;
  q.EmitNotches(at, fine, 1.0f);
  EXPECT_FLOAT_EQ(fine, 0.5f);
  int coarse = -250;  // in 120ths of a notch
  q.EmitNotches(at, coarse, 120);
  EXPECT_EQ(coarse, -10);
  int small = 119;
  q.EmitNotches(at, small, 120);
  EXPECT_EQ(small, 119);
  std::vector<EventKind> kinds;
  Event e;
  while (q.Poll(e, [] { return false; })) {
    kinds.push_back(e.Kind);
    EXPECT_EQ(e.X, 12);
    EXPECT_EQ(e.Y, 34);
    EXPECT_EQ(e.Shift, ssCtrl);
  }
  EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::WheelUp, EventKind::WheelUp, EventKind::WheelDown,
                                           EventKind::WheelDown}));
}

namespace {
// A clock the waits move on, by at most `step` ms each; polls give an event from poll number
// `eventAt` on (0: never).
struct WaitScript {
  uint32_t clock = 0;
  uint32_t step = 30;
  int polls = 0;
  int eventAt = 0;
  std::vector<int> waits;

  bool Run(int timeoutMs) {
    Event e;
    return plat::WaitForEvent(
        e, timeoutMs, [this](Event&) { return ++polls == eventAt; }, [this] { return clock; },
        [this](int left) {
          waits.push_back(left);
          clock += left < 0 ? step : std::min<uint32_t>(step, static_cast<uint32_t>(left));
        });
  }
};
}  // namespace

TEST(WaitForEvent, WaitsForTheTimeLeftThenPollsALastTime) {
  WaitScript w;
  EXPECT_FALSE(w.Run(100));
  EXPECT_EQ(w.waits, (std::vector<int>{100, 70, 40, 10}));
  EXPECT_EQ(w.polls, 6);  // the first, one after each wait, the last
  // No time at all: two polls, no wait.
  WaitScript none;
  EXPECT_FALSE(none.Run(0));
  EXPECT_TRUE(none.waits.empty());
  EXPECT_EQ(none.polls, 2);
  // A clock that wraps round during the wait.
  WaitScript wrap;
  wrap.clock = 0xFFFFFFF0u;
  EXPECT_FALSE(wrap.Run(100));
  EXPECT_EQ(wrap.waits, (std::vector<int>{100, 70, 40, 10}));
}

TEST(WaitForEvent, EndsWithTheFirstEventAndWaitsWithoutLimitWhenAskedTo) {
  WaitScript first;
  first.eventAt = 1;
  EXPECT_TRUE(first.Run(100));
  EXPECT_TRUE(first.waits.empty());
  WaitScript third;
  third.eventAt = 3;
  EXPECT_TRUE(third.Run(100));
  EXPECT_EQ(third.waits, (std::vector<int>{100, 70}));
  WaitScript forever;
  forever.eventAt = 50;
  EXPECT_TRUE(forever.Run(-1));
  EXPECT_EQ(forever.waits, std::vector<int>(49, -1));
}

TEST(BoxFocusGate, NoticesAroundTheErrorBoxAreHeldBackThenTheRealFocusIsLookedAt) {
  plat::BoxFocusGate gate;
  EXPECT_TRUE(gate.Pass(100)) << "without a box every notice passes";
  EXPECT_FALSE(gate.Settle(100)) << "and nothing needs settling";

  gate.BoxOpened();
  EXPECT_FALSE(gate.Pass(200)) << "the box took the focus";
  EXPECT_FALSE(gate.Settle(5000)) << "nothing is settled while the box is open";
  gate.BoxClosed(6000);
  EXPECT_FALSE(gate.Pass(6010)) << "the focus lost to the box, told only after it closed";
  EXPECT_FALSE(gate.Pass(6300)) << "the focus given back";
  EXPECT_FALSE(gate.Settle(6999));
  EXPECT_TRUE(gate.Settle(7000)) << "then the real focus is looked at, once";
  EXPECT_FALSE(gate.Settle(7100));
  EXPECT_TRUE(gate.Pass(7200)) << "later notices are the player's again";

  // A box without any notice around it leaves nothing to settle.
  gate.BoxOpened();
  gate.BoxClosed(0xFFFFFF00u);
  EXPECT_FALSE(gate.Settle(0xFFFFFF00u + 2000));
  EXPECT_TRUE(gate.Pass(0xFFFFFF00u + 2000)) << "across the clock's wrap too";
}
