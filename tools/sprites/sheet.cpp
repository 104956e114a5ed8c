// The contact sheet: every pattern of every sprite, then every texture, each with its name.
// Key-coloured (transparent) pixels show as a grey checkerboard.
#include "sheet.h"

#include <algorithm>

#include "art.h"

namespace {
struct Sheet {
  int w = 1500, h = 0;
  std::vector<uint32_t> px;
};

uint32_t Checker(int x, int y) { return ((x / 8 + y / 8) & 1) ? 0x6a6a70u : 0x54545au; }

// One labelled cell: the pattern (key shown as checker) with its caption under it.
struct Cell {
  std::string label;
  int w, h;
  std::vector<uint32_t> px;  // with the checkerboard already applied where transparent
};

Cell MakeCell(const TImageItemData& it, int k, int pw, int ph, int col, int row, int stepX, int stepY) {
  Cell c;
  c.label = it.Name + (k >= 0 ? " #" + std::to_string(k) : "");
  c.w = pw;
  c.h = ph;
  c.px.resize(size_t(pw) * size_t(ph));
  uint32_t key = ((it.TransparentColor & 0xff) << 16) | (it.TransparentColor & 0xff00) |
                 ((it.TransparentColor >> 16) & 0xff);
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      int sx = col * stepX + x, sy = row * stepY + y;
      uint32_t v = it.Picture.Pixels[size_t(sy) * size_t(it.Picture.Width) + size_t(sx)];
      if (it.Transparent && v == key) v = Checker(x, y);
      c.px[size_t(y) * size_t(pw) + size_t(x)] = v;
    }
  return c;
}

void AddCells(std::vector<Cell>& cells, const TImageItemData& it) {
  int pw = it.PatternWidth > 0 ? it.PatternWidth : it.Picture.Width;
  int ph = it.PatternHeight > 0 ? it.PatternHeight : it.Picture.Height;
  int stepX = pw + it.SkipWidth, stepY = ph + it.SkipHeight;
  if (pw == it.Picture.Width && ph == it.Picture.Height) {
    cells.push_back(MakeCell(it, -1, pw, ph, 0, 0, stepX, stepY));
    return;
  }
  int cols = (it.Picture.Width + it.SkipWidth) / stepX, rows = (it.Picture.Height + it.SkipHeight) / stepY;
  for (int k = 0; k < cols * rows; ++k) cells.push_back(MakeCell(it, k, pw, ph, k % cols, k / cols, stepX, stepY));
}
}  // namespace

bool WriteContactSheet(const std::string& path, const std::vector<TImageItemData>& sprites,
                       const std::vector<TImageItemData>& textures) {
  std::vector<Cell> cells;
  for (auto& it : sprites) AddCells(cells, it);
  for (size_t i = 0; i < textures.size(); ++i) {
    TImageItemData t = textures[i];
    t.Name = "texture " + std::to_string(i) + " (" + t.Name + ")";
    AddCells(cells, t);
  }
  // Flow layout.
  const int W = 1500, pad = 10, label = 16;
  struct Place { int x, y; };
  std::vector<Place> at;
  int x = pad, y = pad, rowH = 0;
  for (auto& c : cells) {
    int cw = std::max(c.w, art::TextWidth("sans", 11, c.label));
    if (x + cw + pad > W && x > pad) {
      x = pad;
      y += rowH + pad;
      rowH = 0;
    }
    at.push_back({x, y});
    x += cw + pad;
    rowH = std::max(rowH, c.h + label);
  }
  int H = y + rowH + pad;
  std::vector<uint32_t> px(size_t(W) * size_t(H), 0x2b2b30u);
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    for (int yy = 0; yy < c.h; ++yy)
      for (int xx = 0; xx < c.w; ++xx)
        px[size_t(at[i].y + yy) * W + size_t(at[i].x + xx)] = c.px[size_t(yy) * size_t(c.w) + size_t(xx)];
    int tw = art::TextWidth("sans", 11, c.label) + 2;
    art::Mask m = art::TextMask(tw, label, "sans", 11, c.label, 0, 12);
    for (int yy = 0; yy < label; ++yy)
      for (int xx = 0; xx < tw; ++xx) {
        int X = at[i].x + xx, Y = at[i].y + c.h + yy;
        if (X >= W || Y >= H) continue;
        float a = m.at(xx, yy);
        uint32_t& d = px[size_t(Y) * W + size_t(X)];
        auto ch = [&](int s) { return uint32_t(float((d >> s) & 255) * (1 - a) + 235.f * a) << s; };
        d = ch(16) | ch(8) | ch(0);
      }
  }
  return art::WritePng(path, W, H, px);
}
