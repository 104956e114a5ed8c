// Piece pictures, digits and the playing field, checked by probing pixels.
#include <cmath>
#include <cstdlib>
#include <memory>

#include "fixture.h"
#include "hud/funcs.h"

namespace {

int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }

// The whole picture back from the box a piece keeps of it: mask colour outside the box.
std::unique_ptr<TSurface> Whole(const TPieceImage& im, int size = 320) {
  auto s = std::make_unique<TSurface>();
  s->SetSize(size, size);
  s->Fill(im.Runs.Key());
  s->DrawRuns(im.Origin.X, im.Origin.Y, im.Runs);
  s->TransparentColor = im.Runs.Key();
  return s;
}

constexpr uint32_t kGrey = 0x404040;

class PictureTest : public PuzzleTest {
 protected:
  void SetUp() override {
    PuzzleTest::SetUp();
    for (int t = 0; t < 10; ++t) {
      TImageItem& tex = form.TexList.Add();
      tex.Name = "tex" + std::to_string(t);
      tex.Picture.Width = tex.Picture.Height = 320;
      tex.Picture.Pixels.assign(320 * 320, kGrey);
    }
    TImageItem& digits = form.ImageList.Add();
    digits.Name = "pan_numbers";
    digits.PatternWidth = 12;
    digits.PatternHeight = 12;
    digits.Picture.Width = 120;
    digits.Picture.Height = 12;
    digits.Picture.Pixels.resize(120 * 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 120; ++x) digits.Picture.Pixels[y * 120 + x] = DigitColour(x / 12);
    testkit::AddGreySlot(form.ImageList);
    testkit::OpenDrawDeviceAlone(form);
    form.DrawDevice.Surface.Fill(0);
    CurrentLevel = 0;
  }
  static uint32_t DigitColour(int d) { return 0x100000u * static_cast<uint32_t>(d + 1) | 0x33; }

  // A 100 x 100 square piece n at pos with pictures ready to be built.
  void Square(int n, TPoint pos) {
    NumFig = static_cast<uint8_t>(std::max<int>(NumFig, n));
    TPiece& p = PieceTable[n];
    p.CornerCount = 4;
    p.Offsets[1] = {-50, -50};
    p.Offsets[2] = {50, -50};
    p.Offsets[3] = {50, 50};
    p.Offsets[4] = {-50, 50};
    p.Angle = 0;
    testkit::PlacePiece(n, pos);
  }
  void Patterned() {
    for (auto& item : form.TexList.Items)
      for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 320; ++x)
          item->Picture.Pixels[y * 320 + x] = ((x / 8 + y / 8) % 2 ? 0xE0E0E0u : 0x202020u) + static_cast<uint32_t>(x);
  }
};

}  // namespace

TEST_F(PictureTest, SquareWith3DHasLightTopLeftAndDarkBottomRight) {
  Settings.Use3D = -1;
  Square(1, {600, 400});
  BuildPieceImage(1, 0);
  const auto whole = Whole(PieceTable[1].Images[0]);
  const TSurface& img = *whole;
  EXPECT_EQ(PieceTable[1].Images[0].Built, 1);
  EXPECT_EQ(img.TransparentColor, 0xFF00FFu);
  EXPECT_EQ(img.GetPixel(0, 0), 0xFF00FFu);
  EXPECT_EQ(img.GetPixel(60, 150), 0xFF00FFu);
  EXPECT_EQ(img.GetPixel(150, 250), 0xFF00FFu);
  EXPECT_EQ(img.GetPixel(150, 150), kGrey);  // the texture inside
  EXPECT_EQ(img.GetPixel(150, 110), kGrey);  // beyond the 5-pixel strips
  // White at 180 on the top edge, at 104 on the left; black at 104 right, 180 bottom.
  const int g = 0x40;
  auto white = [&](int a) { return g + (255 - g) * a / 255.0; };
  auto black = [&](int a) { return g * (255 - a) / 255.0; };
  EXPECT_NEAR(Red(img.GetPixel(150, 102)), white(180), 3);
  EXPECT_NEAR(Red(img.GetPixel(102, 150)), white(104), 3);
  EXPECT_NEAR(Red(img.GetPixel(197, 150)), black(104), 3);
  EXPECT_NEAR(Red(img.GetPixel(150, 197)), black(180), 3);
  // The piece is back where it was.
  EXPECT_EQ(PieceTable[1].Position, (TPoint{600, 400}));
  EXPECT_EQ(PieceTable[1].Corners[1], (TPoint{550, 350}));
}

