// Hand-built package bytes for the package tests: every value type, including the ones our
// writer never produces.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TBytes {
  std::vector<uint8_t> B;

  TBytes& U8(uint8_t v) { B.push_back(v); return *this; }
  TBytes& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
  TBytes& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  TBytes& Raw(const std::string& s) {
    B.insert(B.end(), s.begin(), s.end());
    return *this;
  }
  TBytes& Raw(const std::vector<uint8_t>& v) {
    B.insert(B.end(), v.begin(), v.end());
    return *this;
  }
  TBytes& Short(const std::string& s) { return U8(static_cast<uint8_t>(s.size())).Raw(s); }

  // Values.
  TBytes& Int8(int8_t v) { return U8(2).U8(static_cast<uint8_t>(v)); }
  TBytes& Int16(int16_t v) { return U8(3).U16(static_cast<uint16_t>(v)); }
  TBytes& Int32(int32_t v) { return U8(4).U32(static_cast<uint32_t>(v)); }
  TBytes& Str(const std::string& s) { return U8(6).Short(s); }
  TBytes& Ident(const std::string& s) { return U8(7).Short(s); }
  TBytes& Bool(bool b) { return U8(b ? 9 : 8); }
  TBytes& Bin(const std::vector<uint8_t>& v) {
    return U8(10).U32(static_cast<uint32_t>(v.size())).Raw(v);
  }
  TBytes& Prop(const std::string& name) { return Short(name); }

  // Resource header, signature, class "TImageList", empty object name.
  static TBytes Start(const std::string& cls = "TImageList") {
    TBytes b;
    b.U8(0xFF).U16(10).Raw("PKG").U8(0).U16(0x1030).U32(0).Raw("TPF0").Short(cls).Short("");
    return b;
  }
  TBytes& ListBegin() { return Prop("List").U8(14); }  // then items, then ListEnd
  TBytes& Item() { return U8(1); }
  TBytes& End() { return U8(0); }
  // After the last item: end of collection, end of root properties, no children.
  TBytes& Finish() { return U8(0).U8(0).U8(0); }
};

// A "TDIB" picture payload for "Picture.Data".
inline std::vector<uint8_t> TdibPayload(const std::vector<uint8_t>& dib) {
  std::vector<uint8_t> out{4, 'T', 'D', 'I', 'B'};
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

// A 40-byte info header.
inline TBytes InfoHeader(int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0,
                         uint32_t colorsUsed = 0) {
  TBytes b;
  b.U32(40).U32(static_cast<uint32_t>(w)).U32(static_cast<uint32_t>(h)).U16(1).U16(bits);
  b.U32(compression).U32(0).U32(0).U32(0).U32(colorsUsed).U32(0);
  return b;
}
