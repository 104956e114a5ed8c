// Touch on a tablet or phone, as the mouse presses the game knows. Pure: the platform feeds
// it the fingers (in page pixels, with the game pixel under each) and the clock, and turns
// what comes out into the game's pointer events.
//
//   one finger, moved more than a few pixels:  a left drag from where it touched
//   one finger, lifted without moving:         a left click there
//   one finger held still for a moment:        a right press held (the piece keeps turning
//                                              clockwise) until it lifts
//   a second finger's tap while one is down:   Ctrl + a right click (one turn counter-clockwise)
//                                              at the first finger
//
// A drag never turns into a turn: once the first finger has moved, holding it still does
// nothing more, and a second finger that moves or stays down is no tap. Once a second finger
// has touched, the first one neither clicks nor holds (it may still drag).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace plat::web {

struct TouchAction {
  enum Kind : uint8_t { Move, Down, Up } kind = Move;
  TMouseButton button = TMouseButton::mbLeft;
  TShiftState shift = 0;  // ssCtrl for the counter-clockwise turn
  int32_t x = 0, y = 0;   // game pixels
  friend bool operator==(const TouchAction&, const TouchAction&) = default;
};

class TouchGestures {
 public:
  // Farther than this (page pixels, each way) from where it touched, a finger has moved.
  static constexpr int kSlop = 10;
  // Held still this long (ms), the first finger starts turning.
  static constexpr uint32_t kHoldMs = 450;
  // A second finger down no longer than this (ms) taps.
  static constexpr uint32_t kTapMs = 350;

  // A finger touches (id as the browser numbers it), at page point (px, py) over game
  // pixel (gx, gy), at time now (ms).
  void Start(int32_t id, int32_t px, int32_t py, int32_t gx, int32_t gy, uint32_t now);
  void MoveTo(int32_t id, int32_t px, int32_t py, int32_t gx, int32_t gy, uint32_t now);
  // The finger leaves the glass (cancelled: the browser took it away, nothing is clicked).
  void End(int32_t id, uint32_t now, bool cancelled = false);
  // The clock goes on with no finger moving: a finger held long enough starts turning.
  void Tick(uint32_t now);
  // What the game is to see, in order, since the last call.
  std::vector<TouchAction> Take();

  // The buttons the game holds for the fingers now (ssLeft, ssRight).
  TShiftState Held() const;
  bool Active() const { return first.id >= 0; }

 private:
  enum class State : uint8_t { Idle, Pending, Dragging, Turning, Done };
  struct Finger {
    int32_t id = -1;
    int32_t startPX = 0, startPY = 0;
    int32_t gx = 0, gy = 0;      // the game pixel under it now
    int32_t startGX = 0, startGY = 0;
    uint32_t since = 0;
    bool moved = false;
  };
  void Emit(TouchAction::Kind kind, TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  static bool Beyond(const Finger& f, int32_t px, int32_t py);

  State state = State::Idle;
  bool otherFinger = false;  // a second finger came while the first was still: no click, no hold
  Finger first, second;
  std::vector<TouchAction> out;
};

}  // namespace plat::web
