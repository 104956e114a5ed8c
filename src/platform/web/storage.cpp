// The stored forms of the files kept in the page's local storage.
#include "platform/web/storage.h"

namespace plat::web {

namespace {

constexpr StoredFile kFiles[] = {
    {"user.reg", "tangrel.user.reg", false},
    {"Users.dat", "tangrel.Users.dat", true},
};

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

const StoredFile* StoredFileByName(std::string_view fileName) {
  for (const StoredFile& f : kFiles)
    if (fileName == f.fileName) return &f;
  return nullptr;
}

const StoredFile* StoredFileFor(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return StoredFileByName(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string EncodeBase64(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t v = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (size - i == 1) {
    const uint32_t v = uint32_t(data[i]) << 16;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (size - i == 2) {
    const uint32_t v = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  size_t pad = 0;
  if (!text.empty() && text.back() == '=') pad = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int s[4];
    for (int k = 0; k < 4; ++k) {
      const bool padded = last && k >= 4 - static_cast<int>(pad);
      s[k] = padded ? 0 : Sextet(text[i + k]);
      if (s[k] < 0) return std::nullopt;  // a foreign character, or '=' inside
    }
    const uint32_t v = uint32_t(s[0]) << 18 | uint32_t(s[1]) << 12 | uint32_t(s[2]) << 6 | uint32_t(s[3]);
    out.push_back(static_cast<uint8_t>(v >> 16));
    if (!(last && pad == 2)) out.push_back(static_cast<uint8_t>(v >> 8));
    if (!(last && pad >= 1)) out.push_back(static_cast<uint8_t>(v));
    // The bits the padding leaves over must be zero, as an encoder writes them.
    if (last && pad == 2 && (v & 0xFFFF) != 0) return std::nullopt;
    if (last && pad == 1 && (v & 0xFF) != 0) return std::nullopt;
  }
  return out;
}

std::string EncodeStored(const StoredFile& f, const std::vector<uint8_t>& bytes) {
  if (f.binary) return EncodeBase64(bytes.data(), bytes.size());
  return std::string(bytes.begin(), bytes.end());
}

std::optional<std::vector<uint8_t>> DecodeStored(const StoredFile& f, std::string_view value, size_t limit) {
  if (f.binary) {
    if (value.size() > (limit + 2) / 3 * 4) return std::nullopt;
    return DecodeBase64(value);
  }
  if (value.size() > limit) return std::nullopt;
  return std::vector<uint8_t>(value.begin(), value.end());
}

}  // namespace plat::web
