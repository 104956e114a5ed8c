// The sprite list: walnut plates with brass rims, gold captions with a dark edge, and a warm
// glow on every highlighted pattern. Positions follow the 800 x 600 screen layout.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "art.h"
#include "generators.h"
#include "sprite_list.h"

namespace {
using namespace art;
using Pts = std::vector<std::pair<float, float>>;

constexpr float kPi = 3.14159265f;
// The flat colour of the menu's page area; every picture drawn onto the page is matted on it.
const uint32_t kPageHex = 0x21170f;
RGB Page() { return Hex(kPageHex); }
RGB Dark() { return Hex(0x140a04); }

TImageItemData Item(const std::string& name, TPicture pic, int pw = 0, int ph = 0) {
  TImageItemData it;
  it.Name = name;
  it.PatternWidth = pw;
  it.PatternHeight = ph;
  it.HasPicture = true;
  it.Picture = std::move(pic);
  return it;
}

// Two looks of a button, one under the other.
TImageItemData Pair(const std::string& name, const TPicture& normal, const TPicture& lit) {
  return Item(name, StackV({normal, lit}), normal.Width, normal.Height);
}

float Clamp01(float v) { return std::clamp(v, 0.f, 1.f); }

// Walnut colour with a horizontal grain, for plate bodies.
RGB WalnutAt(int x, int y, float light) {
  float warp = PFbm(float(x) / 90.f, float(y) / 30.f, 64, 64, 3, 901);
  float rings = std::sin(2 * kPi * (float(y) / 11.f + 2.2f * warp));
  float streak = PFbm(float(x) / 70.f, float(y) / 2.5f, 64, 512, 2, 902);
  RGB c = Mix(Hex(0x56341b), Hex(0x2a170b), Clamp01(0.45f + 0.25f * rings + 0.6f * (streak - 0.5f)));
  return Scale(c, light);
}

RGB BrassAt(float t) {  // t: 0 top (light) .. 1 bottom (dark)
  if (t < 0.45f) return Mix(Hex(0xfbe7a6), Hex(0xd7a746), t / 0.45f);
  return Mix(Hex(0xd7a746), Hex(0x7a4f16), std::min(1.f, (t - 0.45f) / 0.55f));
}

struct PlateStyle {
  float radius = 6;
  float rim = 3;          // brass rim width
  float bodyLight = 1.0;  // walnut brightness
  bool lit = false;       // warm inner glow, brighter rim
  bool dark = false;      // near-black leather body for text backdrops
};

// A walnut plate with a bevelled brass rim filling (x0,y0)-(x1,y1).
void Plate(Img& img, float x0, float y0, float x1, float y1, const PlateStyle& st) {
  auto outer = [&](float px, float py) { return SdRoundRect(px, py, x0, y0, x1, y1, st.radius); };
  float ri = st.radius > st.rim ? st.radius - st.rim : 1.f;
  auto inner = [&](float px, float py) {
    return SdRoundRect(px, py, x0 + st.rim, y0 + st.rim, x1 - st.rim, y1 - st.rim, ri);
  };
  Mask mo = MaskOf(img.w, img.h, outer);
  Mask mi = MaskOf(img.w, img.h, inner);
  // Dark edge, then the brass rim lit from above.
  PaintFlat(img, mo, Dark());
  Mask rim = MaskOf(img.w, img.h, outer, -1.f);
  float h = y1 - y0;
  Paint(img, rim, [&](int, int y) {
    RGB c = BrassAt(Clamp01((float(y) + 0.5f - y0) / h));
    return st.lit ? Mix(c, Hex(0xfff2c0), 0.3f) : c;
  });
  // Body.
  Paint(img, mi, [&](int x, int y) {
    RGB c = st.dark ? Mix(Hex(0x1d120b), Hex(0x2a1b10), PNoise(float(x) / 6, float(y) / 6, 256, 256, 77))
                    : WalnutAt(x, y, st.bodyLight);
    // Inner bevel: light under the top rim, shade above the bottom rim.
    float d = -inner(float(x) + 0.5f, float(y) + 0.5f);
    float fy = (float(y) + 0.5f - y0) / h;
    float bevel = Clamp01(1 - d / 3.f);
    if (fy < 0.5f) c = Mix(c, Hex(0x0c0603), bevel * 0.6f);
    else c = Mix(c, Hex(0x8a6a40), bevel * 0.25f);
    if (st.lit) {
      float glow = Clamp01(1 - d / 10.f);
      c = Mix(c, Hex(0xd0801c), 0.18f + 0.3f * glow);
    }
    return c;
  });
  // A thin dark line separates rim and body.
  Mask line = Minus(MaskOf(img.w, img.h, inner, 0.8f), mi);
  PaintFlat(img, line, Hex(0x2a1808), 0.8f);
}

// Soft outer glow behind a shape.
void Glow(Img& img, const Mask& shape, int radius, uint32_t color, float strength) {
  PaintFlat(img, Times(Blur(Dilate(shape, 1.f), radius), strength), Hex(color), 1.f);
}

// --- buttons -----------------------------------------------------------------

TPicture ButtonFace(int w, int h, const std::string& text, bool lit, int px, RGB matte) {
  Img img(w, h);
  Plate(img, 0, 0, float(w), float(h), {.radius = 6, .rim = 2.5f, .lit = lit});
  float base = float(h) / 2 + float(px) * 0.36f;
  CaptionCentered(img, "serif-bold", px, text, float(w) / 2, base, lit ? Look::GoldLit : Look::Gold);
  return Flatten(img, 0, matte, 0.5f);
}

TImageItemData Button(const std::string& name, int w, int h, const std::string& text, int px,
                      RGB matte) {
  return Pair(name, ButtonFace(w, h, text, false, px, matte), ButtonFace(w, h, text, true, px, matte));
}

// A panel button with a small glyph drawn beside or instead of its caption.
using GlyphFn = std::function<void(Img&, bool)>;
TPicture PanelFace(int w, int h, const std::string& text, float textX, bool lit, const GlyphFn& glyph) {
  Img img(w, h);
  Plate(img, 0, 0, float(w), float(h), {.radius = 5, .rim = 2.f, .lit = lit});
  if (!text.empty()) {
    int px = 16;
    float base = float(h) / 2 + 6;
    if (textX < 0)
      CaptionCentered(img, "serif-bold", px, text, float(w) / 2, base, lit ? Look::GoldLit : Look::Gold);
    else
      Caption(img, "serif-bold", px, text, textX, base, lit ? Look::GoldLit : Look::Gold);
  }
  if (glyph) glyph(img, lit);
  return Flatten(img, 0, Dark(), 0.5f);
}

// A gold shape with a dark edge (icons on buttons).
void GoldShape(Img& img, const SdfFn& sd, bool lit) {
  Mask m = MaskOf(img.w, img.h, sd);
  if (lit) Glow(img, m, 3, 0xffa030, 1.5f);
  PaintFlat(img, Dilate(m, 1.2f), Hex(0x241206));
  float top = 0, bot = float(img.h);
  Paint(img, m, [&](int, int y) {
    RGB c = Mix(Hex(lit ? 0xffffe0 : 0xfff0b0), Hex(lit ? 0xf0b040 : 0xb07a1c),
                Clamp01((float(y) - top) / (bot - top)));
    return c;
  });
}

Pts Tri(float ax, float ay, float bx, float by, float cx, float cy) { return {{ax, ay}, {bx, by}, {cx, cy}}; }

// --- pointers ------------------------------------------------------------------

TImageItemData Cursor() {
  Img img(22, 32);
  Pts arrow = {{0.5f, 0.5f}, {0.5f, 23.5f}, {6.f, 18.5f}, {10.f, 28.f}, {14.f, 26.f},
               {10.2f, 16.8f}, {17.5f, 16.8f}};
  auto sd = [&](float x, float y) { return SdPolygon(x, y, arrow); };
  Mask body = MaskOf(22, 32, sd, -0.6f);
  PaintFlat(img, MaskOf(22, 32, sd, 0.9f), Hex(0x1a0c03));
  Paint(img, body, [&](int x, int y) {
    float t = Clamp01((float(y) * 0.8f + float(x) * 0.4f) / 28.f);
    return BrassAt(t);
  });
  // Highlight along the left edge.
  Mask hl = MaskOf(22, 32, [](float x, float y) { return SdSegment(x, y, 2.5f, 4.5f, 2.5f, 18.f) - 0.6f; });
  PaintFlat(img, hl, Hex(0xfff6d0), 0.7f);
  TPicture p = Flatten(img, 0, Hex(0x1a0c03), 0.45f);
  // The hot spot is the top-left pixel: keep it solid.
  p.Pixels[0] = 0x1a0c03;
  p.Pixels[1] = 0x1a0c03;
  p.Pixels[size_t(p.Width)] = 0x1a0c03;
  return Item("CursorPnt", p);
}

// A turning arrow, 14 frames of 36 x 36; clockwise, or mirrored for counter-clockwise.
TImageItemData RotateCursor(bool clockwise) {
  std::vector<TPicture> frames;
  const float cx = 18, cy = 18, R = 11, t = 4.2f, span = 4.6f;
  for (int k = 0; k < 14; ++k) {
    float a0 = float(k) * 2 * kPi / 14 - kPi / 2;
    float ae = a0 + span;
    float ex = cx + R * std::cos(ae), ey = cy + R * std::sin(ae);
    float tx = -std::sin(ae), ty = std::cos(ae), nx = std::cos(ae), ny = std::sin(ae);
    Pts head = Tri(ex + tx * 7.5f, ey + ty * 7.5f, ex + nx * 7.f - tx * 1.f, ey + ny * 7.f - ty * 1.f,
                   ex - nx * 7.f - tx * 1.f, ey - ny * 7.f - ty * 1.f);
    auto sd = [&](float px, float py) {
      float dx = px - cx, dy = py - cy;
      float phi = std::atan2(dy, dx);
      float rel = std::fmod(phi - a0 + 8 * kPi, 2 * kPi);
      float d;
      if (rel <= span) {
        d = std::fabs(std::hypot(dx, dy) - R) - t / 2;
      } else {
        float sx = cx + R * std::cos(a0), sy = cy + R * std::sin(a0);
        d = std::min(std::hypot(px - sx, py - sy), std::hypot(px - ex, py - ey)) - t / 2;
      }
      return std::min(d, SdPolygon(px, py, head));
    };
    Img img(36, 36);
    PaintFlat(img, MaskOf(36, 36, sd, 1.1f), Hex(0x1a0c03));
    Paint(img, MaskOf(36, 36, sd), [&](int, int y) { return BrassAt(Clamp01(float(y) / 36.f)); });
    Mask dot = MaskOf(36, 36, [&](float x, float y) { return SdCircle(x, y, cx, cy, 2.2f); });
    PaintFlat(img, Dilate(dot, 1.f), Hex(0x1a0c03));
    PaintFlat(img, dot, Hex(0xfff0b0));
    TPicture p = Flatten(img, 0, Hex(0x1a0c03), 0.45f);
    if (!clockwise) {  // mirror: the arrow then turns the other way round
      for (int y = 0; y < 36; ++y) std::reverse(p.Pixels.begin() + y * 36, p.Pixels.begin() + y * 36 + 36);
    }
    frames.push_back(p);
  }
  return Item(clockwise ? "RotateCW" : "RotateCCW", StackH(frames), 36, 36);
}

// --- big pictures ----------------------------------------------------------------

TImageItemData Loading() {
  Img img(360, 110);
  Plate(img, 0, 0, 360, 110, {.radius = 10, .rim = 4});
  CaptionCentered(img, "serif-bold", 46, "Tangrel 2.0", 180, 62, Look::Gold);
  CaptionCentered(img, "serif-italic", 18, "Loading the pieces...", 180, 92, Look::Cream);
  return Item("Loading", Flatten(img, 0, Dark(), 0.5f));
}

TImageItemData Slot() {
  Img img(300, 300);
  auto outer = [](float x, float y) { return SdRoundRect(x, y, 0, 0, 300, 300, 16); };
  auto hole = [](float x, float y) { return SdRoundRect(x, y, 50, 50, 250, 250, 0); };
  Mask frame = Minus(MaskOf(300, 300, outer), MaskOf(300, 300, hole));
  // Brass outer rim and walnut frame with mitred grain.
  PaintFlat(img, frame, Dark());
  Paint(img, Minus(MaskOf(300, 300, outer, -1.f), MaskOf(300, 300, hole)), [](int, int y) {
    return BrassAt(float(y) / 300.f);
  });
  Mask wood = Minus(MaskOf(300, 300, [](float x, float y) { return SdRoundRect(x, y, 5, 5, 295, 295, 12); }),
                    MaskOf(300, 300, hole));
  Paint(img, wood, [](int x, int y) {
    // Left and right rails run vertically, top and bottom horizontally, joined at the diagonals.
    int dx = std::min(x, 299 - x), dy = std::min(y, 299 - y);
    bool vertical = dx < dy;
    RGB c = vertical ? WalnutAt(y + 1000, x, 1.05f) : WalnutAt(x, y, 1.05f);
    if (std::abs(dx - dy) < 1) c = Scale(c, 0.6f);
    // Bevel: the frame slopes down into the hole over its inner 14 pixels.
    float in = 1e9f;
    if (x >= 40 && x < 260 && y >= 40 && y < 260) {
      float ix = std::max(std::max(50.f - float(x), float(x) - 249.f), 0.f);
      float iy = std::max(std::max(50.f - float(y), float(y) - 249.f), 0.f);
      in = std::max(ix, iy);
    }
    if (in < 14) {
      float t = 1 - in / 14;
      bool lightSide = (y >= 250 && dy <= dx) || (x >= 250 && dx < dy);
      c = Mix(c, lightSide ? Hex(0xa0784a) : Hex(0x0e0704), t * (lightSide ? 0.35f : 0.7f));
    }
    return c;
  });
  // A brass lip around the opening.
  Mask lip = Minus(MaskOf(300, 300, [](float x, float y) { return SdRoundRect(x, y, 47, 47, 253, 253, 0); }),
                   MaskOf(300, 300, hole));
  Paint(img, lip, [](int, int y) { return BrassAt(Clamp01(float(y - 47) / 206.f)); });
  // Four brass studs in the corners.
  for (int k = 0; k < 4; ++k) {
    float sx = k % 2 ? 275.f : 25.f, sy = k / 2 ? 275.f : 25.f;
    Mask stud = MaskOf(300, 300, [&](float x, float y) { return SdCircle(x, y, sx, sy, 6); });
    PaintFlat(img, Blur(Shift(stud, 1, 2), 1), Hex(0x0a0502), 0.7f);
    Paint(img, stud, [&](int x, int y) {
      float t = Clamp01((float(y) - sy + 6) / 12.f * 0.8f + (float(x) - sx + 6) / 12.f * 0.2f);
      return BrassAt(t);
    });
  }
  TPicture p = Flatten(img, 0, Dark(), 0.5f);
  // The opening stays clear whatever the rounding did.
  for (int y = 50; y < 250; ++y)
    for (int x = 50; x < 250; ++x) p.Pixels[size_t(y) * 300 + size_t(x)] = 0;
  return Item("Slot", p);
}

TImageItemData Complete() {
  Img img(198, 100);
  Plate(img, 1, 1, 197, 99, {.radius = 12, .rim = 4, .lit = true});
  CaptionCentered(img, "serif-bold", 40, "Solved!", 99, 54, Look::GoldLit);
  CaptionCentered(img, "serif-italic", 17, "Level complete", 99, 82, Look::Cream);
  return Item("Complete_52x100", Flatten(img, 0, Dark(), 0.5f));
}

// --- panel -----------------------------------------------------------------------

TImageItemData Backplate(const std::string& name, int w, int h, float radius, bool dark, float rim) {
  Img img(w, h);
  Plate(img, 0, 0, float(w), float(h), {.radius = radius, .rim = rim, .dark = dark});
  return Item(name, Flatten(img, 0, Dark(), 0.5f));
}

TImageItemData PanNumbers() {
  std::vector<TPicture> pats;
  for (int d = 0; d < 10; ++d) {
    Img img(15, 20);
    std::string s(1, char('0' + d));
    CaptionCentered(img, "sans-bold", 20, s, 7.5f, 18, Look::Gold);
    pats.push_back(Flatten(img, 0, Hex(0x0e0804), 0.3f));
  }
  return Item("pan_numbers", StackH(pats), 15, 20);
}

TPicture PanLevelFace(bool lit) {
  Img img(110, 28);
  Plate(img, 0, 0, 110, 28, {.radius = 5, .rim = 2.f, .lit = lit});
  Caption(img, "serif-bold", 16, "Level", 9, 20, lit ? Look::GoldLit : Look::Gold);
  // The window the level number is drawn in: x 66..104, y 3..25.
  auto win = [](float x, float y) { return SdRoundRect(x, y, 64, 3, 105, 25, 3); };
  PaintFlat(img, MaskOf(110, 28, win, 1.f), lit ? Hex(0xffd070) : Hex(0x8a5e22));
  Paint(img, MaskOf(110, 28, win), [](int, int y) { return Mix(Hex(0x050302), Hex(0x1a100a), float(y) / 28.f); });
  return Flatten(img, 0, Dark(), 0.5f);
}

void ArrowGlyph(Img& img, bool lit, bool left, float cx) {
  float cy = float(img.h) / 2;
  Pts t = left ? Tri(cx - 5, cy, cx + 4, cy - 6, cx + 4, cy + 6) : Tri(cx + 5, cy, cx - 4, cy - 6, cx - 4, cy + 6);
  GoldShape(img, [t](float x, float y) { return SdPolygon(x, y, t); }, lit);
}

TImageItemData PanelButton(const std::string& name, const std::string& text, float textX, const GlyphFn& g) {
  return Pair(name, PanelFace(110, 28, text, textX, false, g), PanelFace(110, 28, text, textX, true, g));
}

TImageItemData SmallButton(const std::string& name, const GlyphFn& g) {
  return Pair(name, PanelFace(26, 26, "", 0, false, g), PanelFace(26, 26, "", 0, true, g));
}

TPicture NextTipFace(bool lit) {
  Img img(80, 20);
  Plate(img, 0, 0, 80, 20, {.radius = 4, .rim = 1.5f, .lit = lit});
  Caption(img, "sans-bold", 12, "Next tip", 9, 14.5f, lit ? Look::GoldLit : Look::Gold);
  Pts t = Tri(72, 10, 66, 6, 66, 14);
  GoldShape(img, [t](float x, float y) { return SdPolygon(x, y, t); }, lit);
  return Flatten(img, 0, Dark(), 0.5f);
}

// --- menu ------------------------------------------------------------------------

struct MenuEntry {
  const char* name;
  const char* text;
  int x, y, w, h, px;
};
const MenuEntry kMenu[9] = {
    {"menu_Episode1_41x62", "Episode 1", 121, 122, 150, 32, 24},
    {"menu_Episode2_41x97", "Episode 2", 121, 157, 150, 32, 24},
    {"menu_Episode3_41x133", "Episode 3", 121, 193, 150, 32, 24},
    {"menu_Episode4_41x169", "Episode 4", 121, 229, 150, 32, 24},
    {"menu_Episode5_41x204", "Episode 5", 121, 264, 150, 32, 24},
    {"menu_Options_25x276", "Options", 105, 336, 166, 32, 24},
    {"menu_Help_25x310", "Help", 105, 370, 166, 32, 24},
    {"menu_Exit_25x381", "Exit", 105, 441, 166, 32, 24},
    {"bsURLactive_16x445", "More games", 96, 505, 176, 30, 21},
};

void MenuCaption(Img& img, const MenuEntry& e, bool lit) {
  Caption(img, "serif-bold", e.px, e.text, float(e.x + 10), float(e.y + e.h / 2 + e.px * 0.36f),
          lit ? Look::GoldLit : Look::Gold);
}

void BrassRule(Img& img, float x0, float x1, float y) {
  Mask m = MaskOf(img.w, img.h, [&](float x, float yy) { return SdSegment(x, yy, x0, y, x1, y) - 0.8f; });
  PaintFlat(img, Shift(m, 0, 1), Hex(0x0a0502), 0.8f);
  Paint(img, m, [&](int x, int) {
    float t = std::fabs((float(x) - (x0 + x1) / 2) / ((x1 - x0) / 2));
    return Mix(Hex(0xf0cc70), Hex(0x6a4812), t);
  });
  Mask dia = MaskOf(img.w, img.h, [&](float x, float yy) {
    return SdPolygon(x, yy, {{(x0 + x1) / 2, y - 4}, {(x0 + x1) / 2 + 4, y}, {(x0 + x1) / 2, y + 4}, {(x0 + x1) / 2 - 4, y}});
  });
  PaintFlat(img, Dilate(dia, 1), Hex(0x1a0c03));
  PaintFlat(img, dia, Hex(0xf6d27a));
}

// The menu screen without its captions; texture 10 tiled underneath, as the game draws it.
Img MenuBase() {
  TPicture wood = WalnutTexture();
  Img img(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t v = wood.Pixels[size_t(y % wood.Height) * size_t(wood.Width) + size_t(x % wood.Width)];
      RGB c = Hex(v);
      float dx = (float(x) - 400) / 400, dy = (float(y) - 300) / 300;
      c = Scale(c, 1.05f - 0.35f * Clamp01((dx * dx + dy * dy) * 0.6f));
      img.Over(x, y, c, 1);
    }
  // Title.
  Mask glowArea = MaskOf(800, 600, [](float x, float y) { return SdRoundRect(x, y, 250, 30, 550, 90, 30); });
  PaintFlat(img, Blur(glowArea, 14), Hex(0x8a5214), 0.35f);
  CaptionCentered(img, "serif-bold", 60, "Tangrel 2.0", 400, 80, Look::Gold);
  BrassRule(img, 90, 250, 60);
  BrassRule(img, 550, 710, 60);
  // Shadows under the two boards.
  Mask sh1 = MaskOf(800, 600, [](float x, float y) { return SdRoundRect(x, y, 84, 112, 280, 558, 12); });
  Mask sh2 = MaskOf(800, 600, [](float x, float y) { return SdRoundRect(x, y, 282, 112, 740, 558, 12); });
  PaintFlat(img, Blur(Shift(Union(sh1, sh2), 4, 6), 6), Hex(0x050201), 0.75f);
  // The menu board on the left.
  Plate(img, 84, 112, 280, 558, {.radius = 12, .rim = 5, .bodyLight = 0.8f});
  BrassRule(img, 104, 262, 316);
  BrassRule(img, 104, 262, 421);
  BrassRule(img, 104, 262, 489);
  // The page frame: a brass frame around a dark leather page.
  Plate(img, 282, 112, 740, 558, {.radius = 12, .rim = 8, .bodyLight = 1.0f});
  auto page = [](float x, float y) { return SdRoundRect(x, y, 290, 120, 732, 550, 4); };
  PaintFlat(img, MaskOf(800, 600, page, 1.5f), Hex(0x0c0603));
  PaintFlat(img, MaskOf(800, 600, page), Page());
  CaptionCentered(img, "serif-italic", 17, "Choose a level", 511, 146, Look::Cream);
  return img;
}

void MenuPictures(std::vector<TImageItemData>& out) {
  Img base = MenuBase();
  Img normal = base;
  for (auto& e : kMenu) MenuCaption(normal, e, false);
  out.push_back(Item("menufone", Flatten(normal, 0, Dark(), 0.f)));
  for (auto& e : kMenu) {
    Img lit = normal;
    MenuCaption(lit, e, true);
    out.push_back(Item(e.name, Flatten(Crop(lit, e.x, e.y, e.w, e.h), 0, Dark(), 0.f)));
  }
}

// Row pictures are drawn onto the page; soft edges are matted on its colour.
TPicture OnPage(const Img& img) { return Flatten(img, 0, Page(), 0.1f); }

// The three rating marks differ in outline as well as colour, so that they can be told apart
// without their colours: quick levels a round coin, medium ones a five-pointed star, long ones
// a triangle standing on its base.
enum class Mark { Round, Star, Triangle };

struct RatingMark {
  const char* sprite;
  const char* word;  // the legend's word
  Mark shape;
  uint32_t light, dark;
};
constexpr RatingMark kRatingMarks[] = {{"_greenstar", "quick", Mark::Round, 0xa8f080, 0x2e8a28},
                                       {"_goldstar", "medium", Mark::Star, 0xfff0a0, 0xd08a18},
                                       {"_redstar", "long", Mark::Triangle, 0xffa080, 0xb02418}};

Mark MarkOf(const std::string& sprite) {
  for (const RatingMark& m : kRatingMarks)
    if (sprite == m.sprite) return m.shape;
  return Mark::Star;
}

void StarShape(Img& img, float cx, float cy, float R, uint32_t light, uint32_t dark, bool lit, Mark shape = Mark::Star) {
  Pts p;
  if (shape == Mark::Star) {
    for (int k = 0; k < 10; ++k) {
      float a = -kPi / 2 + float(k) * kPi / 5;
      float r = k % 2 ? R * 0.45f : R;
      p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
  } else if (shape == Mark::Triangle) {
    // The same height as the star, its base a little lower.
    p = {{cx, cy - R}, {cx + R * 0.98f, cy + R * 0.78f}, {cx - R * 0.98f, cy + R * 0.78f}};
  }
  auto sd = [&](float x, float y) {
    if (shape == Mark::Round) return SdCircle(x, y, cx, cy, R * 0.8f);
    return SdPolygon(x, y, p) - 0.6f;
  };
  Mask m = MaskOf(img.w, img.h, sd);
  if (lit) Glow(img, m, 3, light, 1.6f);
  PaintFlat(img, Blur(Shift(m, 1, 1), 1), Hex(0x050201), 0.7f);
  PaintFlat(img, Dilate(m, 1.1f), Hex(0x1a0c03));
  Paint(img, m, [&](int x, int y) {
    float t = Clamp01(((float(y) - cy) / R + 1) / 2 * 0.8f + (float(x) - cx) / R * 0.15f);
    RGB c = Mix(Hex(light), Hex(dark), t);
    return lit ? Mix(c, Hex(0xffffff), 0.25f) : c;
  });
  if (shape == Mark::Round) {
    // A dark ring inside the rim makes the coin read as a coin even in grey.
    Mask ring = Minus(MaskOf(img.w, img.h, [&](float x, float y) { return SdCircle(x, y, cx, cy, R * 0.5f); }),
                      MaskOf(img.w, img.h, [&](float x, float y) { return SdCircle(x, y, cx, cy, R * 0.5f - 1.4f); }));
    PaintFlat(img, ring, Hex(dark), 0.8f);
  }
}

TImageItemData Star(const std::string& name, uint32_t light, uint32_t dark) {
  std::vector<TPicture> pats;
  for (int lit = 0; lit < 2; ++lit) {
    Img img(28, 28);
    StarShape(img, 14, 14.5f, lit ? 11.5f : 10.5f, light, dark, lit != 0, MarkOf(name));
    pats.push_back(OnPage(img));
  }
  return Pair(name, pats[0], pats[1]);
}

void CheckBox(Img& img, float x0, float y0, float s, bool checked, bool lit) {
  auto box = [&](float x, float y) { return SdRoundRect(x, y, x0, y0, x0 + s, y0 + s, 3); };
  Mask mb = MaskOf(img.w, img.h, box);
  if (lit) Glow(img, mb, 3, 0xffa030, 1.2f);
  PaintFlat(img, Dilate(mb, 1.f), Hex(0x1a0c03));
  Paint(img, mb, [&](int, int y) { return BrassAt(Clamp01((float(y) - y0) / s)); });
  Mask inside = MaskOf(img.w, img.h, [&](float x, float y) {
    return SdRoundRect(x, y, x0 + 3, y0 + 3, x0 + s - 3, y0 + s - 3, 1.5f);
  });
  PaintFlat(img, inside, lit ? Hex(0x3a2210) : Hex(0x120a05));
  if (checked) {
    // A green tick that leaps out of the box.
    auto tick = [&](float x, float y) {
      float d1 = SdSegment(x, y, x0 + 4, y0 + s * 0.5f, x0 + s * 0.42f, y0 + s - 5);
      float d2 = SdSegment(x, y, x0 + s * 0.42f, y0 + s - 5, x0 + s + 3, y0 - 5);
      return std::min(d1, d2) - 2.2f;
    };
    Mask mt = MaskOf(img.w, img.h, tick);
    PaintFlat(img, Blur(Shift(mt, 1, 1), 1), Hex(0x050201), 0.7f);
    PaintFlat(img, Dilate(mt, 1.1f), Hex(0x0c1a06));
    Paint(img, mt, [&](int, int y) {
      RGB c = Mix(Hex(0xb6f07a), Hex(0x3c9a26), Clamp01((float(y) - y0 + 5) / (s + 5)));
      return lit ? Mix(c, Hex(0xffffff), 0.3f) : c;
    });
  }
}

TImageItemData BoxItem(const std::string& name, bool checked) {
  std::vector<TPicture> pats;
  for (int lit = 0; lit < 2; ++lit) {
    Img img(30, 32);
    CheckBox(img, 3, 8, 20, checked, lit != 0);
    pats.push_back(OnPage(img));
  }
  return Pair(name, pats[0], pats[1]);
}

// A level number's digits stand at a fixed pitch of 20 px, wider than a digit of the row's type:
// each digit is drawn widened to fill its 20 px cell, so that "1" "0" reads as 10, not "1 0".
Img WidenedDigit(const std::string& digit, int w, int h, int px, bool lit) {
  Img wide(2 * w, h);
  CaptionCentered(wide, "serif-bold", px, digit, float(w), float(h) - 8, lit ? Look::GoldLit : Look::Cream);
  // One stretch for all ten digits: the widest digit "0", with its outline, fills the cell.
  static float stretch = 0;
  if (stretch == 0) {
    Img zero(2 * w, h);
    CaptionCentered(zero, "serif-bold", px, "0", float(w), float(h) - 8, Look::GoldLit);
    int lo = 2 * w, hi = -1;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 2 * w; ++x)
        if (zero.a[zero.idx(x, y)] > 0.9f) lo = std::min(lo, x), hi = std::max(hi, x);
    stretch = hi >= lo ? std::max(1.f, float(w - 2) / float(hi - lo + 1)) : 1.f;
  }
  Img out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float sx = float(w) + (float(x) + 0.5f - float(w) / 2) / stretch - 0.5f;
      int x0 = int(std::floor(sx));
      float f = sx - float(x0);
      auto at = [&](const std::vector<float>& ch, int xx) { return xx < 0 || xx >= 2 * w ? 0.f : ch[wide.idx(xx, y)]; };
      size_t i = out.idx(x, y);
      out.r[i] = at(wide.r, x0) * (1 - f) + at(wide.r, x0 + 1) * f;
      out.g[i] = at(wide.g, x0) * (1 - f) + at(wide.g, x0 + 1) * f;
      out.b[i] = at(wide.b, x0) * (1 - f) + at(wide.b, x0 + 1) * f;
      out.a[i] = at(wide.a, x0) * (1 - f) + at(wide.a, x0 + 1) * f;
    }
  return out;
}

