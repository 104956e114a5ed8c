// The one FreeType set-up: the game's text and the generators' captions share faces.
#include <gtest/gtest.h>

#include "art.h"
#include "platform/font_raster.h"
#include "media/freetype_faces.h"

namespace {

struct Metrics {
  int32_t ascent = 0, descent = 0;
};

Metrics GameSans(int32_t pt) {
  Metrics m;
  EXPECT_TRUE(font::raster::FaceMetrics(font::raster::kSans, pt, m.ascent, m.descent));
  return m;
}

TEST(FreeTypeFaces, GameAndCaptionsSetTheirOwnSizesOnASharedFace) {
  font::freetype::CloseAll();
  const Metrics game = GameSans(12);
  art::InitFonts();
  const int captionAscent = art::Ascent("sans", 40);
  const int captionWidth = art::TextWidth("sans", 40, "Tangrel");
  ASSERT_GT(captionAscent, game.ascent);  // 40 px is far larger than 12 pt (16 px)

  // Turn about between the two users of the one face: each gets its own size every time.
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const Metrics again = GameSans(12);
    EXPECT_EQ(again.ascent, game.ascent);
    EXPECT_EQ(again.descent, game.descent);
    EXPECT_EQ(art::Ascent("sans", 40), captionAscent);
    EXPECT_EQ(art::TextWidth("sans", 40, "Tangrel"), captionWidth);
  }
  // Both see the same face object.
  EXPECT_EQ(font::freetype::AtPoints(font::raster::kFaceFiles[font::raster::kSans], 12),
            font::freetype::AtPixels("LiberationSans-Regular.ttf", 40));
  art::DoneFonts();
}

TEST(FreeTypeFaces, AMissingFileIsRefusedAndTheOthersStillServe) {
  font::freetype::CloseAll();
  EXPECT_EQ(font::freetype::Open("NoSuchFace.ttf"), nullptr);
  EXPECT_EQ(font::freetype::AtPoints("NoSuchFace.ttf", 12), nullptr);  // asked again: still none
  EXPECT_NE(font::freetype::Open("LiberationSerif-Bold.ttf"), nullptr);
  // No size, or a nonsense one, gives no face rather than a face of some other size.
  EXPECT_EQ(font::freetype::AtPoints("LiberationSerif-Bold.ttf", 0), nullptr);
  EXPECT_EQ(font::freetype::AtPixels("LiberationSerif-Bold.ttf", -5), nullptr);
  EXPECT_NE(font::freetype::AtPixels("LiberationSerif-Bold.ttf", 5), nullptr);
}

TEST(FreeTypeFaces, TextWorksAgainAfterEverythingWasClosed) {
  const Metrics before = GameSans(20);
  font::raster::Shutdown();
  const Metrics after = GameSans(20);
  EXPECT_EQ(after.ascent, before.ascent);
  EXPECT_EQ(after.descent, before.descent);
  font::raster::GlyphBitmap g;
  ASSERT_TRUE(font::raster::RenderGlyph(font::raster::kSans, 20, 'W', g));
  EXPECT_GT(g.width, 0);
  EXPECT_EQ(g.coverage.size(), size_t(g.width) * size_t(g.rows));
}

}  // namespace
