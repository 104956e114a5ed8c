// Touch gestures as the game's mouse presses: which gesture gives which presses, and that a
// drag never turns into a turn.
#include <gtest/gtest.h>

#include "platform/web/touch.h"

using plat::web::TouchAction;
using plat::web::TouchGestures;
using B = TMouseButton;

namespace {

TouchAction Move(int x, int y) { return {TouchAction::Move, B::mbLeft, 0, x, y}; }
TouchAction Down(B b, int x, int y, TShiftState s = 0) { return {TouchAction::Down, b, s, x, y}; }
TouchAction Up(B b, int x, int y, TShiftState s = 0) { return {TouchAction::Up, b, s, x, y}; }

// Page point = game point in these tests, so the slop is easy to read.
void Start(TouchGestures& g, int id, int x, int y, uint32_t t) { g.Start(id, x, y, x, y, t); }
void MoveTo(TouchGestures& g, int id, int x, int y, uint32_t t) { g.MoveTo(id, x, y, x, y, t); }

// Finger id moves to (x, y) at time t and lifts at time lift: the actions that gave.
std::vector<TouchAction> MoveAndLift(TouchGestures& g, int id, int x, int y, uint32_t t, uint32_t lift) {
  MoveTo(g, id, x, y, t);
  g.End(id, lift);
  return g.Take();
}

}  // namespace

TEST(TouchGestures, ATapIsALeftClickWhereTheFingerTouched) {
  TouchGestures g;
  Start(g, 7, 100, 200, 1000);
  MoveTo(g, 7, 103, 196, 1050);  // a finger never stays quite still
  g.End(7, 1100);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 200), Down(B::mbLeft, 100, 200), Up(B::mbLeft, 100, 200)}));
  EXPECT_FALSE(g.Active());
}

TEST(TouchGestures, AMoveBeyondTheSlopDragsFromTheFirstPointAndHoldingThenNeverTurns) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0);
  MoveTo(g, 1, 100 + TouchGestures::kSlop, 100, 50);  // at the slop: not yet moved
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100)}));
  MoveTo(g, 1, 100 + TouchGestures::kSlop + 1, 100, 60);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Down(B::mbLeft, 100, 100), Move(111, 100)}));
  EXPECT_EQ(g.Held(), ssLeft);
  // Held still far longer than a hold: still a drag.
  g.Tick(60 + 5 * TouchGestures::kHoldMs);
  EXPECT_EQ(MoveAndLift(g, 1, 150, 140, 3000, 3100),
            (std::vector<TouchAction>{Move(150, 140), Up(B::mbLeft, 150, 140)}));
}

TEST(TouchGestures, HoldingStillPressesTheRightButtonUntilTheFingerLifts) {
  TouchGestures g;
  Start(g, 3, 300, 250, 500);
  g.Tick(500 + TouchGestures::kHoldMs - 1);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(300, 250)}));
  MoveTo(g, 3, 305, 252, 500 + TouchGestures::kHoldMs);  // within the slop, and the time is up
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Down(B::mbRight, 300, 250)}));
  EXPECT_EQ(g.Held(), ssRight);
  // Moving while it turns moves nothing; lifting ends the turning, and no click follows.
  MoveTo(g, 3, 400, 250, 2000);
  g.End(3, 2100);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Up(B::mbRight, 400, 250)}));
}

TEST(TouchGestures, ASecondFingersTapTurnsCounterClockwiseAtTheFirstFinger) {
  TouchGestures g;
  Start(g, 1, 200, 200, 0);
  Start(g, 2, 500, 400, 100);
  g.Tick(100 + TouchGestures::kHoldMs + 10);  // no hold while the second finger is down
  g.End(2, 200);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(200, 200), Down(B::mbRight, 200, 200, ssCtrl),
                                               Up(B::mbRight, 200, 200, ssCtrl)}));
  // The first finger's press went to the turn: lifting it clicks nothing, and it no longer holds.
  g.Tick(5000);
  g.End(1, 5001);
  EXPECT_TRUE(g.Take().empty());
}

TEST(TouchGestures, ATapDuringADragTurnsThePieceAndTheDragGoesOn) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0);
  MoveTo(g, 1, 150, 100, 50);
  g.Take();
  Start(g, 2, 600, 300, 100);
  g.End(2, 150);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Down(B::mbRight, 150, 100, ssCtrl),
                                               Up(B::mbRight, 150, 100, ssCtrl), Down(B::mbLeft, 150, 100)}));
  EXPECT_EQ(MoveAndLift(g, 1, 170, 120, 200, 250),
            (std::vector<TouchAction>{Move(170, 120), Up(B::mbLeft, 170, 120)}));
}

TEST(TouchGestures, ASecondFingerThatMovesOrStaysDownIsNoTap) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0);
  Start(g, 2, 300, 300, 10);
  MoveTo(g, 2, 340, 300, 20);  // a pinch
  g.End(2, 60);
  Start(g, 3, 300, 300, 100);
  g.End(3, 100 + TouchGestures::kTapMs + 1);  // too long for a tap
  Start(g, 4, 300, 300, 1000);
  g.End(4, 1010, /*cancelled=*/true);
  // Nor does the first finger click or hold after them; it may still drag.
  g.Tick(5000);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100)}));
  EXPECT_EQ(MoveAndLift(g, 1, 130, 100, 5100, 5200),
            (std::vector<TouchAction>{Down(B::mbLeft, 100, 100), Move(130, 100), Up(B::mbLeft, 130, 100)}));
}

TEST(TouchGestures, ACancelledTouchClicksNothingButEndsWhatWasHeld) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0);
  g.End(1, 10, /*cancelled=*/true);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100)}));
  Start(g, 1, 100, 100, 100);
  MoveTo(g, 1, 200, 100, 150);
  g.End(1, 200, /*cancelled=*/true);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100), Down(B::mbLeft, 100, 100), Move(200, 100),
                                               Up(B::mbLeft, 200, 100)}));
}

TEST(TouchGestures, AThirdFingerAndUnknownFingersChangeNothing) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0);
  Start(g, 2, 200, 100, 10);
  Start(g, 3, 300, 100, 20);
  g.End(3, 30);
  MoveTo(g, 9, 500, 500, 40);
  g.End(9, 50);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100)}));
  EXPECT_EQ(g.Held(), 0);
}

TEST(TouchGestures, TheClockWrappingDoesNotStartATurnEarly) {
  TouchGestures g;
  Start(g, 1, 100, 100, 0xFFFFFF00u);
  g.Tick(0x00000010u);  // 0x110 ms later, less than a hold
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Move(100, 100)}));
  g.Tick(0xFFFFFF00u + TouchGestures::kHoldMs);
  EXPECT_EQ(g.Take(), (std::vector<TouchAction>{Down(B::mbRight, 100, 100)}));
}