TImageItemData RowText(const std::string& name, const std::string& text, int w, int h, int px) {
  const bool digit = text.size() == 1 && text[0] >= '0' && text[0] <= '9';
  std::vector<TPicture> pats;
  for (int lit = 0; lit < 2; ++lit) {
    if (digit) {
      pats.push_back(OnPage(WidenedDigit(text, w, h, px, lit != 0)));
      continue;
    }
    Img img(w, h);
    CaptionCentered(img, "serif-bold", px, text, float(w) / 2, float(h) - 8, lit ? Look::GoldLit : Look::Cream);
    pats.push_back(OnPage(img));
  }
  return Pair(name, pats[0], pats[1]);
}

TImageItemData Legend() {
  Img img(416, 58);
  Caption(img, "serif-italic", 15, "Reference time:", 4, 22, Look::Cream);
  float x = 112;
  for (const RatingMark& m : kRatingMarks) {
    StarShape(img, x + 10, 16, 10, m.light, m.dark, false, m.shape);
    Caption(img, "serif", 15, m.word, x + 23, 22, Look::Cream);
    x += 23 + float(TextWidth("serif", 15, m.word)) + 12;
  }
  CheckBox(img, x + 2, 7, 16, true, false);
  Caption(img, "serif", 15, "solved", x + 24, 22, Look::Cream);
  CaptionCentered(img, "sans", 12, "Round coin: quick; star: medium; triangle: long. The tick: solved.", 208, 48,
                  Look::White);
  return Item("menu_Legend_226x426", OnPage(img));
}

