// Package files: the resource header, the component stream with its typed values, and the
// image and wave items of the root's "List" collection; reader and writer side by side.

#include <cstdio>
#include <cstring>
#include <memory>

#include "media/package.h"
#include "media/pkg_bytes.h"
#include "platform/files.h"
#include "platform/text.h"

using namespace pkg;

// --- colour identifiers --------------------------------------------------------

namespace {

struct TColorName {
  const char* Name;
  TColor Value;
};

constexpr TColor kSys = 0x80000000u;

constexpr TColorName kColorNames[] = {
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080},      {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},       {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},        {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},      {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},      {"clMedGray", 0xA4A0A0},    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSys + 0},            {"clBackground", kSys + 1},
    {"clActiveCaption", kSys + 2},        {"clInactiveCaption", kSys + 3},
    {"clMenu", kSys + 4},                 {"clWindow", kSys + 5},
    {"clWindowFrame", kSys + 6},          {"clMenuText", kSys + 7},
    {"clWindowText", kSys + 8},           {"clCaptionText", kSys + 9},
    {"clActiveBorder", kSys + 10},        {"clInactiveBorder", kSys + 11},
    {"clAppWorkSpace", kSys + 12},        {"clHighlight", kSys + 13},
    {"clHighlightText", kSys + 14},       {"clBtnFace", kSys + 15},
    {"clBtnShadow", kSys + 16},           {"clGrayText", kSys + 17},
    {"clBtnText", kSys + 18},             {"clInactiveCaptionText", kSys + 19},
    {"clBtnHighlight", kSys + 20},        {"cl3DDkShadow", kSys + 21},
    {"cl3DLight", kSys + 22},             {"clInfoText", kSys + 23},
    {"clInfoBk", kSys + 24},              {"clGradientActiveCaption", kSys + 27},
    {"clGradientInactiveCaption", kSys + 28},
};

using plat::SameText;

}  // namespace

bool IdentToColor(const std::string& ident, TColor& color) {
  for (const TColorName& c : kColorNames) {
    if (SameText(ident, c.Name)) {
      color = c.Value;
      return true;
    }
  }
  return false;
}

bool ColorToIdent(TColor color, std::string& ident) {
  for (const TColorName& c : kColorNames) {
    if (c.Value == color) {
      ident = c.Name;
      return true;
    }
  }
  return false;
}

int32_t PatternCount(int32_t patternWidth, int32_t patternHeight, int32_t skipWidth,
                     int32_t skipHeight, int32_t picWidth, int32_t picHeight) {
  if (picWidth <= 0 || picHeight <= 0) return 0;
  const int64_t w = patternWidth > 0 ? patternWidth : picWidth;
  const int64_t h = patternHeight > 0 ? patternHeight : picHeight;
  if (w == picWidth && h == picHeight) return 1;
  const int64_t stepX = w + skipWidth, stepY = h + skipHeight;
  if (stepX <= 0 || stepY <= 0) return 0;
  const int64_t columns = (int64_t{picWidth} + skipWidth) / stepX;
  const int64_t rows = (int64_t{picHeight} + skipHeight) / stepY;
  if (columns <= 0 || rows <= 0) return 0;
  const int64_t n = columns * rows;
  return n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
}

// --- files -------------------------------------------------------------------------

std::vector<uint8_t> ReadPackageFile(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  switch (plat::ReadFileByName(fileName, SIZE_MAX, bytes)) {
    case plat::TFileRead::Ok: return bytes;
    case plat::TFileRead::CannotOpen: Fail("Cannot open file " + fileName);
    case plat::TFileRead::ReadFailed: break;
  }
  Fail(kReadError);
}

// --- reading ------------------------------------------------------------------------

namespace {

enum : uint8_t {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaString = 6, vaIdent = 7,
  vaFalse = 8, vaTrue = 9, vaBinary = 10, vaLString = 12, vaCollection = 14, vaWString = 18,
  vaUTF8String = 20,
};

constexpr uint8_t kResourceMarker = 0xFF;
constexpr uint16_t kResourceType = 10;
constexpr uint16_t kMemoryFlags = 0x1030;

struct TBlob {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
};

std::string ShortString(TCursor& c) {
  uint8_t n = c.U8();
  const uint8_t* s = c.Take(n);
  return std::string(reinterpret_cast<const char*>(s), n);
}

// Our strings are UTF-8; wide strings arrive as UTF-16 and lone surrogates become U+FFFD.
std::string Utf16ToUtf8(const uint8_t* p, size_t units) {
  std::string out;
  out.reserve(units);
  auto emit = [&](uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  };
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      uint32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        emit(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++i;
        continue;
      }
    }
    emit(u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
  }
  return out;
}

