// Names without regard to letter case, as the game compares them everywhere (sprite, wave,
// colour and property names, INI sections and keys, settings keys, command words). Only
// A to Z fold, whatever the locale: a name means the same on every machine.
#pragma once
#include <string>
#include <string_view>

namespace plat {

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerAscii(c);
  return r;
}

inline bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace plat
