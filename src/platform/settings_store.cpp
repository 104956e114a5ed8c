// The per-user settings store (user.reg): the tolerant reader and the writer; the file
// operations under it are each system's own (files_posix.cpp, win32/files_win32.cpp).
#include "platform/settings_store.h"

#include <cstring>

#include "platform/test_seam.h"
#include "platform/text.h"

namespace plat {


namespace {

bool EqualNoCase(const std::string& a, const std::string& b) { return SameText(a, b); }

// "\Software\X\" and "Software\X" name the same key; we keep "\Software\X".
std::string NormalizeKey(const std::string& key) {
  size_t b = 0, e = key.size();
  while (b < e && (key[b] == '\\' || key[b] == ' ' || key[b] == '\t')) ++b;
  while (e > b && (key[e - 1] == '\\' || key[e - 1] == ' ' || key[e - 1] == '\t')) --e;
  // Built front to back: prepending to a temporary makes GCC 12 at -O3 see an overlapping
  // copy that cannot happen.
  std::string r;
  r.reserve(e - b + 1);
  r += '\\';
  r.append(key, b, e - b);
  return r;
}

bool IsText(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7f) return false;
  return true;
}

bool HexDigit(char c, uint32_t& v) {
  if (c >= '0' && c <= '9') v = static_cast<uint32_t>(c - '0');
  else if (c >= 'a' && c <= 'f') v = static_cast<uint32_t>(c - 'a' + 10);
  else if (c >= 'A' && c <= 'F') v = static_cast<uint32_t>(c - 'A' + 10);
  else return false;
  return true;
}

// "dword:" then 1 to 8 hex digits and nothing else.
bool ParseDword(const std::string& data, uint32_t& out) {
  const std::string prefix = "dword:";
  if (data.size() <= prefix.size() || data.size() > prefix.size() + 8) return false;
  if (!EqualNoCase(data.substr(0, prefix.size()), prefix)) return false;
  uint32_t v = 0;
  for (size_t i = prefix.size(); i < data.size(); ++i) {
    uint32_t d;
    if (!HexDigit(data[i], d)) return false;
    v = v << 4 | d;
  }
  out = v;
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

std::string Quote(const std::string& name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') r += '\\';
    r += c;
  }
  return r + "\"";
}

}  // namespace

bool SettingsStore::Load(const std::string& p) {
  path = p;
  keys.clear();
  error.clear();
  std::vector<uint8_t> bytes;
  bool exists = false, overLimit = false;
  if (!ReadFileLimited(p, kSettingsStoreMaxBytes, bytes, exists, overLimit, error)) {
    error = "cannot read " + p + ": " + error;
    return false;
  }
  if (!exists) return true;
  if (overLimit) {
    error = p + " is larger than " + std::to_string(kSettingsStoreMaxBytes) + " bytes";
    return false;
  }
  if (!Parse(reinterpret_cast<const char*>(bytes.data()), bytes.size())) {
    error = p + " is not a settings file";
    return false;
  }
  return true;
}

bool SettingsStore::Parse(const char* data, size_t size) {
  keys.clear();
  if (size > kSettingsStoreMaxBytes || (size > 0 && std::memchr(data, 0, size) != nullptr)) return false;
  size_t pos = 0;
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) pos = 3;  // UTF-8 mark
  Key* current = nullptr;
  while (pos < size) {
    const char* nl = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
    size_t end = nl ? static_cast<size_t>(nl - data) : size;
    size_t len = end - pos;
    std::string line;
    if (len <= kSettingsStoreMaxLine) line.assign(data + pos, len);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (!IsText(line)) continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']' || line.size() < 3) continue;
      std::string key = line.substr(1, line.size() - 2);
      if (key[0] == '-') continue;  // a deletion entry: nothing to keep
      if (NormalizeKey(key).size() + 2 > kSettingsStoreMaxLine) continue;  // could not be written back
      CreateKey(key);
      current = FindKey(key);
      continue;
    }
    if (!current || line[0] != '"') continue;
    std::string name;
    size_t i = 1;
    bool closed = false;
    for (; i < line.size(); ++i) {
      char c = line[i];
      if (c == '\\' && i + 1 < line.size()) {
        name += line[++i];
      } else if (c == '"') {
        closed = true;
        ++i;
        break;
      } else {
        name += c;
      }
    }
    if (!closed) continue;
    std::string rest = Trim(line.substr(i));
    if (rest.empty() || rest[0] != '=') continue;
    std::string valueText = Trim(rest.substr(1));
    if (valueText.empty()) continue;
    if (Quote(name).size() + 1 + valueText.size() > kSettingsStoreMaxLine) continue;
    Value v;
    v.name = name;
    if (ParseDword(valueText, v.dword)) {
      v.isDword = true;
    } else if (valueText.size() >= 5 && EqualNoCase(valueText.substr(0, 5), "dword")) {
      continue;  // a DWORD with bad digits: as if it were not there
    } else {
      v.raw = valueText;
    }
    Value* old = nullptr;
    for (Value& o : current->values)
      if (EqualNoCase(o.name, name)) old = &o;
    if (old) *old = v;
    else current->values.push_back(v);
  }
  return true;
}