TEST_F(PictureTest, Without3DOnlyTextureMaskAndOutline) {
  Settings.Use3D = 0;
  Square(1, {600, 400});
  BuildPieceImage(1, 0);
  const auto whole = Whole(PieceTable[1].Images[0]);
  const TSurface& img = *whole;
  for (TPoint p : {TPoint{150, 100}, TPoint{100, 150}, TPoint{200, 150}, TPoint{150, 200}})
    EXPECT_EQ(img.GetPixel(p.X, p.Y), 0u) << p.X << "," << p.Y;  // the black outline
  for (TPoint p : {TPoint{150, 101}, TPoint{101, 150}, TPoint{199, 150}, TPoint{150, 199}, TPoint{150, 150}})
    EXPECT_EQ(img.GetPixel(p.X, p.Y), kGrey) << p.X << "," << p.Y;
  for (TPoint p : {TPoint{150, 98}, TPoint{98, 150}, TPoint{202, 150}, TPoint{150, 202}, TPoint{299, 299}})
    EXPECT_EQ(img.GetPixel(p.X, p.Y), 0xFF00FFu) << p.X << "," << p.Y;
}

TEST_F(PictureTest, TextureTurnsPerPieceAndStep) {
  Patterned();
  Settings.Use3D = 0;
  Square(3, {150, 300});
  Square(4, {650, 300});
  BuildPieceImage(3, 0);
  BuildPieceImage(4, 0);
  BuildPieceImage(3, 1);
  const TPicture& pic = form.TexList.Item(0).Picture;
  auto reference = [&](int turn) {
    auto ref = std::make_unique<TSurface>();
    TSurface t;
    t.LoadFromGraphic(pic);
    ref->LoadFromGraphic(pic);
    ref->DrawRotate(150, 150, 300, 300, {0, 0, 300, 300}, t, 0.5, 0.5, false, turn);
    return ref;
  };
  const auto r60 = reference(60), r80 = reference(80), r71 = reference(71);
  const auto p30 = Whole(PieceTable[3].Images[0]), p40 = Whole(PieceTable[4].Images[0]),
             p31 = Whole(PieceTable[3].Images[1]);
  int differ = 0;
  for (int y = 115; y <= 185; y += 5)
    for (int x = 115; x <= 185; x += 5) {
      EXPECT_EQ(p30->GetPixel(x, y), r60->GetPixel(x, y));
      EXPECT_EQ(p40->GetPixel(x, y), r80->GetPixel(x, y));
      EXPECT_EQ(p31->GetPixel(x, y), r71->GetPixel(x, y));
      differ += p30->GetPixel(x, y) != p40->GetPixel(x, y);
    }
  EXPECT_GT(differ, 20);
  EXPECT_EQ(PieceTable[3].Angle, 15);  // the picture's step
}

TEST_F(PictureTest, DrawNumberAlignments) {
  TSurface& s = form.DrawDevice.Surface;
  auto digitAt = [&](int x, int y, int d) {
    EXPECT_EQ(s.GetPixel(x, y), DigitColour(d)) << x;
    EXPECT_NE(s.GetPixel(x - 1, y), DigitColour(d)) << x;
  };
  DrawNumber("right", 777, 475, 7);
  digitAt(762, 475, 7);
  DrawNumber("right", 777, 500, 42);
  digitAt(747, 500, 4);
  digitAt(762, 500, 2);
  DrawNumber("left", 100, 10, 305);
  digitAt(100, 10, 3);
  digitAt(115, 10, 0);
  digitAt(130, 10, 5);
  DrawNumber("center", 100, 40, 0);
  digitAt(92, 40, 0);
  DrawNumber("center", 101, 60, 8);
  digitAt(94, 60, 8);
  DrawNumber("center", 200, 80, 42);
  digitAt(185, 80, 4);
  digitAt(200, 80, 2);
  // Anything but the three exact words draws nothing.
  s.Fill(0);
  DrawNumber("Right", 400, 300, 5);
  DrawNumber("", 400, 300, 5);
  for (int x = 370; x < 420; ++x) EXPECT_EQ(s.GetPixel(x, 305), 0u);
}

