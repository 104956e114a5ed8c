// Bounds-checked little-endian reading and writing of package bytes (private to the package code).
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/types.h"

namespace pkg {

inline constexpr const char* kInvalidStream = "Invalid stream format";
inline constexpr const char* kReadError = "Stream read error";
inline constexpr const char* kInvalidValue = "Invalid property value";
inline constexpr const char* kInvalidDIB = "DIB is invalid";
inline constexpr const char* kInvalidWave = "Wave is invalid";

[[noreturn]] inline void Fail(const std::string& text) { throw EGameError(text); }

// A read position inside a buffer owned by someone else. Every read checks what is left
// first, so a hostile length can only ever produce "Stream read error".
struct TCursor {
  const uint8_t* P = nullptr;
  const uint8_t* End = nullptr;

  TCursor() = default;
  TCursor(const uint8_t* data, size_t size) : P(data), End(data + size) {}

  size_t Left() const { return static_cast<size_t>(End - P); }
  bool AtEnd() const { return P >= End; }
  void Need(uint64_t n) const {
    if (n > Left()) Fail(kReadError);
  }
  uint8_t U8() {
    Need(1);
    return *P++;
  }
  uint16_t U16() {
    Need(2);
    uint16_t v = plat::Le16(P);
    P += 2;
    return v;
  }
  uint32_t U32() {
    Need(4);
    uint32_t v = plat::Le32(P);
    P += 4;
    return v;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // n bytes in place; the caller copies what it keeps.
  const uint8_t* Take(uint64_t n) {
    Need(n);
    const uint8_t* at = P;
    P += n;
    return at;
  }
  void Skip(uint64_t n) { Take(n); }
};

// Appends little-endian values to a growing buffer.
struct TBytesOut {
  std::vector<uint8_t>& B;
  explicit TBytesOut(std::vector<uint8_t>& b) : B(b) {}
  void U8(uint8_t v) { B.push_back(v); }
  void U16(uint16_t v) {
    B.push_back(static_cast<uint8_t>(v));
    B.push_back(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) B.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Raw(const void* p, size_t n) {
    const uint8_t* s = static_cast<const uint8_t*>(p);
    B.insert(B.end(), s, s + n);
  }
  void Tag(const char (&four)[5]) { Raw(four, 4); }
  // Patches a 4-byte number written earlier at offset `at`.
  void PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) B[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

}  // namespace pkg
