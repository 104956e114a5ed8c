// Surfaces, their canvas and the drawing device: everything the game draws goes
// through here onto the 800 x 600 back surface. Pixels are 0x00RRGGBB.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/picture.h"
#include "platform/types.h"

class TSurface;

// Which row loops the drawing uses: "sse2", or "portable" (plain C++, every architecture;
// forced by the TANGREL_PORTABLE build option). Both give the same pixels.
const char* DrawingPath();
class TKeyRuns;

enum class TBrushStyle : uint8_t { bsSolid, bsClear };
enum class TPenStyle : uint8_t { psSolid, psClear };

struct TBrush {
  TColor Color = clWhite;  // $00BBGGRR
  TBrushStyle Style = TBrushStyle::bsSolid;
};
struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::psSolid;
};
struct TFont {
  std::string Name = "Times New Roman";  // drawn with Liberation Serif
  int Size = 10;                         // points at 96 dpi
  bool Bold = false;
  TColor Color = clBlack;
};

// 2D drawing onto a surface with the usual conventions: rectangles leave out their right
// and bottom edges, polygons fill by the alternate (even-odd) rule and are outlined with
// the pen, a polyline leaves out its last point, text is placed by the top-left of its cell.
class TSurfaceCanvas {
 public:
  explicit TSurfaceCanvas(TSurface& owner);
  ~TSurfaceCanvas();
  TBrush Brush;
  TPen Pen;
  TFont Font;

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);  // one-pixel frame in the brush colour
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void TextOut(int32_t x, int32_t y, const std::string& text);
  int32_t TextWidth(const std::string& text);
  int32_t TextHeight(const std::string& text);
  // Ends canvas drawing on the surface; releasing an idle canvas does nothing.
  void Release();

 private:
  TSurface& surface;
};

class TSurface {
 public:
  TSurface();
  ~TSurface();
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  int32_t Width() const { return width; }
  int32_t Height() const { return height; }
  TRect ClientRect() const { return {0, 0, width, height}; }
  // Resizes to w x h (0 x 0 allowed) and clears to 0.
  void SetSize(int32_t w, int32_t h);
  uint32_t* Pixels() { return pixels.data(); }
  const uint32_t* Pixels() const { return pixels.data(); }
  int32_t Pitch() const { return width; }  // in pixels

  // Source pixels equal to this are left out of draws with transparency on.
  uint32_t TransparentColor = 0;

  void Fill(uint32_t value);
  void Draw(int32_t x, int32_t y, const TRect& srcRect, const TSurface& source, bool transparent);
  void DrawAlpha(const TRect& destRect, const TRect& srcRect, const TSurface& source,
                 bool transparent, int32_t alpha);
  // The surface the runs were built from, keyed, with (x, y) its top-left: the same pixels
  // as a keyed Draw of that surface as it was, copying only the runs that show.
  void DrawRuns(int32_t x, int32_t y, const TKeyRuns& runs);
  // Scaled to width x height, the point (centerX*width, centerY*height) placed on (x, y),
  // turned clockwise by angle in 1/256 of a full turn.
  void DrawRotate(int32_t x, int32_t y, int32_t width, int32_t height, const TRect& srcRect,
                  const TSurface& source, double centerX, double centerY, bool transparent,
                  int32_t angle);
  void DrawRotateAlpha(int32_t x, int32_t y, int32_t width, int32_t height, const TRect& srcRect,
                       const TSurface& source, double centerX, double centerY, bool transparent,
                       int32_t angle, int32_t alpha);

  TSurfaceCanvas& Canvas();
  void LoadFromGraphic(const TPicture& picture);
  uint32_t GetPixel(int32_t x, int32_t y) const;  // 0 outside
  void SetPixel(int32_t x, int32_t y, uint32_t value);  // ignored outside
  static uint32_t ColorMatch(TColor rgb);  // $00BBGGRR -> 0x00RRGGBB

 private:
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  std::unique_ptr<TSurfaceCanvas> canvas;
};

// A keyed picture kept as the runs of pixels that are not the key colour, row by row, with a
// packed copy of those pixels and nothing of the key-coloured rest. For pictures drawn every
// frame: a draw reads only what shows, one pixel after the other, and the picture takes
// only the memory of its visible pixels.
class TKeyRuns {
 public:
  // From the surface's pixels and TransparentColor as they are now (a copy: the surface may
  // change or go afterwards); with an area, from that part of it only (clipped to the
  // surface), which then has its own top-left at 0, 0.
  void Build(const TSurface& source);
  void Build(const TSurface& source, const TRect& area);
  void Clear();  // an empty picture of size 0 x 0
  int32_t Width() const { return width; }
  int32_t Height() const { return height; }
  uint32_t Key() const { return key; }
  size_t RunCount() const { return runs.size(); }
  size_t PixelCount() const { return packed.size(); }

 private:
  friend class TSurface;
  struct Run {
    int32_t x, n;
    uint32_t at;  // where its pixels start in packed
  };
  int32_t width = 0, height = 0;
  uint32_t key = 0;
  std::vector<uint32_t> rowStart;  // height + 1 indexes into runs
  std::vector<Run> runs;
  std::vector<uint32_t> packed;  // the pixels of every run, in order
};

class TImageList;

// Owns the back surface and opens and closes the display through the platform.
class TDrawDevice {
 public:
  TDrawDevice();
  ~TDrawDevice();
  TSurface Surface;
  bool FullScreen = false;  // read at Initialize
  int32_t DisplayWidth = 800;
  int32_t DisplayHeight = 600;
  int32_t DisplayBits = 16;
  std::function<void()> OnInitialize;  // fired at the end of Initialize
  std::function<void()> OnFinalize;    // fired at the start of Finalize

  // Finalises first if open; opens the display (full screen when the flag is set; failure
  // throws "Display mode cannot be changed (%dx%d %dbit)"), creates Surface, fires
  // OnInitialize and builds the surfaces of every bound image list.
  void Initialize();
  void Finalize();
  bool Initialized() const { return open; }
  bool CanDraw() const;
  void Flip();

  void Bind(TImageList* list);
  void Unbind(TImageList* list);

 private:
  bool open = false;
  std::vector<TImageList*> lists;
};