TImageItemData PageSlot() {
  Img img(440, 416);
  Mask all = MaskOf(440, 416, [](float x, float y) { return SdRoundRect(x, y, 0, 0, 440, 416, 3); });
  PaintFlat(img, all, Page());
  auto frameLine = [&](float inset, float width, float alpha) {
    Mask o = MaskOf(440, 416, [&](float x, float y) { return SdRoundRect(x, y, inset, inset, 440 - inset, 416 - inset, 4); });
    Mask i = MaskOf(440, 416, [&](float x, float y) {
      return SdRoundRect(x, y, inset + width, inset + width, 440 - inset - width, 416 - inset - width, 3);
    });
    Paint(img, Minus(o, i), [](int, int y) { return BrassAt(Clamp01(float(y) / 416.f)); }, alpha);
  };
  frameLine(6, 2.f, 1.f);
  frameLine(11, 1.f, 0.7f);
  for (int k = 0; k < 4; ++k) {
    float cx = k % 2 ? 428.f : 12.f, cy = k / 2 ? 404.f : 12.f;
    Pts d = {{cx, cy - 7}, {cx + 7, cy}, {cx, cy + 7}, {cx - 7, cy}};
    Mask m = MaskOf(440, 416, [&](float x, float y) { return SdPolygon(x, y, d); });
    PaintFlat(img, Dilate(m, 1), Hex(0x1a0c03));
    Paint(img, m, [&](int, int y) { return BrassAt(Clamp01((float(y) - cy + 7) / 14)); });
  }
  return Item("menu_slot_210x69", OnPage(img));
}

