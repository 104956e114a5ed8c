// The player's hand on the pieces (dragging, snapping, turning), completion, the level clock,
// moving between levels, the playing screen's keys and the automatic solution.
#include <cmath>
#include <string>

#include "game/state.h"
#include "media/devices.h"
#include "media/effects.h"
#include "platform/platform.h"
#include "puzzle/internal.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

using puzzle_detail::AddSat;
using puzzle_detail::IsLevelPiece;
using puzzle_detail::RoundInt;

// --- dragging and turning ----------------------------------------------------

void GameMouseMove(TShiftState /*shift*/, int32_t x, int32_t y) {
  if (Dragging) {
    if (HoverPiece != 0 && IsLevelPiece(HoverPiece)) {
      MovePiece(HoverPiece, {x, y});
      DragAnchor = {x, y};
    }
    return;
  }
  HoverPiece = PieceAt({x, y});
}

void MovePiece(uint8_t n, TPoint p) {
  if (n > kMaxPieces) throw ERangeError();
  TPiece& pc = PieceTable[n];
  const int64_t dx = static_cast<int64_t>(p.X) - DragAnchor.X;
  const int64_t dy = static_cast<int64_t>(p.Y) - DragAnchor.Y;
  pc.Position = {AddSat(pc.Position.X, dx), AddSat(pc.Position.Y, dy)};
  // The corners move with it. Worked out afresh from the position rather than shifted one by
  // one, so that a drag clamped at the edge of the coordinate range and back cannot leave
  // them out of step with the piece (the same points whenever nothing was clamped).
  UpdateCorners(n);
}

void GameMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (LevelCompleted) {
    GameKeyDown(VK_SPACE);  // a press on a solved level goes on, like Space
    return;
  }
  // A piece left over from the previous level is no piece.
  if (HoverPiece == 0 || !IsLevelPiece(HoverPiece)) return;
  TPiece& p = PieceTable[HoverPiece];
  if (p.StackOrder != NumFig) {
    const int32_t old = p.StackOrder;
    for (int i = 1; i <= NumFig; ++i)
      if (PieceTable[i].StackOrder == NumFig) PieceTable[i].StackOrder = old;
    p.StackOrder = NumFig;
  }
  if (Settings.Difficulty != 0 && button == TMouseButton::mbRight) RotateMode = true;
  if (RotateMode) {
    int8_t dir = (shift & ssCtrl) ? -1 : 1;
    if (button == TMouseButton::mbLeft) dir = static_cast<int8_t>(-dir);
    RotateCursor = dir == 1 ? 1 : 2;
    RotatePiece(HoverPiece, dir);
    StartRotationTimer(HoverPiece, dir);
    return;
  }
  RotateCursor = 0;
  PlaySound("take");
  DragAnchor = {x, y};
  Dragging = true;
}

void RotatePiece(uint8_t n, int8_t dir) {
  // The timer may still name a piece of a level that has since been left.
  if (!IsLevelPiece(n)) return;
  TPiece& p = PieceTable[n];
  PlaySound("rotate");
  int32_t a = p.Angle + 15 * dir;
  if (a < 0) a += 360;
  if (a >= 360) a -= 360;
  if (a < 0 || a >= 360 || a % 15 != 0) a = 0;  // only a corrupt angle gets here
  p.Angle = a;
  if (Settings.Difficulty == 0) p.Angle = 0;
  UpdateCorners(n);
  ++RotatesCount;
}

void GameMouseUp(TMouseButton button, TShiftState /*shift*/, int32_t /*x*/, int32_t /*y*/) {
  StopRotationTimer();
  Dragging = false;
  if (HoverPiece != 0 && IsLevelPiece(HoverPiece)) {
    SnapPiece(HoverPiece);
    if (!RotateMode && button != TMouseButton::mbRight) {
      ++MovesCount;
      PlaySound("drop");
    }
  }
  if (button == TMouseButton::mbRight) RotateMode = false;
  CheckLevelComplete();
}

void SnapPiece(uint8_t n) {
  if (n > kMaxPieces) throw ERangeError();
  TPiece& pc = PieceTable[n];
  const int ncc = pc.CornerCount > 8 ? 8 : pc.CornerCount;
  for (int i = 0; i <= NumFig && i <= kMaxPieces; ++i) {
    if (i == n) continue;
    const TPiece& other = PieceTable[i];
    const int occ = other.CornerCount > 8 ? 8 : other.CornerCount;
    for (int j = 1; j <= occ; ++j) {
      for (int k = 1; k <= ncc; ++k) {
        const int64_t dx = static_cast<int64_t>(pc.Corners[k].X) - other.Corners[j].X;
        const int64_t dy = static_cast<int64_t>(pc.Corners[k].Y) - other.Corners[j].Y;
        if (dx >= -10 && dx <= 10 && dy >= -10 && dy <= 10 && dx * dx + dy * dy <= 100) {  // within 10 px
          pc.Position = {AddSat(pc.Position.X, -dx), AddSat(pc.Position.Y, -dy)};
          UpdateCorners(n);
          return;
        }
      }
    }
  }
}

