// Placeholder until this unit is built; replaced by the real one.
#include "media/imagelist.h"

int32_t TImageItem::Width() const { return 0; }
int32_t TImageItem::Height() const { return 0; }
int32_t TImageItem::PatternCount() const { return 0; }
TRect TImageItem::PatternRect(int32_t) const { return {}; }
void TImageItem::Restore() {}
void TImageItem::Release() {}
void TImageItem::Draw(TSurface&, int32_t, int32_t, int32_t) {}
void TImageItem::DrawAlpha(TSurface&, const TRect&, int32_t, int32_t) {}
void TImageItem::DrawRotate(TSurface&, int32_t, int32_t, int32_t, int32_t, int32_t, double, double, int32_t) {}
void TImageItem::DrawRotateAlpha(TSurface&, int32_t, int32_t, int32_t, int32_t, int32_t, double, double, int32_t, int32_t) {}

TImageList::TImageList(TDrawDevice* d) : device(d) {}
TImageList::~TImageList() = default;
void TImageList::LoadFromFile(const std::string&) {}
TImageItem& TImageList::Find(const std::string&) { throw EGameError("Image not found"); }
TImageItem* TImageList::FindOrNull(const std::string&) { return nullptr; }
TImageItem& TImageList::Item(int32_t) { throw ERangeError(); }
TImageItem& TImageList::Add() {
  Items.push_back(std::make_unique<TImageItem>());
  return *Items.back();
}
void TImageList::Clear() { Items.clear(); }
void TImageList::RestoreAll() {}
void TImageList::ReleaseAll() {}
void TImageList::Reindex() {}