TImageItemData OptionsHeader() {
  Img img(254, 56);
  CaptionCentered(img, "serif-bold", 38, "Options", 127, 38, Look::Gold);
  BrassRule(img, 40, 214, 49);
  return Item("menu_headerOptions_303x85", OnPage(img));
}

TImageItemData OptionsItems() {
  Img img(140, 256);
  const std::pair<const char*, int> rows[6] = {{"Difficulty", 0}, {"Full screen", 41}, {"Tips", 82},
                                               {"3D look", 123}, {"Music", 179}, {"Sounds", 220}};
  for (auto& r : rows) Caption(img, "serif-bold", 20, r.first, 2, float(r.second + 22), Look::Gold);
  BrassRule(img, 10, 130, 165);
  return Item("menu_OptionsItems", OnPage(img));
}

// Help: the controls of the game, truthfully.
TImageItemData HelpPicture() {
  Img img(392, 390);
  CaptionCentered(img, "serif-bold", 30, "How to play", 196, 30, Look::Gold);
  const char* intro[] = {"Cover the whole floor of the slot-box with the pieces.",
                         "A dropped piece snaps onto any corner close by."};
  float y = 58;
  for (auto s : intro) {
    CaptionCentered(img, "serif", 15, s, 196, y, Look::Cream);
    y += 19;
  }
  BrassRule(img, 60, 332, y - 4);
  y += 20;
  const std::pair<const char*, const char*> keys[] = {
      {"Left drag", "move a piece"},
      {"Right button", "turn 15\u00b0 clockwise; hold to repeat"},
      {"Ctrl + right", "turn 15\u00b0 the other way"},
      {"Right held + left", "turn the other way while held"},
      {"Wheel down / up", "one step clockwise / back"},
      {"Space", "next level, once this one is solved"},
      {"Backspace", "previous level"},
      {"F1", "move a misplaced piece home"},
      {"Alt+Enter", "window or full screen"},
  };
  for (auto& k : keys) {
    Caption(img, "sans-bold", 14, k.first, 8, y, Look::Gold);
    Caption(img, "sans", 14, k.second, 134, y, Look::Cream);
    y += 23;
  }
  y += 4;
  BrassRule(img, 60, 332, y - 6);
  y += 18;
  CaptionCentered(img, "serif-italic", 15, "In the easy mode the pieces never turn;", 196, y, Look::Cream);
  CaptionCentered(img, "serif-italic", 15, "choose the difficulty under Options.", 196, y + 19, Look::Cream);
  return Item("menu_Help_311x150", OnPage(img));
}

