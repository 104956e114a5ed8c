// Placeholder until this unit is built; replaced by the real one.
#include "media/surface.h"

#include "media/imagelist.h"

TSurfaceCanvas::TSurfaceCanvas(TSurface& owner) : surface(owner) {}
TSurfaceCanvas::~TSurfaceCanvas() = default;
void TSurfaceCanvas::FillRect(const TRect&) {}
void TSurfaceCanvas::FrameRect(const TRect&) {}
void TSurfaceCanvas::Rectangle(int32_t, int32_t, int32_t, int32_t) {}
void TSurfaceCanvas::Polygon(const std::vector<TPoint>&) {}
void TSurfaceCanvas::Polyline(const std::vector<TPoint>&) {}
void TSurfaceCanvas::TextOut(int32_t, int32_t, const std::string&) {}
int32_t TSurfaceCanvas::TextWidth(const std::string&) { return 0; }
int32_t TSurfaceCanvas::TextHeight(const std::string&) { return 0; }
void TSurfaceCanvas::Release() {}

TSurface::TSurface() = default;
TSurface::~TSurface() = default;
void TSurface::SetSize(int32_t w, int32_t h) {
  width = w;
  height = h;
  pixels.assign(static_cast<size_t>(w) * h, 0);
}
void TSurface::Fill(uint32_t) {}
void TSurface::Draw(int32_t, int32_t, const TRect&, const TSurface&, bool) {}
void TSurface::DrawAlpha(const TRect&, const TRect&, const TSurface&, bool, int32_t) {}
void TSurface::DrawRotate(int32_t, int32_t, int32_t, int32_t, const TRect&, const TSurface&, double, double, bool, int32_t) {}
void TSurface::DrawRotateAlpha(int32_t, int32_t, int32_t, int32_t, const TRect&, const TSurface&, double, double, bool, int32_t, int32_t) {}
TSurfaceCanvas& TSurface::Canvas() {
  if (!canvas) canvas = std::make_unique<TSurfaceCanvas>(*this);
  return *canvas;
}
void TSurface::LoadFromGraphic(const TPicture&) {}
uint32_t TSurface::GetPixel(int32_t, int32_t) const { return 0; }
void TSurface::SetPixel(int32_t, int32_t, uint32_t) {}
uint32_t TSurface::ColorMatch(TColor rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

TDrawDevice::TDrawDevice() = default;
TDrawDevice::~TDrawDevice() = default;
void TDrawDevice::Initialize() {}
void TDrawDevice::Finalize() {}
bool TDrawDevice::CanDraw() const { return false; }
void TDrawDevice::Flip() {}
void TDrawDevice::Bind(TImageList*) {}
void TDrawDevice::Unbind(TImageList*) {}
