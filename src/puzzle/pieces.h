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
void StartGame();

// --- drawing ---
void DrawBackground(uint8_t t);
void DrawGame();
void DrawSlot();
void DrawPieces();

// --- the player's hand ---
void GameMouseMove(TShiftState shift, int32_t x, int32_t y);
void GameMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
void GameMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
void MovePiece(uint8_t n, TPoint p);
void SnapPiece(uint8_t n);
void RotatePiece(uint8_t n, int8_t dir);

// --- completion, levels, automatic solution ---
bool IsLevelComplete();
void CheckLevelComplete();  // the completion check at every release in play
void ChangeLevel(int32_t step);
void UpdateLevelScore();
void GameKeyDown(uint16_t key);
void AutoSolveStep();
void AutoSolveFrame();  // the per-frame move of SolvingPiece
TPoint StepToward(TPoint a, TPoint b);

// --- piece pictures ---
void BuildPieceImage(uint8_t n, uint8_t r);
TPoint InsetCorner(TPoint P, TPoint N, TPoint Q);
double EdgeAngle(TPoint a, TPoint b);

// Back to the start-up values (tests).
void ResetPuzzleState();

// InsetCorner that says whether the corner has an inside point at all: false for a straight
// (180 degree) or folded corner, where the construction has nothing to divide by.
bool TryInsetCorner(TPoint P, TPoint N, TPoint Q, TPoint& result);
