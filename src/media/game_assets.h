// What the game draws and plays from its packages, in one place: every sprite it looks up by
// name (with the patterns and sizes its screens rely on), how many textures it addresses by
// position, and every effect it plays. The package tool checks a modder's packages against it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TSpriteNeed {
  const char* Name;
  int32_t Patterns;  // patterns the screens draw (pattern numbers 0 .. Patterns - 1)
  int32_t Width;     // pattern size a screen's fixed rectangle is made for; 0: any
  int32_t Height;
};

extern const TSpriteNeed kGameSprites[];
extern const size_t kGameSpriteCount;
// Textures by position: 0 to 4 the levels' own, 5 to 9 their backgrounds, 10 the menu's.
constexpr int32_t kGameTextureCount = 11;
extern const char* const kGameEffects[];
extern const size_t kGameEffectCount;

// One item of a package as the check sees it.
struct TAssetItem {
  std::string Name;
  bool Usable = false;  // a picture with pixels, or a wave
  int32_t Patterns = 0;
  int32_t PatternWidth = 0, PatternHeight = 0;
};

// What a package lacks for the game, one line each ("RotateCW needs 14 patterns, has 10");
// empty when it holds everything. Names are matched without regard to letter case, the
// first item of a name counting, as the game's lookup does.
std::vector<std::string> CheckSprites(const std::vector<TAssetItem>& items);
std::vector<std::string> CheckTextures(const std::vector<TAssetItem>& items);
std::vector<std::string> CheckEffects(const std::vector<TAssetItem>& items);