// The question; the Yes and No buttons are drawn over its empty middle (y 115..145).
TImageItemData ExitHeader() {
  Img img(330, 230);
  CaptionCentered(img, "serif-bold", 32, "Leave the game?", 165, 38, Look::Gold);
  CaptionCentered(img, "serif-italic", 17, "Your solved levels are kept for next time.", 165, 70, Look::Cream);
  BrassRule(img, 70, 260, 182);
  CaptionCentered(img, "serif-italic", 17, "Thank you for playing Tangrel.", 165, 214, Look::Cream);
  return Item("menu_headerExit", OnPage(img));
}

// A small tangram of the five materials, for the more-games page.
void TangramPiece(Img& img, const Pts& p, uint32_t light, uint32_t dark) {
  auto sd = [&](float x, float y) { return SdPolygon(x, y, p); };
  Mask m = MaskOf(img.w, img.h, sd);
  PaintFlat(img, Blur(Shift(m, 3, 4), 3), Hex(0x050201), 0.7f);
  Paint(img, m, [&](int x, int y) {
    float n = PFbm(float(x) / 14, float(y) / 14, 64, 64, 3, light);
    float d = -sd(float(x) + 0.5f, float(y) + 0.5f);
    RGB c = Mix(Hex(light), Hex(dark), Clamp01(n * 1.2f - 0.1f));
    if (d < 3) c = Mix(c, Hex(0xffffff), 0.25f * (1 - d / 3));
    return c;
  });
  PaintFlat(img, Minus(MaskOf(img.w, img.h, sd, 0.6f), MaskOf(img.w, img.h, sd, -0.6f)), Hex(0x0a0502), 0.9f);
}