int32_t IntegerPayload(TCursor& c, uint8_t type) {
  switch (type) {
    case vaInt8: return static_cast<int8_t>(c.U8());
    case vaInt16: return static_cast<int16_t>(c.U16());
    case vaInt32: return c.I32();
    default: Fail(kInvalidValue);
  }
}

int32_t ReadInteger(TCursor& c) { return IntegerPayload(c, c.U8()); }

std::string ReadString(TCursor& c) {
  switch (c.U8()) {
    case vaString: return ShortString(c);
    case vaLString:
    case vaUTF8String: {
      uint32_t n = c.U32();
      const uint8_t* s = c.Take(n);
      return std::string(reinterpret_cast<const char*>(s), n);
    }
    case vaWString: {
      uint32_t units = c.U32();
      const uint8_t* s = c.Take(uint64_t{units} * 2);
      return Utf16ToUtf8(s, units);
    }
    default: Fail(kInvalidValue);
  }
}

bool ReadBoolean(TCursor& c) {
  switch (c.U8()) {
    case vaFalse: return false;
    case vaTrue: return true;
    default: Fail(kInvalidValue);
  }
}

TBlob ReadBinary(TCursor& c) {
  if (c.U8() != vaBinary) Fail(kInvalidValue);
  uint32_t n = c.U32();
  return {c.Take(n), n};
}

TColor ReadColor(TCursor& c) {
  uint8_t type = c.U8();
  if (type == vaIdent) {
    TColor color = 0;
    if (!IdentToColor(ShortString(c), color)) Fail(kInvalidValue);
    return color;
  }
  return static_cast<TColor>(IntegerPayload(c, type));
}

// Everything up to the root's first property: header, signature, prefix, class and name.
void ReadPrologue(TCursor& c) {
  if (c.U8() != kResourceMarker) Fail(kInvalidStream);
  if (c.U16() != kResourceType) Fail(kInvalidStream);
  while (c.U8() != 0) {
  }           // resource name
  c.Skip(6);  // memory flags, stream length: not needed, the stream runs to the end
  const uint8_t* sig = c.Take(4);
  if (std::memcmp(sig, "TPF0", 4) != 0) Fail(kInvalidStream);
  if (c.Left() > 0 && *c.P >= 0xF0) {
    uint8_t prefix = c.U8();
    if (prefix & 2) ReadInteger(c);  // position among siblings: not ours to use
  }
  ShortString(c);  // class name
  ShortString(c);  // object name
}


// One collection: optional order numbers, list begin, properties, end of list; each item
// joins `out` only once it is whole.
template <typename TItem, typename FProp>
void ReadCollection(TCursor& c, std::vector<TItem>& out, FProp readProperty) {
  if (c.U8() != vaCollection) Fail(kInvalidValue);
  for (;;) {
    uint8_t type = c.U8();
    if (type == vaNull) return;
    if (type >= vaInt8 && type <= vaInt32) {
      IntegerPayload(c, type);  // the item's order: ignored
      type = c.U8();
    }
    if (type != vaList) Fail(kInvalidStream);
    TItem item;
    for (;;) {
      std::string name = ShortString(c);
      if (name.empty()) break;  // the zero length byte is the end of list
      readProperty(c, name, item);
    }
    out.push_back(std::move(item));
  }
}

void FailNoProperty(const std::string& name) { Fail("Property " + name + " does not exist"); }

