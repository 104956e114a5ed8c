// The contact sheet: every pattern of every sprite, then every texture, each with its name.
// Key-coloured (transparent) pixels show as a grey checkerboard.
#include "sheet.h"

#include <algorithm>

#include "art.h"

namespace {
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
// --- mock screens, drawn the way the game composes them ----------------------------

struct Screen {
  std::vector<uint32_t> px = std::vector<uint32_t>(800 * 600, 0);
};

const TImageItemData& Named(const std::vector<TImageItemData>& list, const std::string& name) {
  for (auto& it : list)
    if (it.Name == name) return it;
  return list.front();
}

// Draws pattern k of an item at (x, y), stretched to w x h when given, leaving out the key.
void Put(Screen& s, const TImageItemData& it, int k, int x, int y, int w = 0, int h = 0) {
  int pw = it.PatternWidth > 0 ? it.PatternWidth : it.Picture.Width;
  int ph = it.PatternHeight > 0 ? it.PatternHeight : it.Picture.Height;
  int cols = std::max(1, it.Picture.Width / pw);
  int sx0 = (k % cols) * pw, sy0 = (k / cols) * ph;
  if (w == 0) w = pw;
  if (h == 0) h = ph;
  uint32_t key = ((it.TransparentColor & 0xff) << 16) | (it.TransparentColor & 0xff00) |
                 ((it.TransparentColor >> 16) & 0xff);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      int X = x + xx, Y = y + yy;
      if (X < 0 || Y < 0 || X >= 800 || Y >= 600) continue;
      int sx = sx0 + xx * pw / w, sy = sy0 + yy * ph / h;
      uint32_t v = it.Picture.Pixels[size_t(sy) * size_t(it.Picture.Width) + size_t(sx)];
      if (it.Transparent && v == key) continue;
      s.px[size_t(Y) * 800 + size_t(X)] = v;
    }
}

void Tile(Screen& s, const TImageItemData& t) {
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      s.px[size_t(y) * 800 + size_t(x)] =
          t.Picture.Pixels[size_t(y % t.Picture.Height) * size_t(t.Picture.Width) + size_t(x % t.Picture.Width)];
}

void Text(Screen& s, int x, int y, int px, const std::string& text, uint32_t color) {
  art::Mask m = art::TextMask(800, 600, "serif", px, text, float(x), float(y + px * 0.9f));
  for (size_t i = 0; i < s.px.size(); ++i) {
    float a = m.v[i] > 0.5f ? 1.f : 0.f;  // the game's canvas text is not blended
    if (a > 0) s.px[i] = color;
  }
}