TImageItemData MoreGames() {
  Img img(390, 390);
  CaptionCentered(img, "serif-bold", 32, "More games", 195, 34, Look::Gold);
  CaptionCentered(img, "serif-italic", 17, "from Brenmoor Studio", 195, 58, Look::Cream);
  float ox = 115, oy = 80;
  TangramPiece(img, {{ox, oy}, {ox + 160, oy}, {ox + 80, oy + 80}}, 0xf0d090, 0xc08a4a);
  TangramPiece(img, {{ox, oy}, {ox + 80, oy + 80}, {ox, oy + 160}}, 0x5fae7c, 0x1a5a38);
  TangramPiece(img, {{ox + 160, oy}, {ox + 160, oy + 80}, {ox + 120, oy + 40}}, 0x4a70d8, 0x1a2e80);
  TangramPiece(img, {{ox + 80, oy + 80}, {ox + 120, oy + 40}, {ox + 160, oy + 80}, {ox + 120, oy + 120}},
               0xe08a58, 0xa04526);
  TangramPiece(img, {{ox, oy + 160}, {ox + 40, oy + 120}, {ox + 120, oy + 120}, {ox + 80, oy + 160}},
               0xf0a060, 0x8a4a22);
  TangramPiece(img, {{ox + 40, oy + 120}, {ox + 80, oy + 80}, {ox + 120, oy + 120}}, 0xe8c070, 0xa87a30);
  TangramPiece(img, {{ox + 120, oy + 120}, {ox + 160, oy + 80}, {ox + 160, oy + 160}, {ox + 80, oy + 160}},
               0x6a90e8, 0x223a90);
  float y = 272;
  const char* lines[] = {"Enjoyed Tangrel? Brenmoor Studio makes", "more calm puzzles of wood, stone and brass."};
  for (auto s : lines) {
    CaptionCentered(img, "serif", 16, s, 195, y, Look::Cream);
    y += 21;
  }
  CaptionCentered(img, "serif-bold", 19, "Click \u201cMore games\u201d to visit", 195, y + 16, Look::Gold);
  CaptionCentered(img, "serif-bold", 19, "our site in your browser.", 195, y + 40, Look::Gold);
  return Item("menu_trymoregames", OnPage(img));
}