TEST_F(PictureTest, PlayingFieldDrawsSlotAndPiecesInStackOrder) {
  Settings.Use3D = 0;
  TPiece& slotBox = PieceTable[0];
  slotBox.CornerCount = 4;
  slotBox.Offsets[1] = {-100, -100};
  slotBox.Offsets[2] = {100, -100};
  slotBox.Offsets[3] = {100, 100};
  slotBox.Offsets[4] = {-100, 100};
  slotBox.Position = {400, 200};
  UpdateCorners(0);
  Square(1, {600, 400});
  Square(2, {630, 400});
  PieceTable[1].StackOrder = 2;  // piece 1 on top
  PieceTable[2].StackOrder = 1;
  ScreenState = scPlaying;
  TSurface& s = form.DrawDevice.Surface;
  s.Fill(0x0000FF);  // a blue background
  DrawGame();
  EXPECT_EQ(s.GetPixel(250, 50), 0x808080u);    // the slot sprite
  EXPECT_EQ(s.GetPixel(300, 150), 0u);          // its frame, left
  EXPECT_EQ(s.GetPixel(499, 150), 0u);          // right edge, exclusive
  EXPECT_EQ(s.GetPixel(500, 150), 0x808080u);
  EXPECT_EQ(s.GetPixel(600, 400), kGrey);       // inside piece 1
  EXPECT_EQ(s.GetPixel(650, 400), 0u);          // piece 1's outline drawn over piece 2
  EXPECT_EQ(s.GetPixel(670, 400), kGrey);       // piece 2 beyond piece 1
  EXPECT_EQ(s.GetPixel(680, 400), 0u);          // piece 2's right outline
  EXPECT_EQ(s.GetPixel(681, 400), 0x0000FFu);   // outside both: the background stays
  EXPECT_EQ(s.GetPixel(400, 400), 0x0000FFu);
  EXPECT_EQ(PieceTable[1].Images[0].Built, 1);
  EXPECT_EQ(PieceTable[2].Images[0].Built, 1);
}

TEST_F(PictureTest, CorruptCornersBuildWithoutShadingThoseEdges) {
  Settings.Use3D = -1;
  Square(1, {600, 400});
  TPiece& p = PieceTable[1];
  p.CornerCount = 5;  // a straight corner in the middle of the top edge
  p.Offsets[1] = {-50, -50};
  p.Offsets[2] = {0, -50};
  p.Offsets[3] = {50, -50};
  p.Offsets[4] = {50, 50};
  p.Offsets[5] = {-50, 50};
  UpdateCorners(1);
  BuildPieceImage(1, 0);
  const auto whole = Whole(p.Images[0]);
  const TSurface& img = *whole;
  EXPECT_EQ(img.GetPixel(150, 150), kGrey);
  EXPECT_NEAR(Red(img.GetPixel(150, 197)), 0x40 * (255 - 180) / 255.0, 3);  // other edges still shaded
}