std::vector<Screen> MockScreens(const std::vector<TImageItemData>& sp, const std::vector<TImageItemData>& tx) {
  std::vector<Screen> out;
  auto menuBase = [&](Screen& s, int lit) {
    Tile(s, tx[10]);
    Put(s, Named(sp, "menufone"), 0, 0, 0);
    const int X[9] = {121, 121, 121, 121, 121, 105, 105, 105, 96};
    const int Y[9] = {122, 157, 193, 229, 264, 336, 370, 441, 505};
    const char* names[9] = {"menu_Episode1_41x62", "menu_Episode2_41x97", "menu_Episode3_41x133",
                            "menu_Episode4_41x169", "menu_Episode5_41x204", "menu_Options_25x276",
                            "menu_Help_25x310", "menu_Exit_25x381", "bsURLactive_16x445"};
    Put(s, Named(sp, names[lit - 1]), 0, X[lit - 1], Y[lit - 1]);
  };
  {  // Episode page with a row under the pointer.
    Screen s;
    menuBase(s, 2);
    Put(s, Named(sp, "menu_Legend_226x426"), 0, 306, 486);
    for (int r = 0; r < 20; ++r) {
      int i = 20 + r, L = r < 10 ? 310 : 530, T = 160 + 31 * (r % 10), p = r == 3 ? 1 : 0;
      const char* star[3] = {"_greenstar", "_goldstar", "_redstar"};
      Put(s, Named(sp, star[(r * 7) % 3]), p, L, T - 3);
      Put(s, Named(sp, r % 3 == 0 ? "_checkedbox" : "_box"), p, L + 30, T - 6);
      Put(s, Named(sp, "_level"), p, L + 61, T);
      Put(s, Named(sp, std::string(1, char('0' + i / 10))), p, L + 130, T);
      Put(s, Named(sp, std::string(1, char('0' + i % 10))), p, L + 150, T);
    }
    out.push_back(s);
  }
  {  // Options page with OK under the pointer.
    Screen s;
    menuBase(s, 6);
    Put(s, Named(sp, "menu_slot_210x69"), 0, 290, 129);
    Put(s, Named(sp, "menu_headerOptions_303x85"), 0, 383, 145);
    Put(s, Named(sp, "menu_OptionsItems"), 0, 360, 210);
    Put(s, Named(sp, "btn_Normal"), 0, 530, 210);
    Put(s, Named(sp, "btn_No"), 0, 552, 251);
    Put(s, Named(sp, "btn_Yes"), 1, 552, 292);
    Put(s, Named(sp, "btn_Yes"), 0, 552, 333);
    Put(s, Named(sp, "btn_Yes"), 0, 503, 389);
    Put(s, Named(sp, "btn_No"), 0, 503, 430);
    Put(s, Named(sp, "btn_OK"), 1, 460, 476);
    out.push_back(s);
  }
  {  // Help and exit pages.
    Screen s;
    menuBase(s, 7);
    Put(s, Named(sp, "menu_slot_210x69"), 0, 290, 129);
    Put(s, Named(sp, "menu_Help_311x150"), 0, 314, 150);
    out.push_back(s);
    Screen e;
    menuBase(e, 8);
    Put(e, Named(sp, "menu_slot_210x69"), 0, 290, 129);
    Put(e, Named(sp, "menu_headerExit"), 0, 345, 215);
    Put(e, Named(sp, "btn_Yes"), 1, 408, 330);
    Put(e, Named(sp, "btn_No"), 0, 548, 330);
    out.push_back(e);
    Screen m;
    menuBase(m, 9);
    Put(m, Named(sp, "menu_slot_210x69"), 0, 290, 129);
    Put(m, Named(sp, "menu_trymoregames"), 0, 315, 145);
    out.push_back(m);
  }
  for (int set = 0; set < 5; ++set) {  // The playing field of each texture set.
    Screen s;
    Tile(s, tx[size_t(5 + set)]);
    Put(s, Named(sp, "bigpanel"), 0, 663, 451);
    Put(s, Named(sp, "smalpanel"), 0, 723, 2);
    Put(s, Named(sp, "pan_level"), 0, 678, 472);
    Put(s, Named(sp, "pan_menu"), 0, 678, 562);
    Put(s, Named(sp, "pan_next"), set == 0 ? 1 : 0, 678, 532);
    Put(s, Named(sp, "pan_prev"), 0, 678, 502);
    Put(s, Named(sp, "pan_minimize"), 0, 736, 8);
    Put(s, Named(sp, "pan_close"), 0, 766, 8);
    Put(s, Named(sp, "pan_time"), 0, 4, 4);
    const TImageItemData& ft = Named(sp, "pan_fortext");
    Put(s, ft, 0, 4, 488);
    Put(s, ft, 0, 200, 488, 400, ft.Picture.Height);
    const TImageItemData& cl = Named(sp, "pan_close");
    Put(s, cl, 0, 596 - cl.PatternWidth, 492);
    const TImageItemData& nt = Named(sp, "pan_nexttip");
    Put(s, nt, 0, 572 - nt.PatternWidth, 488 + ft.Picture.Height - 10 - nt.PatternHeight);
    int level = set * 5 + 2;
    const TImageItemData& num = Named(sp, "pan_numbers");
    Put(s, num, level / 10, 777 - 30, 475);
    Put(s, num, level % 10, 777 - 15, 475);
    Text(s, 13, 10, 16, "14:05:09", 0x010101);
    Text(s, 11, 8, 16, "14:05:09", 0xffffff);
    const char* stats[5] = {"figures : 7", "moves : 12", "rotates : 5", "MaximalTime : 1200", "LevelScore : 640"};
    for (int k = 0; k < 5; ++k) Text(s, 16, 504 + 15 * k, 13, stats[k], 0xffffff);
    Text(s, 228, 498, 13, "Tips", 0xffffff);
    Text(s, 218, 504, 13, "_________________________________________________", 0xffffff);
    Text(s, 218, 522, 13, "The mouse wheel is the most convenient tool for pieces rotation.", 0xffffff);
    Text(s, 218, 540, 13, "You can use the right mouse button to rotate pieces.", 0xffffff);
    Put(s, Named(sp, "Slot"), 0, 250, 50);
    // Two pieces cut from the set's material, edged in black as the game does.
    const TImageItemData& mat = tx[size_t(set)];
    auto piece = [&](std::vector<std::pair<float, float>> poly, int ox, int oy) {
      for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
          float d = art::SdPolygon(float(x) + 0.5f, float(y) + 0.5f, poly);
          if (d > 0.5f) continue;
          int X = ox + x, Y = oy + y;
          if (X < 0 || Y < 0 || X >= 800 || Y >= 600) continue;
          uint32_t v = d > -1.f ? 0x000000u : mat.Picture.Pixels[size_t(y) * 300 + size_t(x)];
          s.px[size_t(Y) * 800 + size_t(X)] = v;
        }
    };
    piece({{50, 50}, {250, 50}, {150, 150}}, 50, 0);
    piece({{50, 50}, {150, 150}, {50, 250}}, 250, 50);
    piece({{40, 120}, {160, 60}, {230, 180}, {110, 240}}, 480, 240);
    if (set == 4) {
      Put(s, Named(sp, "Complete_52x100"), 0, 302, 150);
      Put(s, Named(sp, "RotateCW"), 3, 600 - 18, 300 - 18);
    } else {
      Put(s, Named(sp, "CursorPnt"), 0, 700, 300);
    }
    out.push_back(s);
  }
  {  // Message box.
    Screen s;
    Tile(s, tx[10]);
    int top = (495 - 30 * 4) / 2, bottom = 600 - top, left = 300 - 130, right = 800 - left;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x)
        if (y < top || y >= bottom || x < left || x >= right) s.px[size_t(y) * 800 + size_t(x)] = 0;
    const char* lines[4] = {"Please complete this level.", "You can't switch to another", "level until do not complete",
                            "the current level."};
    for (int i = 0; i < 4; ++i) {
      int w = art::TextWidth("serif-bold", 27, lines[i]);
      art::Mask m = art::TextMask(800, 600, "serif-bold", 27, lines[i], float((800 - w) / 2), float(top + 30 * (i + 1) + 22));
      for (size_t k = 0; k < s.px.size(); ++k)
        if (m.v[k] > 0.5f) s.px[k] = 0xffd900;
    }
    Put(s, Named(sp, "btn_OK"), 1, 370, bottom - 50);
    Put(s, Named(sp, "Loading"), 0, 220, 20);
    out.push_back(s);
  }
  return out;
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
  std::vector<Screen> screens = MockScreens(sprites, textures);
  for (size_t i = 0; i < screens.size(); ++i) {
    Cell c;
    c.label = "screen mock-up " + std::to_string(i + 1);
    c.w = 800;
    c.h = 600;
    c.px = screens[i].px;
    cells.insert(cells.begin() + long(i), c);
  }
  const int W = 1630, pad = 10, label = 16;
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