// What was drawn must be what the sprite list says: the same names in the same order, each
// with its pattern size and count.
void CheckAgainstList(const std::vector<TImageItemData>& drawn) {
  if (drawn.size() != kSpriteCount)
    throw std::logic_error("drew " + std::to_string(drawn.size()) + " sprites, the list has " +
                           std::to_string(kSpriteCount));
  for (size_t i = 0; i < kSpriteCount; ++i) {
    const TImageItemData& it = drawn[i];
    const TSpriteListEntry& e = kSpriteList[i];
    const int pw = it.PatternWidth > 0 ? it.PatternWidth : it.Picture.Width;
    const int ph = it.PatternHeight > 0 ? it.PatternHeight : it.Picture.Height;
    const int patterns = (it.Picture.Width / pw) * (it.Picture.Height / ph);
    if (it.Name != e.Name || pw != e.Width || ph != e.Height || patterns != e.Patterns)
      throw std::logic_error("sprite " + std::to_string(i) + " drawn as " + it.Name + " " + std::to_string(pw) +
                             "x" + std::to_string(ph) + " x" + std::to_string(patterns) + ", the list says " +
                             e.Name + " " + std::to_string(e.Width) + "x" + std::to_string(e.Height) + " x" +
                             std::to_string(e.Patterns));
  }
}

}  // namespace

