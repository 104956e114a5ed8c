// The puzzle: level files, the piece table and slot-box, dragging and turning, completion,
// the level clock, moving between levels, the automatic solution and the piece pictures.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "media/surface.h"
#include "platform/types.h"

struct TPieceImage {
  uint8_t Built = 0;
  // Created while the drawing device is open; the picture is drawn on it and then kept in
  // Runs, which leaves the surface itself empty.
  std::unique_ptr<TSurface> Image;
  // Only the piece's own box of its 300 x 300 picture is kept, as the runs of its visible
  // pixels (the rest is mask colour); Origin is where that box lies in the picture.
  TPoint Origin;
  TKeyRuns Runs;
};

struct TPiece {
  uint8_t CornerCount = 0;
  int32_t StackOrder = 0;
  TPoint Position;
  TPoint SolutionPos;
  TPoint Offsets[9];  // 1 .. 8
  int32_t Angle = 0;  // degrees, multiple of 15, 0 .. 345
  TPoint Corners[9];  // 1 .. 8
  TPieceImage Images[24];
  uint8_t TextureTurn = 0;
};

constexpr int kMaxPieces = 12;

// Entry 0 is the slot-box, 1 .. NumFig the pieces of the level.
extern TPiece PieceTable[kMaxPieces + 1];
extern uint8_t NumFig;
extern int32_t MedTime;
extern std::string LevelFileName;

extern uint8_t HoverPiece;
extern bool Dragging;
extern bool RotateMode;
extern TPoint DragAnchor;
extern int32_t MovesCount;
extern int32_t RotatesCount;

extern bool LevelCompleted;
extern double StartTime;
extern int32_t LevelScore;
extern int32_t SolvingPiece;

// --- level files ---
void LoadLevel(uint8_t n);
void RateLevelCatalogue();  // the catalogue pass over the four files at start-up

// --- geometry and layout ---
TPoint RotatePoint(int32_t angle, TPoint p);
void UpdateCorners(uint8_t n);
bool PointInPiece(TPoint p, uint8_t n);
uint8_t PieceAt(TPoint p);
int32_t PieceWithOrder(int32_t k);
void SetupLevel(uint8_t n);
void ScatterPieces();
// Level CurrentLevel afresh; called by DrawDeviceInitialize when no level has been set up yet.
void StartGame();
// Whether a level has been set up (or tried) since start-up; a later opening of the device
// keeps it as the player left it.
extern bool LevelSetUp;
// The device closes (focus lost, minimised, the screen mode switched): the level clock stops.
void StopLevelClock();
// The device opened again on the level the player left: an unfinished drag or turn ends, and
// the level clock goes on from where it stopped.
void ResumeLevel();

// --- drawing ---
// Called by FrameTimerTimer (playing field, level-complete display) and DrawMenu (texture 10).
void DrawBackground(uint8_t t);
// Called by FrameTimerTimer while playing or solving: slot-box, then the pieces in stack order.
void DrawGame();
void DrawSlot();
void DrawPieces();

// --- the player's hand ---
// Called by the main form's DrawDeviceMouseMove / DrawDeviceMouseDown / DrawDeviceMouseUp in
// play (the wheel arrives as a right press and release). A press that turns a piece starts
// the rotation timer through the devices record; TimerRotTimer then calls RotatePiece.
void GameMouseMove(TShiftState shift, int32_t x, int32_t y);
void GameMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
void GameMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
void MovePiece(uint8_t n, TPoint p);
void SnapPiece(uint8_t n);
void RotatePiece(uint8_t n, int8_t dir);

// --- completion, levels, automatic solution ---
// Two corners meet when they lie less than 10 px apart, counted across plus down. A level is
// complete when every corner of the slot-box and of each piece meets a corner of another
// (the level tool checks its designs by the same rule).
inline bool CornersMeet(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
  const int64_t dx = ax > bx ? ax - bx : bx - ax, dy = ay > by ? ay - by : by - ay;
  return dx + dy < 10;
}
bool IsLevelComplete();
void CheckLevelComplete();  // the completion check at every release in play
// Called by the panel (next, previous), the menu (a level row, step 0) and GameKeyDown.
void ChangeLevel(int32_t step);
void UpdateLevelScore();
// Called by FormKeyDown in play and on the level-complete display: Space, Backspace, F1.
void GameKeyDown(uint16_t key);
// What Space asks for on a level not yet solved: the main form points it at the message box
// (ShowMessageBox) when it is made; while unset, Space there does nothing.
extern void (*OnSpaceUnsolved)();
void AutoSolveStep();
void AutoSolveFrame();  // the per-frame move of SolvingPiece
TPoint StepToward(TPoint a, TPoint b);

// --- piece pictures ---
// Called by DrawPieces the first time a piece shows at turn r after the device opened.
void BuildPieceImage(uint8_t n, uint8_t r);
TPoint InsetCorner(TPoint P, TPoint N, TPoint Q);
double EdgeAngle(TPoint a, TPoint b);

// Back to the start-up values (tests).
void ResetPuzzleState();

// InsetCorner that says whether the corner has an inside point at all: false for a straight
// (180 degree) or folded corner, where the construction has nothing to divide by.
bool TryInsetCorner(TPoint P, TPoint N, TPoint Q, TPoint& result);