void ReadImageProperty(TCursor& c, const std::string& name, TImageItemData& item) {
  if (SameText(name, "Name")) item.Name = ReadString(c);
  else if (SameText(name, "PatternWidth")) item.PatternWidth = ReadInteger(c);
  else if (SameText(name, "PatternHeight")) item.PatternHeight = ReadInteger(c);
  else if (SameText(name, "SkipWidth")) item.SkipWidth = ReadInteger(c);
  else if (SameText(name, "SkipHeight")) item.SkipHeight = ReadInteger(c);
  else if (SameText(name, "SystemMemory")) item.SystemMemory = ReadBoolean(c);
  else if (SameText(name, "Transparent")) item.Transparent = ReadBoolean(c);
  else if (SameText(name, "TransparentColor")) item.TransparentColor = ReadColor(c);
  else if (SameText(name, "Picture.Data")) {
    TBlob b = ReadBinary(c);
    TCursor pc(b.Data, b.Size);
    std::string kind = ShortString(pc);
    if (kind == "TDIB") {
      item.Picture = DecodeDIB(pc.P, pc.Left());
      item.HasPicture = true;
    } else {
      item.Picture = TPicture{};  // a kind we do not know: no picture, no error
      item.HasPicture = false;
    }
  } else {
    FailNoProperty(name);
  }
}

void ReadWaveProperty(TCursor& c, const std::string& name, TWaveItemData& item) {
  if (SameText(name, "Name")) item.Name = ReadString(c);
  else if (SameText(name, "Looped")) item.Looped = ReadBoolean(c);
  else if (SameText(name, "MaxPlayingCount")) item.MaxPlayingCount = ReadInteger(c);
  else if (SameText(name, "Wave.WAVE")) {
    TBlob b = ReadBinary(c);
    DecodeWave(b.Data, b.Size, item);
  } else {
    FailNoProperty(name);
  }
}

// The root object: "List", the image list's "List.ColorTable", and the root's own "Name"
// and "Tag", read and dropped; then the empty list of children.
template <typename TItem, typename FProp>
void ReadRoot(const uint8_t* data, size_t size, std::vector<TItem>& out,
              std::vector<uint8_t>* colorTable, bool images, FProp readProperty) {
  TCursor c(data, size);
  ReadPrologue(c);
  for (;;) {
    std::string name = ShortString(c);
    if (name.empty()) break;
    if (SameText(name, "List")) {
      ReadCollection(c, out, readProperty);
    } else if (images && SameText(name, "List.ColorTable")) {
      TBlob b = ReadBinary(c);
      if (b.Size != 1024) Fail(kInvalidValue);
      if (colorTable) colorTable->assign(b.Data, b.Data + b.Size);
    } else if (SameText(name, "Name")) {
      ReadString(c);
    } else if (SameText(name, "Tag")) {
      ReadInteger(c);
    } else {
      FailNoProperty(name);
    }
  }
  if (c.U8() != 0) Fail(kInvalidStream);  // a package root has no children
}

}  // namespace

void ParseImagePackage(const uint8_t* data, size_t size, std::vector<TImageItemData>& out,
                       std::vector<uint8_t>* colorTable) {
  ReadRoot(data, size, out, colorTable, true, ReadImageProperty);
}

void ParseWavePackage(const uint8_t* data, size_t size, std::vector<TWaveItemData>& out) {
  ReadRoot(data, size, out, nullptr, false, ReadWaveProperty);
}

// --- writing ----------------------------------------------------------------------

