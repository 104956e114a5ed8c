// The glyph rasteriser on Windows: GDI with the Liberation faces shipped in the game folder,
// loaded for this process only (AddFontResourceExW, FR_PRIVATE; the folder may have any
// name). The size in pixels per em, the cell (from the font's own tables) and the hinted
// advances come out as with the Linux build's rasteriser, so a text measures the same on
// both; the coverage is GDI's 65-level antialiasing. Without the files the system's
// "Times New Roman" and "Arial" stand in.
#include "platform/win32/platform_win32.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/font_raster.h"

namespace font::raster {
namespace {

constexpr const char* kFamilies[2] = {"Liberation Serif", "Liberation Sans"};
constexpr const char* kStandIns[2] = {"Times New Roman", "Arial"};

// What the font's tables say, in font units; read once per face.
struct FaceData {
  bool read = false;
  bool tables = false;  // a TrueType face whose tables we could read
  int32_t unitsPerEm = 0;
  int32_t ascender = 0, descender = 0;  // 'hhea', descender negative
};

struct GdiState {
  bool started = false;
  bool privateFonts = false;  // the shipped files are loaded
  HDC dc = nullptr;
  std::vector<std::wstring> added;  // files to remove again
  std::map<uint64_t, HFONT> fonts;   // (face, pixels per em)
  HFONT selected = nullptr;
  FaceData data[kFaceCount];

