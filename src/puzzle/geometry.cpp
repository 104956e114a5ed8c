// The piece table and slot-box: turning corners, the hit test, the stacking order and how a
// level is laid out when it starts.
#include <cmath>

#include "game/state.h"
#include "media/devices.h"
#include "platform/platform.h"
#include "puzzle/internal.h"
#include "puzzle/level_files.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

using puzzle_detail::AddSat;
using puzzle_detail::RoundInt;

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
bool LevelSetUp = false;

namespace {
double ClockStoppedAt = -1;  // time of day the level clock stopped at; -1 while it runs
}  // namespace

namespace puzzle_detail {
bool IsLevelPiece(int32_t n) { return n >= 1 && n <= NumFig && n <= kMaxPieces; }
}  // namespace puzzle_detail

TPoint RotatePoint(int32_t angle, TPoint p) {
  const double a = angle * 0.017453292519943295;
  const double c = std::cos(a), s = std::sin(a);
  const double x = p.X, y = p.Y;
  return {RoundInt(x * c - y * s), RoundInt(x * s + y * c)};
}

void UpdateCorners(uint8_t n) {
  if (n > kMaxPieces) throw ERangeError();
  TPiece& p = PieceTable[n];
  int cc = p.CornerCount > 8 ? 8 : p.CornerCount;
  for (int k = 1; k <= cc; ++k) {
    TPoint r = RotatePoint(p.Angle, p.Offsets[k]);
    p.Corners[k] = {AddSat(p.Position.X, r.X), AddSat(p.Position.Y, r.Y)};
  }
}

bool PointInPiece(TPoint p, uint8_t n) {
  if (n > kMaxPieces) throw ERangeError();
  const TPiece& pc = PieceTable[n];
  int cc = pc.CornerCount > 8 ? 8 : pc.CornerCount;
  if (cc == 0) return false;  // an empty entry covers nothing
  bool first = false;
  for (int k = 1; k <= cc; ++k) {
    const TPoint& a = pc.Corners[k];
    const TPoint& b = pc.Corners[k == cc ? 1 : k + 1];
    // Exact: corrupt corners must not overflow.
    bool s = puzzle_detail::CrossSign(a, b, p) > 0;
    if (k == 1)
      first = s;
    else if (s != first)
      return false;
  }
  return true;
}

uint8_t PieceAt(TPoint p) {
  uint8_t result = 0;
  for (int i = 1; i <= NumFig && i <= kMaxPieces; ++i)
    if (PointInPiece(p, static_cast<uint8_t>(i))) result = static_cast<uint8_t>(i);
  return result;
}

int32_t PieceWithOrder(int32_t k) {
  for (int i = 1; i <= NumFig && i <= kMaxPieces; ++i)
    if (PieceTable[i].StackOrder == k) return i;
  return NumFig;
}

namespace {

void SetUpSlotBox() {
  TPiece& s = PieceTable[0];
  s.CornerCount = 4;
  s.Offsets[1] = {-100, -100};
  s.Offsets[2] = {100, -100};
  s.Offsets[3] = {100, 100};
  s.Offsets[4] = {-100, 100};
  s.Position = {400, 200};
  s.SolutionPos = {400, 200};
  s.Angle = 0;
}

}  // namespace

void SetupLevel(uint8_t n) {
  LevelSetUp = true;  // even when the level cannot be read: it is not tried again unasked
  ClockStoppedAt = -1;
  try {
    LoadLevel(n);
  } catch (...) {
    // The level could not be read: keep a playable, empty table (the slot-box alone) and no
    // reference to a piece that is gone, then report.
    SetUpSlotBox();
    UpdateCorners(0);
    HoverPiece = 0;
    Dragging = false;
    RotateMode = false;
    SolvingPiece = 0;
    throw;
  }
  SetUpSlotBox();
  for (int i = 0; i <= NumFig; ++i) {
    UpdateCorners(static_cast<uint8_t>(i));
    PieceTable[i].TextureTurn = static_cast<uint8_t>(20 * i);
    PieceTable[i].StackOrder = i;
    for (auto& im : PieceTable[i].Images) im.Built = 0;
  }
  ScatterPieces();
}

void ScatterPieces() {
  for (int i = 1; i <= NumFig && i <= kMaxPieces; ++i) {
    TPiece& p = PieceTable[i];
    p.Angle = 15 * plat::Platform().Random(24);
    if (Settings.Difficulty == 0) p.Angle = 0;
    const TScatterSpot spot = ScatterSpot(i, NumFig);
    p.Position = {spot.X, spot.Y};
    UpdateCorners(static_cast<uint8_t>(i));
  }
}

void StartGame() {
  if (CurrentLevel < 0 || CurrentLevel > 99) throw ERangeError();
  SetupLevel(static_cast<uint8_t>(CurrentLevel));
  HoverPiece = 0;
  Dragging = false;
  RotateMode = false;
}

void StopLevelClock() {
  if (ClockStoppedAt < 0) ClockStoppedAt = plat::Platform().TimeOfDay();
}

void ResumeLevel() {
  // The press that began a drag or a turn was released in another window.
  StopRotationTimer();
  HoverPiece = 0;
  Dragging = false;
  RotateMode = false;
  if (ClockStoppedAt < 0) return;
  // The time away does not count: the clock's start moves on by it (across midnight too).
  double away = plat::Platform().TimeOfDay() - ClockStoppedAt;
  if (away < 0) away += 1;
  StartTime += away;
  ClockStoppedAt = -1;
}

void ResetPuzzleState() {
  LevelSetUp = false;
  ClockStoppedAt = -1;
  for (auto& p : PieceTable) p = TPiece{};
  NumFig = 0;
  MedTime = 0;
  LevelFileName.clear();
  HoverPiece = 0;
  Dragging = false;
  RotateMode = false;
  DragAnchor = {};
  MovesCount = 0;
  RotatesCount = 0;
  LevelCompleted = false;
  StartTime = 0;
  LevelScore = 0;
  SolvingPiece = 0;
}