namespace {

struct TStreamWriter : TBytesOut {
  using TBytesOut::TBytesOut;
  void Short(const std::string& s) {
    if (s.size() > 255) Fail(kInvalidValue);
    U8(static_cast<uint8_t>(s.size()));
    Raw(s.data(), s.size());
  }
  void Integer(int32_t v) {
    if (v >= INT8_MIN && v <= INT8_MAX) {
      U8(vaInt8);
      U8(static_cast<uint8_t>(v));
    } else if (v >= INT16_MIN && v <= INT16_MAX) {
      U8(vaInt16);
      U16(static_cast<uint16_t>(v));
    } else {
      U8(vaInt32);
      U32(static_cast<uint32_t>(v));
    }
  }
  void String(const std::string& s) {
    if (s.size() <= 255) {
      U8(vaString);
      Short(s);
    } else {
      if (s.size() > UINT32_MAX) Fail(kInvalidValue);
      U8(vaLString);
      U32(static_cast<uint32_t>(s.size()));
      Raw(s.data(), s.size());
    }
  }
  void Boolean(bool b) { U8(b ? vaTrue : vaFalse); }
  void Binary(const std::vector<uint8_t>& head, const std::vector<uint8_t>& body) {
    const uint64_t n = uint64_t{head.size()} + body.size();
    if (n > UINT32_MAX) Fail(kInvalidValue);
    U8(vaBinary);
    U32(static_cast<uint32_t>(n));
    Raw(head.data(), head.size());
    Raw(body.data(), body.size());
  }
  void Color(TColor c) {
    std::string ident;
    if (ColorToIdent(c, ident)) {
      U8(vaIdent);
      Short(ident);
    } else {
      Integer(static_cast<int32_t>(c));
    }
  }
};

// Header, signature, the root's class and empty name; Finish closes the root and fills in
// the stream length.
size_t BeginPackage(TStreamWriter& w, const std::string& resourceName, const std::string& cls) {
  w.U8(kResourceMarker);
  w.U16(kResourceType);
  w.Raw(resourceName.data(), resourceName.size());
  w.U8(0);
  w.U16(kMemoryFlags);
  const size_t lengthAt = w.B.size();
  w.U32(0);
  w.Raw("TPF0", 4);
  w.Short(cls);
  w.Short("");
  return lengthAt;
}

void FinishPackage(TStreamWriter& w, size_t lengthAt) {
  w.U8(0);  // end of the root's properties
  w.U8(0);  // no children
  const uint64_t length = w.B.size() - (lengthAt + 4);
  if (length > UINT32_MAX) Fail(kInvalidValue);
  w.PatchU32(lengthAt, static_cast<uint32_t>(length));
}

}  // namespace

// Properties at their default are left out, as the reader restores them; the name and
// "Transparent" are always written so that a package reads plainly in a hex dump.
std::vector<uint8_t> WriteImagePackage(const std::vector<TImageItemData>& items,
                                       const std::vector<uint8_t>* colorTable) {
  std::vector<uint8_t> out;
  TStreamWriter w(out);
  const size_t lengthAt = BeginPackage(w, "TIMAGELIST", "TImageList");
  if (colorTable) {
    if (colorTable->size() != 1024) Fail(kInvalidValue);
    w.Short("List.ColorTable");
    w.Binary({}, *colorTable);
  }
  w.Short("List");
  w.U8(vaCollection);
  for (const TImageItemData& it : items) {
    w.U8(vaList);
    w.Short("Name");
    w.String(it.Name);
    if (it.PatternWidth) w.Short("PatternWidth"), w.Integer(it.PatternWidth);
    if (it.PatternHeight) w.Short("PatternHeight"), w.Integer(it.PatternHeight);
    if (it.SkipWidth) w.Short("SkipWidth"), w.Integer(it.SkipWidth);
    if (it.SkipHeight) w.Short("SkipHeight"), w.Integer(it.SkipHeight);
    if (it.SystemMemory) w.Short("SystemMemory"), w.Boolean(true);
    w.Short("Transparent");
    w.Boolean(it.Transparent);
    if (it.TransparentColor) w.Short("TransparentColor"), w.Color(it.TransparentColor);
    if (it.HasPicture) {
      std::vector<uint8_t> head{4, 'T', 'D', 'I', 'B'};
      w.Short("Picture.Data");
      w.Binary(head, it.Picture.Empty() ? std::vector<uint8_t>{} : EncodeDIB(it.Picture));
    }
    w.U8(vaNull);
  }
  w.U8(vaNull);
  FinishPackage(w, lengthAt);
  return out;
}

std::vector<uint8_t> WriteWavePackage(const std::vector<TWaveItemData>& items) {
  std::vector<uint8_t> out;
  TStreamWriter w(out);
  const size_t lengthAt = BeginPackage(w, "TWAVELIST", "TWaveList");
  w.Short("List");
  w.U8(vaCollection);
  for (const TWaveItemData& it : items) {
    w.U8(vaList);
    w.Short("Name");
    w.String(it.Name);
    if (it.Looped) w.Short("Looped"), w.Boolean(true);
    if (it.MaxPlayingCount) w.Short("MaxPlayingCount"), w.Integer(it.MaxPlayingCount);
    if (it.HasWave) w.Short("Wave.WAVE"), w.Binary({}, EncodeWave(it));
    w.U8(vaNull);
  }
  w.U8(vaNull);
  FinishPackage(w, lengthAt);
  return out;
}
