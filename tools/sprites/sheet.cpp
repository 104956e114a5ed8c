// The contact sheet: the game's own screens drawn headless from these pictures, then every
// pattern of every sprite and every texture, each with its name. Key-coloured (transparent)
// pixels show as a grey checkerboard.
#include "sheet.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/loop.h"
#include "app/shell.h"
#include "art.h"
#include "hud/msgbox.h"
#include "media/devices.h"
#include "media/surface.h"
#include "menu/menu.h"
#include "menu/menu_pages.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "toolkit.h"

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
// --- screens, drawn by the game itself ----------------------------------------------

struct Screen {
  std::vector<uint32_t> px;
};

// The game headless on the test double, in a scratch folder holding these pictures as its
// packages, the committed level files and no sounds; the screens are its own frames.
class HeadlessGame {
 public:
  HeadlessGame(const std::vector<TImageItemData>& sprites, const std::vector<TImageItemData>& textures) {
    namespace fs = std::filesystem;
    std::string tmpl = (fs::temp_directory_path() / "tangrel_sheet_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a scratch folder");
    dir = tmpl;
    oldDir = fs::current_path();
    fs::current_path(dir);
    Write("Sprites.gpk", WriteImagePackage(sprites));
    Write("Textures.gpk", WriteImagePackage(textures));
    Write("Sounds.spk", WriteWavePackage({}));
    for (const char* f : {"Episode0.dat", "Episode50.dat", "Episode75.dat", "Episode90.dat"})
      fs::copy_file(fs::path(TANGREL_SOURCE_DIR) / "data" / "levels" / f, dir / f);
    fake.programDir = fake.configDir = dir.string() + "/";
    plat::SetPlatform(&fake);
    ResetAllUnits();
    if (!StartMainForm() || !fake.errors.empty())
      throw std::runtime_error("the game did not start: " + (fake.errors.empty() ? "" : fake.errors.front()));
    Send(plat::EventKind::Activate);
    Frames(1);
  }
  ~HeadlessGame() {
    EndMainForm();
    plat::SetPlatform(nullptr);
    std::error_code ec;
    std::filesystem::current_path(oldDir, ec);
    std::filesystem::remove_all(dir, ec);
  }

  void Send(plat::EventKind kind, TPoint at = {}) {
    plat::Event e;
    e.Kind = kind;
    e.X = at.X;
    e.Y = at.Y;
    DispatchEvent(e);
  }
  void MoveTo(TPoint p) { Send(plat::EventKind::MouseMove, p); }
  void Click(TPoint p) {
    MoveTo(p);
    Send(plat::EventKind::MouseDown, p);
    Send(plat::EventKind::MouseUp, p);
  }
  // Frames of ms each, enough for the menu's highlights to settle.
  void Frames(int n, uint32_t ms = 16) {
    for (int i = 0; i < n; ++i) {
      fake.ticks += ms;
      RunOneFrame();
    }
  }
  Screen Shot() const {
    const TSurface& s = BackSurface();
    Screen out;
    out.px.resize(800 * 600);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) out.px[size_t(y) * 800 + size_t(x)] = s.Pixels()[size_t(y) * size_t(s.Pitch()) + size_t(x)];
    return out;
  }

 private:
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream o(dir / name, std::ios::binary);
    o.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  plat::FakePlatform fake;
  std::filesystem::path dir, oldDir;
};

TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

std::vector<Screen> GameScreens(const std::vector<TImageItemData>& sp, const std::vector<TImageItemData>& tx) {
  HeadlessGame game(sp, tx);
  std::vector<Screen> out;
  const TPoint offEverything{790, 590};
  // Episode 2 with a level row under the pointer.
  game.Click(Centre(MenuItems[2].Rect));
  game.MoveTo(Centre(LevelCatalogue[23].Row));
  game.Frames(8);
  out.push_back(game.Shot());
  // Options with OK under the pointer.
  game.Click(Centre(MenuItems[kItemOptions].Rect));
  game.MoveTo(Centre(OptionButtons[7].Rect));
  game.Frames(8);
  out.push_back(game.Shot());
  // Help, the exit question with Yes under the pointer, and the more-games page (only
  // hovered: a click would open the browser).
  game.Click(Centre(MenuItems[kItemHelp].Rect));
  game.MoveTo(offEverything);
  game.Frames(8);
  out.push_back(game.Shot());
  game.Click(Centre(MenuItems[kItemExit].Rect));
  game.MoveTo(Centre(ExitButtons[1]));
  game.Frames(8);
  out.push_back(game.Shot());
  game.MoveTo(Centre(MenuItems[kItemMoreGames].Rect));
  game.Frames(8);
  out.push_back(game.Shot());
  // The playing field of each texture set, the pointer over "next" on the first; the last
  // shows the level-complete display with the turning pointer.
  for (int set = 0; set < 5; ++set) {
    CurrentLevel = set * 5 + 2;
    ScreenState = scPlaying;
    ChangeLevel(0);
    game.MoveTo(set == 0 ? TPoint{700, 540} : TPoint{700, 300});
    if (set == 4) {
      ScreenState = scLevelComplete;
      RotateCursor = 1;
      game.Frames(1, 4000);
    }
    game.Frames(2);
    out.push_back(game.Shot());
    RotateCursor = 0;
  }
  // The message box over the playing field.
  ScreenState = scPlaying;
  ShowMessageBox();
  game.Frames(2);
  out.push_back(game.Shot());
  return out;
}
}  // namespace

void WriteContactSheet(const std::string& path, const std::vector<TImageItemData>& sprites,
                       const std::vector<TImageItemData>& textures) {
  std::vector<Cell> cells;
  for (auto& it : sprites) AddCells(cells, it);
  for (size_t i = 0; i < textures.size(); ++i) {
    TImageItemData t = textures[i];
    t.Name = "texture " + std::to_string(i) + " (" + t.Name + ")";
    AddCells(cells, t);
  }
  // Flow layout.
  std::vector<Screen> screens = GameScreens(sprites, textures);
  for (size_t i = 0; i < screens.size(); ++i) {
    Cell c;
    c.label = "game screen " + std::to_string(i + 1);
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
  TPicture sheet;
  sheet.Width = W;
  sheet.Height = H;
  sheet.Pixels = std::move(px);
  toolkit::WritePNG(path, sheet);
}