// --- completion and levels -----------------------------------------------------

bool IsLevelComplete() {
  const int last = NumFig > kMaxPieces ? kMaxPieces : NumFig;
  for (int i = 0; i <= last; ++i) {
    const TPiece& a = PieceTable[i];
    const int acc = a.CornerCount > 8 ? 8 : a.CornerCount;
    for (int j = 1; j <= acc; ++j) {
      bool partner = false;
      for (int k = 0; k <= last && !partner; ++k) {
        if (k == i) continue;
        const TPiece& b = PieceTable[k];
        const int bcc = b.CornerCount > 8 ? 8 : b.CornerCount;
        for (int l = 1; l <= bcc; ++l) {
          if (CornersMeet(a.Corners[j].X, a.Corners[j].Y, b.Corners[l].X, b.Corners[l].Y)) {
            partner = true;
            break;
          }
        }
      }
      if (!partner) return false;
    }
  }
  return true;
}

void CheckLevelComplete() {
  if (!IsLevelComplete()) return;
  PlaySound("end" + std::to_string(plat::Platform().Random(6) + 1));
  if (LevelCompleted) return;
  if (CurrentLevel >= 0 && CurrentLevel <= 99 && PlayerRecord.SolvedFlags(CurrentLevel) == 0) {
    PlayerRecord.SetSolvedFlags(CurrentLevel, -1);
    PlayerRecord.SetSolvedCount(PlayerRecord.SolvedCount() + 1);
    // A level solved for the first time is on the disk at once, not only at the next save:
    // a crash or a killed process loses nothing already solved.
    SaveProgress();
  }
  LevelCompleted = true;
  ScreenState = scLevelComplete;
}

void ChangeLevel(int32_t step) {
  int64_t next = static_cast<int64_t>(CurrentLevel) + step;
  if (next < 0) next = 99;
  if (next > 99) next = 0;
  CurrentLevel = static_cast<int32_t>(next);
  SetupLevel(static_cast<uint8_t>(CurrentLevel));
  LevelCompleted = false;
  StartTime = plat::Platform().TimeOfDay();
  LevelScore = 0;
  MovesCount = 0;
  RotatesCount = 0;
  PlaySound("NewLevel");
}

void UpdateLevelScore() {
  LevelScore = RoundInt((plat::Platform().TimeOfDay() - StartTime) * 1000000.0);
}

void (*OnSpaceUnsolved)() = nullptr;

void GameKeyDown(uint16_t key) {
  switch (key) {
    case VK_SPACE:
      if (LevelCompleted)
        ChangeLevel(+1);
      else if (OnSpaceUnsolved)
        OnSpaceUnsolved();
      break;
    case VK_BACK:
      ChangeLevel(-1);
      break;
    case VK_F1:
      AutoSolveStep();
      break;
    default:
      break;
  }
}

// --- the automatic solution ------------------------------------------------------

void AutoSolveStep() {
  StartTime = plat::Platform().TimeOfDay() - MedTime / 100000.0;
  for (int i = 1; i <= NumFig && i <= kMaxPieces; ++i) {
    if (PieceTable[i].Position != PieceTable[i].SolutionPos) {
      SolvingPiece = i;
      ScreenState = scAutoSolve;
      return;
    }
  }
}

void AutoSolveFrame() {
  if (!IsLevelPiece(SolvingPiece)) {  // nothing left to move (the level was changed)
    ScreenState = scPlaying;
    return;
  }
  TPiece& p = PieceTable[SolvingPiece];
  p.Position = StepToward(p.Position, p.SolutionPos);
  p.Angle = 0;
  UpdateCorners(static_cast<uint8_t>(SolvingPiece));
  if (p.Position == p.SolutionPos) ScreenState = scPlaying;
}

TPoint StepToward(TPoint a, TPoint b) {
  const double dx = static_cast<double>(a.X) - b.X, dy = static_cast<double>(a.Y) - b.Y;
  const double dist = std::sqrt(dx * dx + dy * dy);
  if (dist <= 10) return b;
  if (a.Y == b.Y) return {AddSat(a.X, a.X > b.X ? -10 : 10), a.Y};
  if (a.X == b.X) return {a.X, AddSat(a.Y, a.Y > b.Y ? -10 : 10)};
  const double m = (static_cast<double>(b.Y) - a.Y) / (static_cast<double>(b.X) - a.X);
  const double c = a.Y - a.X * m;
  const int32_t f = RoundInt(10 / std::sqrt(m * m + 1));
  if (f == 0) {
    // So steep that a whole step in x rounds to nothing: walk 10 pixels along the line
    // itself, so the piece still comes closer every frame and arrives.
    return {RoundInt(a.X + 10 * (b.X - static_cast<double>(a.X)) / dist),
            RoundInt(a.Y + 10 * (b.Y - static_cast<double>(a.Y)) / dist)};
  }
  const int32_t x = AddSat(a.X, a.X > b.X ? -f : f);
  return {x, RoundInt(m * x + c)};
}
