// Image lists: items read from a package, cut into patterns and drawn onto surfaces;
// lookup by name ignores letter case through an index of lower-cased names.
#include "media/imagelist.h"

#include <algorithm>

#include "media/package.h"
#include "platform/text.h"

namespace {

std::string Lower(const std::string& s) { return plat::LowerAscii(s); }

}  // namespace

// --- TImageItem ----------------------------------------------------------------------------

int32_t TImageItem::Width() const { return PatternWidth > 0 ? PatternWidth : Picture.Width; }
int32_t TImageItem::Height() const { return PatternHeight > 0 ? PatternHeight : Picture.Height; }

int32_t TImageItem::PatternCount() const {
  if (Picture.Empty()) return 0;
  const int64_t w = Width(), h = Height();
  if (w == Picture.Width && h == Picture.Height) return 1;
  const int64_t stepX = w + SkipWidth, stepY = h + SkipHeight;
  if (w <= 0 || h <= 0 || stepX <= 0 || stepY <= 0) return 0;  // nonsense gaps: no patterns
  const int64_t cols = (Picture.Width + static_cast<int64_t>(SkipWidth)) / stepX;
  const int64_t rows = (Picture.Height + static_cast<int64_t>(SkipHeight)) / stepY;
  if (cols <= 0 || rows <= 0) return 0;
  return static_cast<int32_t>(std::min<int64_t>(cols * rows, INT32_MAX));
}

TRect TImageItem::PatternRect(int32_t index) const {
  const int32_t count = PatternCount();
  if (index < 0 || index >= count) return {};
  const int32_t w = Width(), h = Height();
  if (w == Picture.Width && h == Picture.Height) return {0, 0, w, h};
  const int64_t stepX = static_cast<int64_t>(w) + SkipWidth, stepY = static_cast<int64_t>(h) + SkipHeight;
  const int64_t cols = (Picture.Width + static_cast<int64_t>(SkipWidth)) / stepX;
  const int64_t x = (index % cols) * stepX, y = (index / cols) * stepY;
  return Bounds(static_cast<int32_t>(x), static_cast<int32_t>(y), w, h);
}

void TImageItem::Restore() {
  surface.LoadFromGraphic(Picture);
  surface.TransparentColor = TSurface::ColorMatch(TransparentColor);
  patterns.clear();
  const int32_t count = PatternCount();
  patterns.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) patterns.push_back(PatternRect(i));
  surfaceBuilt = true;
}

void TImageItem::Release() {
  surface.SetSize(0, 0);
  patterns.clear();
  surfaceBuilt = false;
}

void TImageItem::Draw(TSurface& dest, int32_t x, int32_t y, int32_t pattern) {
  if (!surfaceBuilt || pattern < 0 || static_cast<size_t>(pattern) >= patterns.size()) return;
  dest.Draw(x, y, patterns[static_cast<size_t>(pattern)], surface, Transparent);
}

void TImageItem::DrawAlpha(TSurface& dest, const TRect& rect, int32_t pattern, int32_t alpha) {
  if (!surfaceBuilt || pattern < 0 || static_cast<size_t>(pattern) >= patterns.size()) return;
  dest.DrawAlpha(rect, patterns[static_cast<size_t>(pattern)], surface, Transparent, alpha);
}

void TImageItem::DrawRotate(TSurface& dest, int32_t x, int32_t y, int32_t width, int32_t height,
                            int32_t pattern, double centerX, double centerY, int32_t angle) {
  if (!surfaceBuilt || pattern < 0 || static_cast<size_t>(pattern) >= patterns.size()) return;
  dest.DrawRotate(x, y, width, height, patterns[static_cast<size_t>(pattern)], surface, centerX,
                  centerY, Transparent, angle);
}

void TImageItem::DrawRotateAlpha(TSurface& dest, int32_t x, int32_t y, int32_t width,
                                 int32_t height, int32_t pattern, double centerX, double centerY,
                                 int32_t angle, int32_t alpha) {
  if (!surfaceBuilt || pattern < 0 || static_cast<size_t>(pattern) >= patterns.size()) return;
  dest.DrawRotateAlpha(x, y, width, height, patterns[static_cast<size_t>(pattern)], surface,
                       centerX, centerY, Transparent, angle, alpha);
}

// --- TImageList ----------------------------------------------------------------------------

TImageList::TImageList(TDrawDevice* d) : device(d) {
  if (device) device->Bind(this);
}

TImageList::~TImageList() {
  if (device) device->Unbind(this);
}

void TImageList::LoadFromFile(const std::string& fileName) {
  // Opening fails before anything is touched: the list keeps what it had.
  const std::vector<uint8_t> bytes = ReadPackageFile(fileName);
  Clear();
  ColorTable.clear();
  std::vector<TImageItemData> read;
  const auto take = [&] {
    for (TImageItemData& d : read) {
      auto item = std::make_unique<TImageItem>();
      item->Name = std::move(d.Name);
      item->PatternWidth = d.PatternWidth;
      item->PatternHeight = d.PatternHeight;
      item->SkipWidth = d.SkipWidth;
      item->SkipHeight = d.SkipHeight;
      item->SystemMemory = d.SystemMemory;
      item->Transparent = d.Transparent;
      item->TransparentColor = d.TransparentColor;
      if (d.HasPicture) item->Picture = std::move(d.Picture);
      Items.push_back(std::move(item));
    }
    Reindex();
    if (device && device->Initialized())
      for (auto& item : Items) item->Restore();
  };
  try {
    ParseImagePackage(bytes.data(), bytes.size(), read, &ColorTable);
  } catch (...) {
    take();  // the items read before the fault stay usable
    throw;
  }
  take();
}

TImageItem* TImageList::FindOrNull(const std::string& name) {
  const std::string key = Lower(name);
  const auto look = [&]() -> TImageItem* {
    auto it = std::lower_bound(index.begin(), index.end(), key,
                               [](const auto& e, const std::string& k) { return e.first < k; });
    if (it == index.end() || it->first != key || it->second >= Items.size()) return nullptr;
    TImageItem* item = Items[it->second].get();
    return Lower(item->Name) == key ? item : nullptr;
  };
  if (index.size() == Items.size())
    if (TImageItem* item = look()) return item;
  // Items added, removed or renamed by hand since the index was built: rebuild and look again.
  Reindex();
  return look();
}

TImageItem& TImageList::Find(const std::string& name) {
  TImageItem* item = FindOrNull(name);
  if (!item) throw EGameError("Image '" + name + "' not found");
  return *item;
}

TImageItem& TImageList::Item(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= Items.size()) throw ERangeError();
  return *Items[static_cast<size_t>(i)];
}

TImageItem& TImageList::Add() {
  Items.push_back(std::make_unique<TImageItem>());
  index.clear();  // rebuilt at the next lookup
  return *Items.back();
}

void TImageList::Clear() {
  Items.clear();
  index.clear();
}

void TImageList::RestoreAll() {
  for (auto& item : Items) item->Restore();
}

void TImageList::ReleaseAll() {
  for (auto& item : Items) item->Release();
}

// Sorted lower-cased names; among equal names the first item wins, as a linear search would.
void TImageList::Reindex() {
  index.clear();
  index.reserve(Items.size());
  for (size_t i = 0; i < Items.size(); ++i) index.emplace_back(Lower(Items[i]->Name), i);
  std::stable_sort(index.begin(), index.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}
