// The draws of a playing frame as our surfaces take them, for the benchmarks that time that
// pixel work alone (the report natively, the page in the browser): clear, tiles, slot, the
// pieces, the panel and the pointer of the level in play, text and outlines left out.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "game/state.h"
#include "hud/panel.h"
#include "media/surface.h"
#include "puzzle/pieces.h"

namespace bench {

// One draw of a frame, as our surfaces take it.
struct Op {
  enum Kind { kFill, kCopy, kStretch, kTurn } kind = kCopy;
  const TSurface* src = nullptr;
  TRect srcRect{};
  TRect dst{};         // copy: Left/Top only; stretch: the destination rectangle
  bool keyed = false;  // leave out the source's transparent colour
  const TKeyRuns* runs = nullptr;  // ours: the picture's opaque runs, as the game draws pieces
  int32_t alpha = 255;
  int32_t x = 0, y = 0, w = 0, h = 0, angle = 0;  // turn
  double cx = 0.5, cy = 0.5;
  uint32_t colour = 0;  // fill
};

inline void RunOurs(TSurface& dst, const std::vector<Op>& ops) {
  for (const Op& o : ops) switch (o.kind) {
      case Op::kFill: dst.Fill(o.colour); break;
      case Op::kCopy:
        if (o.runs)
          dst.DrawRuns(o.dst.Left, o.dst.Top, *o.runs);
        else
          dst.Draw(o.dst.Left, o.dst.Top, o.srcRect, *o.src, o.keyed);
        break;
      case Op::kStretch: dst.DrawAlpha(o.dst, o.srcRect, *o.src, o.keyed, o.alpha); break;
      case Op::kTurn:
        dst.DrawRotateAlpha(o.x, o.y, o.w, o.h, o.srcRect, *o.src, o.cx, o.cy, o.keyed, o.angle, o.alpha);
        break;
    }
}

// The level's texture t tiled over the whole 800 x 600 frame.
inline void AddBackground(std::vector<Op>& ops, uint8_t t) {
  TImageItem& item = MainForm->TexList.Item(t);
  const int32_t w = item.Width(), h = item.Height();
  for (int32_t row = 0; row <= 600 / h + 1; ++row)
    for (int32_t col = 0; col <= 800 / w + 1; ++col) {
      Op o;
      o.src = &item.Surface();
      o.srcRect = item.PatternRect(0);
      o.dst = Bounds(col * w, row * h, w, h);
      o.keyed = item.Transparent;
      ops.push_back(o);
    }
}

inline void AddSprite(std::vector<Op>& ops, const std::string& name, int32_t x, int32_t y, int32_t pattern) {
  TImageItem& item = MainForm->ImageList.Find(name);
  Op o;
  o.src = &item.Surface();
  o.srcRect = item.PatternRect(pattern);
  o.dst = Bounds(x, y, item.Width(), item.Height());
  o.keyed = item.Transparent;
  ops.push_back(o);
}

inline void AddSpriteAlpha(std::vector<Op>& ops, const std::string& name, const TRect& r, int32_t pattern,
                           int32_t alpha) {
  TImageItem& item = MainForm->ImageList.Find(name);
  Op o;
  o.kind = Op::kStretch;
  o.src = &item.Surface();
  o.srcRect = item.PatternRect(pattern);
  o.dst = r;
  o.keyed = item.Transparent;
  o.alpha = alpha;
  ops.push_back(o);
}

// The peers copy each piece from its kept box as a plain keyed surface, made once from the
// picture's runs (the game itself keeps only the runs).
inline TSurface& BoxOf(const TPieceImage& im) {
  static std::map<const TPieceImage*, std::unique_ptr<TSurface>> boxes;
  std::unique_ptr<TSurface>& box = boxes[&im];
  if (!box) {
    box = std::make_unique<TSurface>();
    box->SetSize(im.Runs.Width(), im.Runs.Height());
    box->Fill(im.Runs.Key());
    box->DrawRuns(0, 0, im.Runs);
    box->TransparentColor = im.Runs.Key();
  }
  return *box;
}

inline void AddPieces(std::vector<Op>& ops) {
  for (int k = 1; k <= NumFig; ++k) {
    const TPiece& p = PieceTable[PieceWithOrder(k)];
    const TPieceImage& im = p.Images[p.Angle / 15];
    const TSurface& img = BoxOf(im);
    Op o;
    o.src = &img;
    o.srcRect = img.ClientRect();
    // A piece keeps only its box of the 300 x 300 picture; it goes where it lay in the picture.
    o.dst = Bounds(p.Position.X - 150 + im.Origin.X, p.Position.Y - 150 + im.Origin.Y, img.Width(), img.Height());
    o.keyed = true;
    o.runs = &im.Runs;
    ops.push_back(o);
  }
}

inline void AddPanel(std::vector<Op>& ops) {
  AddSprite(ops, "bigpanel", 663, 451, 0);
  AddSprite(ops, "smalpanel", 723, 2, 0);
  for (int n = 1; n <= kPanelButtonCount; ++n) {
    const TPanelButton& b = PanelButtons[n];
    AddSpriteAlpha(ops, b.ImageName, b.Rect(), b.State, b.Alpha);
  }
}

// The whole playing frame, in the order the game draws it.
inline std::vector<Op> PlayingFrameOps() {
  std::vector<Op> ops;
  Op fill;
  fill.kind = Op::kFill;
  ops.push_back(fill);
  AddBackground(ops, static_cast<uint8_t>(LevelTexture() + 5));
  const TPiece& box = PieceTable[0];
  AddSprite(ops, "Slot", box.Corners[1].X - 50, box.Corners[1].Y - 50, 0);
  AddPieces(ops);
  AddPanel(ops);
  AddSprite(ops, "CursorPnt", 420, 250, 0);
  return ops;
}

}  // namespace bench