std::vector<TImageItemData> BuildSprites() {
  std::vector<TImageItemData> out;
  out.push_back(Loading());
  out.push_back(Cursor());
  out.push_back(RotateCursor(true));
  out.push_back(RotateCursor(false));
  out.push_back(Complete());
  out.push_back(Slot());
  out.push_back(PanNumbers());
  // Panel.
  out.push_back(Backplate("bigpanel", 134, 146, 10, false, 4));
  out.push_back(Backplate("smalpanel", 75, 38, 8, false, 3));
  out.push_back(Pair("pan_level", PanLevelFace(false), PanLevelFace(true)));
  out.push_back(PanelButton("pan_prev", "Previous", 30, [](Img& i, bool l) { ArrowGlyph(i, l, true, 16); }));
  out.push_back(PanelButton("pan_next", "Next", 30, [](Img& i, bool l) { ArrowGlyph(i, l, false, 94); }));
  out.push_back(PanelButton("pan_menu", "Menu", -1, nullptr));
  out.push_back(SmallButton("pan_minimize", [](Img& i, bool l) {
    GoldShape(i, [](float x, float y) { return SdRoundRect(x, y, 7, 15, 19, 19, 1); }, l);
  }));
  out.push_back(SmallButton("pan_close", [](Img& i, bool l) {
    GoldShape(i, [](float x, float y) {
      return std::min(SdSegment(x, y, 8, 8, 18, 18), SdSegment(x, y, 18, 8, 8, 18)) - 1.6f;
    }, l);
  }));
  out.push_back(Backplate("pan_time", 92, 28, 6, true, 2));
  out.push_back(Backplate("pan_fortext", 180, 104, 6, true, 2));
  out.push_back(Pair("pan_nexttip", NextTipFace(false), NextTipFace(true)));
  out.push_back(Button("btn_OK", 60, 30, "OK", 18, Hex(0x3a2414)));
  // Menu.
  MenuPictures(out);
  out.push_back(Legend());
  out.push_back(PageSlot());
  out.push_back(Star("_greenstar", 0xa8f080, 0x2e8a28));
  out.push_back(Star("_goldstar", 0xfff0a0, 0xd08a18));
  out.push_back(Star("_redstar", 0xffa080, 0xb02418));
  out.push_back(BoxItem("_box", false));
  out.push_back(BoxItem("_checkedbox", true));
  out.push_back(RowText("_level", "Level", 64, 28, 20));
  for (int d = 0; d < 10; ++d) {
    std::string digit(1, char('0' + d));
    out.push_back(RowText(digit, digit, 20, 28, 25));
  }
  out.push_back(OptionsHeader());
  out.push_back(OptionsItems());
  out.push_back(Button("btn_Easy", 106, 32, "Easy", 18, Page()));
  out.push_back(Button("btn_Normal", 106, 32, "Normal", 18, Page()));
  out.push_back(Button("btn_Yes", 60, 30, "Yes", 18, Page()));
  out.push_back(Button("btn_No", 60, 30, "No", 18, Page()));
  out.push_back(HelpPicture());
  out.push_back(ExitHeader());
  out.push_back(MoreGames());
  CheckAgainstList(out);
  return out;
}
