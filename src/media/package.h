// Package files (.gpk images, .spk waves): a resource header and a component stream whose
// root carries the collection "List". Reader and writer share this one description.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "media/picture.h"
#include "platform/types.h"

struct TImageItemData {
  std::string Name;
  int32_t PatternWidth = 0, PatternHeight = 0;
  int32_t SkipWidth = 0, SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  TColor TransparentColor = 0;  // $00BBGGRR or a special value (clNone, system colours)
  bool HasPicture = false;
  TPicture Picture;
};

struct TWaveItemData {
  std::string Name;
  bool Looped = false;
  int32_t MaxPlayingCount = 0;
  bool HasWave = false;
  std::vector<uint8_t> Format;  // the "fmt " chunk's bytes, whole
  std::vector<uint8_t> Data;    // the "data" chunk's bytes
};

// Reads a whole file; "Cannot open file %s" when it cannot be opened.
std::vector<uint8_t> ReadPackageFile(const std::string& fileName);

// Parse a package held in memory. Items are appended to `out` as they are read, so that
// on a failure (thrown as EGameError with the reader's text) the earlier ones remain.
// `colorTable` receives the 1024 bytes of "List.ColorTable" when the package has one and is
// left untouched otherwise. Neither function keeps pointers into `data`.
void ParseImagePackage(const uint8_t* data, size_t size, std::vector<TImageItemData>& out,
                       std::vector<uint8_t>* colorTable = nullptr);
void ParseWavePackage(const uint8_t* data, size_t size, std::vector<TWaveItemData>& out);

// The inverse: byte-exact packages the reader reads back losslessly.
std::vector<uint8_t> WriteImagePackage(const std::vector<TImageItemData>& items,
                                       const std::vector<uint8_t>* colorTable = nullptr);
std::vector<uint8_t> WriteWavePackage(const std::vector<TWaveItemData>& items);

// Decoders of the payloads, usable on their own (fuzz targets, the tool).
TPicture DecodeDIB(const uint8_t* data, size_t size);  // packed DIB without file header
void DecodeWave(const uint8_t* data, size_t size, TWaveItemData& out);  // RIFF WAVE

// Packed DIB of a picture: info header, an 8-bit colour table when the picture has 256
// colours or fewer, else 24-bit pixels; bottom row first. DecodeDIB reads it back exactly.
std::vector<uint8_t> EncodeDIB(const TPicture& pic);
// RIFF WAVE file of a wave item: "fmt " with the stored format bytes, then "data".
std::vector<uint8_t> EncodeWave(const TWaveItemData& wave);

// Colour identifiers as packages store them ("clFuchsia", "clBtnFace", ...). IdentToColor
// ignores letter case; both return false for what is not in the table.
bool IdentToColor(const std::string& ident, TColor& color);
bool ColorToIdent(TColor color, std::string& ident);

// How many patterns an item has on a picture of picWidth x picHeight: one for the whole
// picture when the pattern size is the picture's, otherwise whole columns times whole rows
// of pattern plus gap. 0 for an empty picture or a pattern step of 0 or less.
int32_t PatternCount(int32_t patternWidth, int32_t patternHeight, int32_t skipWidth,
                     int32_t skipHeight, int32_t picWidth, int32_t picHeight);
