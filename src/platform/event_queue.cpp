// The platforms' event queue: translated events, and those posted from any thread.
#include "platform/event_queue.h"

namespace plat {

bool TakeFirst(std::deque<Event>& queue, Event& e) {
  if (queue.empty()) return false;
  e = queue.front();
  queue.pop_front();
  return true;
}

void EventQueue::WakeUp() {
  std::lock_guard<std::mutex> g(postLock_);
  Event e;
  if (TakeFirst(posted_, e)) Emit(e);
}

void EventQueue::Post(const Event& e) {
  std::lock_guard<std::mutex> g(postLock_);
  posted_.push_back(e);
}

bool EventQueue::TakeReady(Event& e) {
  if (quitFlag_ && *quitFlag_) {
    *quitFlag_ = 0;
    e = Event{EventKind::Quit};
    return true;
  }
  return TakeFirst(ready_, e);
}

bool EventQueue::TakePosted(Event& e) {
  std::lock_guard<std::mutex> g(postLock_);
  return TakeFirst(posted_, e);
}

}  // namespace plat
