// A small INI reader for the level files: sections and keys matched without regard to case,
// integer values in decimal or "$"/"0x" hexadecimal, defaults for anything missing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// Longest line we look at; the rest of a longer line is skipped.
constexpr size_t kIniMaxLine = 4096;
// Largest file we read; anything beyond is ignored.
constexpr size_t kIniMaxFile = 16u << 20;

// Turns text into an int32 the way the level files write numbers: optional sign, then decimal
// digits or "$" and hexadecimal digits; a leading "0x"/"0X" counts as "$". Surrounding blanks
// are ignored. Hexadecimal takes up to 32 bits as written ("$FFFFFFFF" is -1). Anything else,
// or a decimal value outside int32, gives nothing.
std::optional<int32_t> ParseIniInteger(std::string_view text);

class TIniFile {
 public:
  // Reads the file; a file that cannot be opened reads as empty (every key takes its default).
  // Returns whether the file was opened.
  bool LoadFromFile(const std::string& path);
  void LoadFromText(std::string_view text);
  void Clear() { sections.clear(); }

  bool HasSection(const std::string& section) const;
  // The first value of the key in the first section of that name, or nothing.
  std::optional<std::string> ReadValue(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;

 private:
  using TKeys = std::map<std::string, std::string>;
  std::map<std::string, TKeys> sections;  // lower-cased names
};

}  // namespace plat