std::string SettingsStore::Serialize() const {
  std::string out = "; Tangrel 2.0 settings\n";
  for (const Key& k : keys) {
    out += "\n[" + k.path + "]\n";
    for (const Value& v : k.values) {
      out += Quote(v.name) + "=";
      if (v.isDword) {
        char hex[9];
        for (int d = 0; d < 8; ++d) hex[d] = "0123456789abcdef"[(v.dword >> (28 - 4 * d)) & 15];
        hex[8] = 0;
        out += "dword:";
        out += hex;
      } else {
        out += v.raw;
      }
      out += "\n";
    }
  }
  return out;
}

bool SettingsStore::Save(const std::string& p) {
  if (!p.empty()) path = p;
  std::string text = Serialize();
  std::string why;
  if (!WriteFileAtomically(path, text.data(), text.size(), true, why)) {
    error = "cannot save " + path + ": " + why;
    return false;
  }
  error.clear();
  return true;
}

SettingsStore::Key* SettingsStore::FindKey(const std::string& key) {
  std::string n = NormalizeKey(key);
  for (Key& k : keys)
    if (EqualNoCase(k.path, n)) return &k;
  return nullptr;
}

const SettingsStore::Key* SettingsStore::FindKey(const std::string& key) const {
  return const_cast<SettingsStore*>(this)->FindKey(key);
}

const SettingsStore::Value* SettingsStore::FindValue(const Key& k, const std::string& name) {
  for (const Value& v : k.values)
    if (EqualNoCase(v.name, name)) return &v;
  return nullptr;
}

bool SettingsStore::KeyExists(const std::string& key) const { return FindKey(key) != nullptr; }

void SettingsStore::CreateKey(const std::string& key) {
  if (!FindKey(key)) keys.push_back({NormalizeKey(key), {}});
}

bool SettingsStore::ValueExists(const std::string& key, const std::string& name) const {
  const Key* k = FindKey(key);
  return k && FindValue(*k, name);
}

bool SettingsStore::ReadDword(const std::string& key, const std::string& name,
                              uint32_t& value) const {
  const Key* k = FindKey(key);
  const Value* v = k ? FindValue(*k, name) : nullptr;
  if (!v || !v->isDword) return false;
  value = v->dword;
  return true;
}

void SettingsStore::WriteDword(const std::string& key, const std::string& name, uint32_t value) {
  CreateKey(key);
  Key* k = FindKey(key);
  for (Value& v : k->values)
    if (EqualNoCase(v.name, name)) {
      v.isDword = true;
      v.dword = value;
      v.raw.clear();
      return;
    }
  Value v;
  v.name = name;
  v.isDword = true;
  v.dword = value;
  k->values.push_back(v);
}

bool SettingsStore::DeleteValue(const std::string& key, const std::string& name) {
  Key* k = FindKey(key);
  if (!k) return false;
  for (size_t i = 0; i < k->values.size(); ++i)
    if (EqualNoCase(k->values[i].name, name)) {
      k->values.erase(k->values.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  return false;
}

}  // namespace plat