// The shading is blended only over the box each edge touches; the picture must come out
// exactly as a blend of the whole picture for every edge would make it.
TEST_F(PictureTest, BoxedShadingMatchesWholePictureBlend) {
  Patterned();
  Settings.Use3D = -1;
  Square(2, {400, 300});
  TPiece& p = PieceTable[2];
  p.CornerCount = 8;
  const TPoint oct[8] = {{-40, -95}, {40, -95}, {95, -40}, {95, 40}, {40, 95}, {-40, 95}, {-95, 40}, {-95, -40}};
  for (int k = 0; k < 8; ++k) p.Offsets[k + 1] = oct[k];
  UpdateCorners(2);
  const uint8_t r = 5;
  BuildPieceImage(2, r);
  TSurface built;
  built.LoadFromGraphic(form.TexList.Item(0).Picture);
  const auto builtWhole = Whole(p.Images[r]);
  built.Draw(0, 0, builtWhole->ClientRect(), *builtWhole, false);

  // The same picture the long way round.
  Settings.Use3D = 0;
  p.Images[r].Built = 0;
  BuildPieceImage(2, r);  // texture, mask and outline only
  TSurface expect;
  expect.LoadFromGraphic(form.TexList.Item(0).Picture);
  const auto expectWhole = Whole(p.Images[r]);
  expect.Draw(0, 0, expectWhole->ClientRect(), *expectWhole, false);
  const TPoint saved = p.Position;
  p.Position = {150, 150};
  UpdateCorners(2);
  TSurface t;
  t.LoadFromGraphic(form.TexList.Item(0).Picture);
  for (int k = 1; k <= 8; ++k) {
    const int k1 = k % 8 + 1, k2 = k1 % 8 + 1, k0 = k == 1 ? 8 : k - 1;
    t.Fill(0xFF00FF);
    const TPoint w0 = p.Corners[k], w1 = p.Corners[k1];
    const TPoint w2 = InsetCorner(w1, p.Corners[k2], p.Corners[k]);
    const TPoint w3 = InsetCorner(w0, p.Corners[k1], p.Corners[k0]);
    const double shade = std::cos(EdgeAngle(w0, w1) + 3 * M_PI / 180);
    const TPoint m{(w0.X + w1.X) / 2 + 5, (w0.Y + w1.Y) / 2 + 5};
    TSurfaceCanvas& cv = t.Canvas();
    cv.Pen.Style = TPenStyle::psClear;
    cv.Brush.Color = PointInPiece(m, 2) ? clWhite : clBlack;
    cv.Polygon({w0, w1, w2, w3});
    cv.Release();
    t.TransparentColor = 0xFF00FF;
    expect.DrawAlpha({0, 0, 300, 300}, {0, 0, 300, 300}, t, true,
                     static_cast<int32_t>(std::nearbyint(std::fabs(shade) * 80 + 100)));
  }
  p.Position = saved;
  UpdateCorners(2);
  int differ = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) differ += built.GetPixel(x, y) != expect.GetPixel(x, y);
  EXPECT_EQ(differ, 0);
}

TEST_F(PictureTest, ExtremeOffsetsFromACorruptFileBuildSafely) {
  Settings.Use3D = -1;
  Square(1, {600, 400});
  TPiece& p = PieceTable[1];
  p.Offsets[1] = {INT32_MIN, INT32_MIN};
  p.Offsets[2] = {INT32_MAX, -7};
  p.Offsets[3] = {3, INT32_MAX};
  p.Offsets[4] = {-5, 1000000};
  for (uint8_t r : {0, 7, 23}) {
    p.Angle = 15 * r;
    UpdateCorners(1);
    BuildPieceImage(1, r);
    EXPECT_EQ(p.Images[r].Built, 1);
  }
  DrawPieces();
}

// A piece keeps only its box of the picture. The piece is convex, so all it draws (texture,
// outline, bevels) lies within its corners' box; the kept box must hold that box with a margin,
// for every shape and every turn, and be much smaller than the whole picture.
TEST_F(PictureTest, ThePieceKeepsOnlyItsBox) {
  Patterned();
  Settings.Use3D = -1;
  const std::vector<std::vector<TPoint>> shapes = {
      {{-60, -40}, {70, -35}, {-10, 80}},
      {{-100, -12}, {100, -12}, {100, 13}, {-100, 13}},
      {{-40, -90}, {10, -95}, {60, -60}, {80, 0}, {55, 60}, {0, 90}, {-50, 70}, {-75, 10}},
  };
  for (const auto& shape : shapes) {
    Square(1, {400, 300});
    TPiece& p = PieceTable[1];
    p.CornerCount = static_cast<uint8_t>(shape.size());
    for (size_t c = 0; c < shape.size(); ++c) p.Offsets[c + 1] = shape[c];
    for (uint8_t r = 0; r < 24; ++r) {
      BuildPieceImage(1, r);
      const TPieceImage& im = p.Images[r];
      // The kept box is small: the piece's own extent, not the whole picture.
      EXPECT_LT(im.Runs.Width() * im.Runs.Height(), 250 * 250);
      EXPECT_EQ(im.Image->Width() * im.Image->Height(), 0);  // the surface holds nothing more
      p.Angle = 15 * r;
      UpdateCorners(1);
      for (int c = 1; c <= p.CornerCount; ++c) {
        const int x = p.Corners[c].X - p.Position.X + 150, y = p.Corners[c].Y - p.Position.Y + 150;
        EXPECT_GE(x, im.Origin.X + 2);
        EXPECT_GE(y, im.Origin.Y + 2);
        EXPECT_LT(x, im.Origin.X + im.Runs.Width() - 2);
        EXPECT_LT(y, im.Origin.Y + im.Runs.Height() - 2);
      }
    }
  }
}
