// Placeholder until this unit is built; replaced by the real one.
#include "puzzle/pieces.h"

TPiece PieceTable[kMaxPieces + 1];
uint8_t NumFig = 0;
int32_t MedTime = 0;
std::string LevelFileName;
uint8_t HoverPiece = 0;
bool Dragging = false;
bool RotateMode = false;
TPoint DragAnchor;
int32_t MovesCount = 0;
int32_t RotatesCount = 0;
bool LevelCompleted = false;
double StartTime = 0;
int32_t LevelScore = 0;
int32_t SolvingPiece = 0;

void LoadLevel([[maybe_unused]] uint8_t n) { }
void RateLevelCatalogue() { }
TPoint RotatePoint([[maybe_unused]] int32_t angle, [[maybe_unused]] TPoint p) { return {}; }
void UpdateCorners([[maybe_unused]] uint8_t n) { }
bool PointInPiece([[maybe_unused]] TPoint p, [[maybe_unused]] uint8_t n) { return {}; }
uint8_t PieceAt([[maybe_unused]] TPoint p) { return {}; }
int32_t PieceWithOrder([[maybe_unused]] int32_t k) { return {}; }
void SetupLevel([[maybe_unused]] uint8_t n) { }
void ScatterPieces() { }
void StartGame() { }
void DrawBackground([[maybe_unused]] uint8_t t) { }
void DrawGame() { }
void DrawSlot() { }
void DrawPieces() { }
void GameMouseMove([[maybe_unused]] TShiftState shift, [[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y) { }
void GameMouseDown([[maybe_unused]] TMouseButton button, [[maybe_unused]] TShiftState shift, [[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y) { }
void GameMouseUp([[maybe_unused]] TMouseButton button, [[maybe_unused]] TShiftState shift, [[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y) { }
void MovePiece([[maybe_unused]] uint8_t n, [[maybe_unused]] TPoint p) { }
void SnapPiece([[maybe_unused]] uint8_t n) { }
void RotatePiece([[maybe_unused]] uint8_t n, [[maybe_unused]] int8_t dir) { }
bool IsLevelComplete() { return {}; }
void CheckLevelComplete() { }
void ChangeLevel([[maybe_unused]] int32_t step) { }
void UpdateLevelScore() { }
void GameKeyDown([[maybe_unused]] uint16_t key) { }
void AutoSolveStep() { }
void AutoSolveFrame() { }
TPoint StepToward([[maybe_unused]] TPoint a, [[maybe_unused]] TPoint b) { return {}; }
void BuildPieceImage([[maybe_unused]] uint8_t n, [[maybe_unused]] uint8_t r) { }
TPoint InsetCorner([[maybe_unused]] TPoint P, [[maybe_unused]] TPoint N, [[maybe_unused]] TPoint Q) { return {}; }
double EdgeAngle([[maybe_unused]] TPoint a, [[maybe_unused]] TPoint b) { return {}; }
void ResetPuzzleState() { }