  void Free() {
    if (dc) {
      SelectObject(dc, GetStockObject(SYSTEM_FONT));
      DeleteDC(dc);
    }
    dc = nullptr;
    selected = nullptr;
    for (auto& f : fonts) DeleteObject(f.second);
    fonts.clear();
    for (const std::wstring& f : added) RemoveFontResourceExW(f.c_str(), FR_PRIVATE, nullptr);
    added.clear();
    for (FaceData& d : data) d = FaceData{};
    started = false;
    privateFonts = false;
  }
  ~GdiState() { Free(); }
};

GdiState gdi;

bool Start() {
  if (gdi.started) return gdi.dc != nullptr;
  gdi.started = true;
  gdi.dc = CreateCompatibleDC(nullptr);
  if (!gdi.dc) {
    std::fprintf(stderr, "Cannot start the font library\n");
    return false;
  }
  const std::string dir = plat::Win32ProgramFolder();
  int loaded = 0;
  for (const char* file : kFaceFiles) {
    const std::string path = dir + file;
    const std::wstring wide = plat::Utf8ToWide(path);
    if (AddFontResourceExW(wide.c_str(), FR_PRIVATE, nullptr) > 0) {
      gdi.added.push_back(wide);
      ++loaded;
    } else {
      std::fprintf(stderr, "Cannot open font %s\n", path.c_str());
    }
  }
  gdi.privateFonts = loaded == static_cast<int>(kFaceCount);
  return true;
}

// Pixels per em of a size in points at 96 dpi, rounded as TrueType sizes are.
int32_t PixelsPerEm(int32_t pt) { return (pt * 96 * 2 + 72) / (72 * 2); }

HFONT MakeFont(uint32_t face, int32_t ppem, const char* family) {
  LOGFONTA lf{};
  lf.lfHeight = -ppem;  // negative: the em, not the cell
  lf.lfWeight = (face & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, family, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

// Selects the face at the size into our DC; false when no font can be had.
bool Select(uint32_t face, int32_t ppem) {
  if (face >= kFaceCount || !Start()) return false;
  const uint64_t key = static_cast<uint64_t>(face) << 32 | static_cast<uint32_t>(ppem);
  auto it = gdi.fonts.find(key);
  if (it == gdi.fonts.end()) {
    if (gdi.fonts.size() >= 64) {  // odd sizes must not pile up fonts for ever
      SelectObject(gdi.dc, GetStockObject(SYSTEM_FONT));
      gdi.selected = nullptr;
      for (auto& f : gdi.fonts) DeleteObject(f.second);
      gdi.fonts.clear();
    }
    const uint32_t family = face / 2;
    HFONT f = MakeFont(face, ppem, gdi.privateFonts ? kFamilies[family] : kStandIns[family]);
    if (!f) return false;
    it = gdi.fonts.emplace(key, f).first;
  }
  if (gdi.selected != it->second) {
    if (!SelectObject(gdi.dc, it->second)) return false;
    gdi.selected = it->second;
  }
  return true;
}

uint32_t Be16(const std::vector<uint8_t>& b, size_t o) {
  return o + 2 <= b.size() ? static_cast<uint32_t>(b[o] << 8 | b[o + 1]) : 0;
}

std::vector<uint8_t> Table(const char tag[4]) {
  const DWORD t = static_cast<DWORD>(static_cast<uint8_t>(tag[0])) | static_cast<DWORD>(static_cast<uint8_t>(tag[1])) << 8 |
                  static_cast<DWORD>(static_cast<uint8_t>(tag[2])) << 16 | static_cast<DWORD>(static_cast<uint8_t>(tag[3])) << 24;
  DWORD n = GetFontData(gdi.dc, t, 0, nullptr, 0);
  if (n == GDI_ERROR || n == 0 || n > (4u << 20)) return {};
  std::vector<uint8_t> b(n);
  if (GetFontData(gdi.dc, t, 0, b.data(), n) != n) return {};
  return b;
}

// The face's tables (with the face selected).
const FaceData& Data(uint32_t face) {
  FaceData& d = gdi.data[face];
  if (d.read) return d;
  d.read = true;
  const std::vector<uint8_t> head = Table("head"), hhea = Table("hhea");
  if (head.size() < 54 || hhea.size() < 36) return d;
  d.unitsPerEm = static_cast<int32_t>(Be16(head, 18));
  d.ascender = static_cast<int16_t>(Be16(hhea, 4));
  d.descender = static_cast<int16_t>(Be16(hhea, 6));
  d.tables = d.unitsPerEm >= 16 && d.unitsPerEm <= 16384 && d.ascender > 0 && d.descender <= 0;
  return d;
}

}  // namespace

bool FaceMetrics(uint32_t face, int32_t pt, int32_t& ascent, int32_t& descent) {
  const int32_t ppem = PixelsPerEm(pt);
  if (!Select(face, ppem)) return false;
  const FaceData& d = Data(face);
  if (d.tables) {
    // The cell as the Linux build's rasteriser makes it: the unrounded size (in 64ths of a
    // pixel), the ascender and the descender each rounded outwards.
    const int64_t size64 = (int64_t{pt} * 64 * 96 + 36) / 72;
    const int64_t unit = int64_t{64} * d.unitsPerEm;
    ascent = static_cast<int32_t>((d.ascender * size64 + unit - 1) / unit);
    descent = static_cast<int32_t>((-int64_t{d.descender} * size64 + unit - 1) / unit);
    return true;
  }
  TEXTMETRICA tm{};
  if (!GetTextMetricsA(gdi.dc, &tm)) return false;
  ascent = tm.tmAscent;
  descent = tm.tmDescent;
  return true;
}

bool RenderGlyph(uint32_t face, int32_t pt, uint32_t cp, GlyphBitmap& g) {
  const int32_t ppem = PixelsPerEm(pt);
  if (!Select(face, ppem)) return false;
  g = GlyphBitmap{};
  if (cp > 0xFFFF) return true;  // beyond what the game writes
  WCHAR ch = static_cast<WCHAR>(cp);
  WORD index = 0xFFFF;
  if (GetGlyphIndicesW(gdi.dc, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
    return true;
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm{};
  const UINT format = GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX;
  DWORD size = GetGlyphOutlineW(gdi.dc, index, format, &gm, 0, nullptr, &identity);
  if (size == GDI_ERROR) return true;
  // The hinted advance: the font's instructions place it, as on Linux.
  g.advance = gm.gmCellIncX;
  if (size == 0 || size > (16u << 20)) return true;  // a blank: only the advance
  std::vector<uint8_t> buf(size);
  if (GetGlyphOutlineW(gdi.dc, index, format, &gm, size, buf.data(), &identity) == GDI_ERROR) return true;
  const int32_t w = static_cast<int32_t>(gm.gmBlackBoxX), h = static_cast<int32_t>(gm.gmBlackBoxY);
  const size_t pitch = (static_cast<size_t>(w) + 3) & ~size_t{3};
  if (w <= 0 || h <= 0 || pitch * static_cast<size_t>(h) > buf.size()) return true;
  g.left = gm.gmptGlyphOrigin.x;
  g.top = gm.gmptGlyphOrigin.y;
  g.width = w;
  g.rows = h;
  g.coverage.resize(static_cast<size_t>(w) * h);
  for (int32_t r = 0; r < h; ++r)
    for (int32_t c = 0; c < w; ++c) {
      const uint32_t v = buf[static_cast<size_t>(r) * pitch + static_cast<size_t>(c)];  // 0 .. 64
      g.coverage[static_cast<size_t>(r) * w + c] = static_cast<uint8_t>(v >= 64 ? 255 : (v * 255 + 32) / 64);
    }
  return true;
}

void Shutdown() { gdi.Free(); }

}  // namespace font::raster
