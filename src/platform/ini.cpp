// The INI reader behind the level files.
#include "platform/ini.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace plat {

namespace {

std::string Lower(std::string_view s) { return LowerAscii(s); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  std::string_view s = Trim(text);
  // A leading "0x" is read as "$".
  std::string buf;
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    buf = "$";
    buf.append(s.substr(2));
    s = buf;
  }
  if (s.empty()) return std::nullopt;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  if (s.front() == '$') {
    s.remove_prefix(1);
    if (s.empty() || s.size() > 64) return std::nullopt;
    uint64_t v = 0;
    for (char c : s) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      v = (v << 4) | static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(v);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(v);
}

bool TIniFile::LoadFromFile(const std::string& path) {
  sections.clear();
  // A longer file is read as far as the limit.
  std::vector<uint8_t> bytes;
  const TFileRead r = ReadFileByName(path, kIniMaxFile, bytes);
  if (r == TFileRead::CannotOpen) return false;
  LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

void TIniFile::LoadFromText(std::string_view text) {
  sections.clear();
  TKeys* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, std::min(end - pos, kIniMaxLine));
    pos = end + 1;
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
      // The first section of a name wins; a later one of the same name adds nothing.
      auto [it, fresh] = sections.try_emplace(Lower(Trim(name)));
      current = fresh ? &it->second : nullptr;
      continue;
    }
    if (!current) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = Lower(Trim(line.substr(0, eq)));
    if (key.empty()) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    // Values in matching quotes lose them, as the platform's profile reader does.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    current->try_emplace(std::move(key), std::string(value));
  }
}

bool TIniFile::HasSection(const std::string& section) const { return sections.count(Lower(section)) > 0; }

std::optional<std::string> TIniFile::ReadValue(const std::string& section, const std::string& key) const {
  auto s = sections.find(Lower(section));
  if (s == sections.end()) return std::nullopt;
  auto k = s->second.find(Lower(key));
  if (k == s->second.end()) return std::nullopt;
  return k->second;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  auto v = ReadValue(section, key);
  return v ? *v : def;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
  auto v = ReadValue(section, key);
  if (!v) return def;
  auto n = ParseIniInteger(*v);
  return n ? *n : def;
}

}  // namespace plat
