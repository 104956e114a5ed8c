// Image lists: named pictures cut into patterns, drawn onto surfaces.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/picture.h"
#include "media/surface.h"

class TImageItem {
 public:
  std::string Name;
  TPicture Picture;
  int32_t PatternWidth = 0;
  int32_t PatternHeight = 0;
  int32_t SkipWidth = 0;
  int32_t SkipHeight = 0;
  bool Transparent = true;
  TColor TransparentColor = clBlack;  // $00BBGGRR
  bool SystemMemory = false;

  int32_t Width() const;   // pattern width, or the picture's
  int32_t Height() const;
  int32_t PatternCount() const;           // by the pattern rules, from the picture size
  TRect PatternRect(int32_t index) const;  // source rectangle of a pattern

  // Surfaces exist only while the drawing device is open.
  void Restore();  // (re)build the surface and patterns from the picture
  void Release();  // drop them
  bool HasSurface() const { return surfaceBuilt; }
  const TSurface& Surface() const { return surface; }

  // Each draw does nothing without surfaces or with a pattern out of range.
  void Draw(TSurface& dest, int32_t x, int32_t y, int32_t pattern);
  void DrawAlpha(TSurface& dest, const TRect& rect, int32_t pattern, int32_t alpha);
  void DrawRotate(TSurface& dest, int32_t x, int32_t y, int32_t width, int32_t height,
                  int32_t pattern, double centerX, double centerY, int32_t angle);
  void DrawRotateAlpha(TSurface& dest, int32_t x, int32_t y, int32_t width, int32_t height,
                       int32_t pattern, double centerX, double centerY, int32_t angle,
                       int32_t alpha);

 private:
  TSurface surface;
  bool surfaceBuilt = false;
  std::vector<TRect> patterns;
};

using TImageCollection = std::vector<std::unique_ptr<TImageItem>>;

class TImageList {
 public:
  explicit TImageList(class TDrawDevice* device = nullptr);
  ~TImageList();
  TImageCollection Items;
  std::vector<uint8_t> ColorTable;  // "List.ColorTable", 1024 bytes when present

  // "Cannot open file %s" leaves the list as it was; a failure after the header keeps the
  // items read before it. Builds the new items' surfaces when the device is open.
  void LoadFromFile(const std::string& fileName);
  TImageItem& Find(const std::string& name);  // letter case ignored; "Image '%s' not found"
  TImageItem* FindOrNull(const std::string& name);
  TImageItem& Item(int32_t index);             // position from 0; range error outside
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  TImageItem& Add();                           // a new empty item at the end (tools, tests)
  void Clear();

  void RestoreAll();  // the device opened
  void ReleaseAll();  // the device closed
  class TDrawDevice* Device() const { return device; }
  // The device is going away before the list: forget it (called by the device only).
  void DetachDevice() { device = nullptr; }

 private:
  class TDrawDevice* device;
  std::vector<std::pair<std::string, size_t>> index;  // lower-cased name -> item
  void Reindex();
  friend class TImageItem;
};
