// The touch gestures as the game's mouse presses.
#include "platform/web/touch.h"

#include <cstdlib>
#include <utility>

namespace plat::web {

void TouchGestures::Emit(TouchAction::Kind kind, TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  out.push_back({kind, button, shift, x, y});
}

bool TouchGestures::Beyond(const Finger& f, int32_t px, int32_t py) {
  return std::abs(px - f.startPX) > kSlop || std::abs(py - f.startPY) > kSlop;
}

TShiftState TouchGestures::Held() const {
  if (state == State::Dragging) return ssLeft;
  if (state == State::Turning) return ssRight;
  return 0;
}

void TouchGestures::Start(int32_t id, int32_t px, int32_t py, int32_t gx, int32_t gy, uint32_t now) {
  Finger f;
  f.id = id;
  f.startPX = px;
  f.startPY = py;
  f.gx = f.startGX = gx;
  f.gy = f.startGY = gy;
  f.since = now;
  if (first.id < 0) {
    first = f;
    state = State::Pending;
    otherFinger = false;
    Emit(TouchAction::Move, TMouseButton::mbLeft, 0, gx, gy);  // the piece under it is the one
    return;
  }
  if (second.id < 0 && id != first.id) {
    second = f;
    // Two fingers are no click and no hold of the first: a tap of this one turns, or nothing.
    if (state == State::Pending) otherFinger = true;
  }
  // A third finger is ignored.
}

void TouchGestures::MoveTo(int32_t id, int32_t px, int32_t py, int32_t gx, int32_t gy, uint32_t now) {
  Tick(now);
  if (id == second.id) {
    if (Beyond(second, px, py)) second.moved = true;
    return;
  }
  if (id != first.id) return;
  first.gx = gx;
  first.gy = gy;
  switch (state) {
    case State::Pending:
      if (!Beyond(first, px, py)) return;
      first.moved = true;
      // The drag takes the piece from where the finger first touched.
      state = State::Dragging;
      Emit(TouchAction::Down, TMouseButton::mbLeft, 0, first.startGX, first.startGY);
      Emit(TouchAction::Move, TMouseButton::mbLeft, 0, gx, gy);
      return;
    case State::Dragging:
      Emit(TouchAction::Move, TMouseButton::mbLeft, 0, gx, gy);
      return;
    case State::Turning:
    case State::Done:
    case State::Idle:
      return;  // a turning piece stays where it is
  }
}

void TouchGestures::End(int32_t id, uint32_t now, bool cancelled) {
  if (id == second.id) {
    const bool tap = !cancelled && !second.moved && now - second.since <= kTapMs;
    second = Finger{};
    if (!tap || first.id < 0) return;
    if (state != State::Pending && state != State::Dragging) return;
    // One turn counter-clockwise of the piece under the first finger, as the wheel gives.
    Emit(TouchAction::Down, TMouseButton::mbRight, ssCtrl, first.gx, first.gy);
    Emit(TouchAction::Up, TMouseButton::mbRight, ssCtrl, first.gx, first.gy);
    // The turn let a dragged piece go: take it again, so the finger drags on.
    if (state == State::Dragging) Emit(TouchAction::Down, TMouseButton::mbLeft, 0, first.gx, first.gy);
    return;
  }
  if (id != first.id) return;
  Tick(now);
  switch (state) {
    case State::Pending:
      if (!cancelled && !otherFinger) {
        Emit(TouchAction::Down, TMouseButton::mbLeft, 0, first.startGX, first.startGY);
        Emit(TouchAction::Up, TMouseButton::mbLeft, 0, first.startGX, first.startGY);
      }
      break;
    case State::Dragging:
      Emit(TouchAction::Up, TMouseButton::mbLeft, 0, first.gx, first.gy);
      break;
    case State::Turning:
      Emit(TouchAction::Up, TMouseButton::mbRight, 0, first.gx, first.gy);
      break;
    case State::Done:
    case State::Idle:
      break;
  }
  first = Finger{};
  second = Finger{};
  state = State::Idle;
  otherFinger = false;
}

void TouchGestures::Tick(uint32_t now) {
  if (state != State::Pending || otherFinger) return;
  if (now - first.since < kHoldMs) return;
  state = State::Turning;
  Emit(TouchAction::Down, TMouseButton::mbRight, 0, first.startGX, first.startGY);
}

std::vector<TouchAction> TouchGestures::Take() { return std::exchange(out, {}); }

}  // namespace plat::web
