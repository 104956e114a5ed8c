// The events a platform has for the game: those it translated from the system's messages,
// in order, and those posted from any thread, each of which a wake-up message brings into
// line. Shared by the SDL and Win32 platforms, with the loops of their PollEvent and
// WaitEvent around their own message calls.
#pragma once
#include <csignal>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/platform.h"

namespace plat {

// Moves the first event of a queue into e; false when the queue is empty.
bool TakeFirst(std::deque<Event>& queue, Event& e);

class EventQueue {
 public:
  // quitFlag, when given, is set by a signal handler: a Quit goes before anything else.
  explicit EventQueue(volatile std::sig_atomic_t* quitFlag = nullptr) : quitFlag_(quitFlag) {}

  // --- the window's thread -------------------------------------------------------------
  void Emit(const Event& e) { ready_.push_back(e); }
  // Whole notches of a wheel: takes every whole notch out of sum, one WheelUp event each
  // while it is positive, one WheelDown each while negative; the rest of e as given.
  template <class T>
  void EmitNotches(Event e, T& sum, T notch) {
    while (sum >= notch) {
      e.Kind = EventKind::WheelUp;
      Emit(e);
      sum -= notch;
    }
    while (sum <= -notch) {
      e.Kind = EventKind::WheelDown;
      Emit(e);
      sum += notch;
    }
  }
  // A wake-up message came: the oldest posted event takes its place among the translated.
  void WakeUp();
  // The next event for PollEvent without blocking: one waiting; else the system's messages
  // pumped through pumpOne, one a call (false when none is left), until one gives an event;
  // else a posted event whose wake-up could not be queued.
  template <class PumpOne>
  bool Poll(Event& e, PumpOne pumpOne) {
    if (TakeReady(e)) return true;
    while (pumpOne())
      if (TakeReady(e)) return true;
    return TakePosted(e);
  }

  // --- any thread -------------------------------------------------------------------------
  // Queues e; the caller then sends a wake-up message (if that fails, Poll still finds e).
  void Post(const Event& e);

 private:
  bool TakeReady(Event& e);
  bool TakePosted(Event& e);

  volatile std::sig_atomic_t* quitFlag_;
  std::deque<Event> ready_;  // translated, not yet handed out (the window's thread)
  std::mutex postLock_;
  std::deque<Event> posted_;  // from Post, any thread
};

// Focus notices around the platform's own error box. The box takes the focus from the game's
// window while it is open and gives it back when it closes; neither is the player leaving
// the game. Focus notices that come while the box is open, or within kQuietMs of its closing,
// are held back; once that time is over the platform looks at where the focus really is and
// reports only a change from what the game was last told.
class BoxFocusGate {
 public:
  static constexpr uint32_t kQuietMs = 1000;

  void BoxOpened() { open_ = true; }
  void BoxClosed(uint32_t now) {
    open_ = false;
    closedAt_ = now;
    quiet_ = true;
  }
  // Whether a focus notice at now goes to the game; false: held back (the focus is then
  // looked at again when Settle says so).
  bool Pass(uint32_t now) {
    if (open_ || (quiet_ && now - closedAt_ < kQuietMs)) {
      held_ = true;
      return false;
    }
    quiet_ = false;
    return true;
  }
  // True once after the quiet time when notices were held back: the caller then reports the
  // window's real focus (a change only).
  bool Settle(uint32_t now) {
    if (open_ || !held_ || (quiet_ && now - closedAt_ < kQuietMs)) return false;
    held_ = false;
    quiet_ = false;
    return true;
  }

 private:
  bool open_ = false;
  bool quiet_ = false;
  bool held_ = false;
  uint32_t closedAt_ = 0;
};

// The loop of WaitEvent: poll(e) first; then, until it gives an event or timeoutMs (-1: no
// limit) has passed on now() (a millisecond clock that may wrap), wait(ms) blocks in the
// system's wait for at most the ms left (-1: no limit) and poll(e) is asked again. After
// the time is up poll(e) has the last word.
template <class PollFn, class NowFn, class WaitFn>
bool WaitForEvent(Event& e, int timeoutMs, PollFn poll, NowFn now, WaitFn wait) {
  if (poll(e)) return true;
  const uint32_t start = now();
  for (;;) {
    int left = -1;
    if (timeoutMs >= 0) {
      const uint32_t spent = static_cast<uint32_t>(now() - start);
      if (spent >= static_cast<uint32_t>(timeoutMs)) return poll(e);
      left = static_cast<int>(static_cast<uint32_t>(timeoutMs) - spent);
    }
    wait(left);
    if (poll(e)) return true;
  }
}

}  // namespace plat
