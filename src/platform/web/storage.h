// What the browser build keeps in the page's local storage: the two files the desktop game
// writes (the settings store user.reg and the progress file Users.dat), each under a key of
// its own, each written whole so two tabs of the game never leave a mix of both behind.
// Pure code: the page's storage itself is reached in files_web.cpp.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::web {

// The files kept, by the name of the file (the last part of its path).
struct StoredFile {
  const char* fileName;  // "user.reg", "Users.dat"
  const char* key;       // "tangrel.user.reg", "tangrel.Users.dat"
  bool binary;           // kept as base64 (the progress record), else as the text itself
};
// The entry for the file at path, or null when it is not one we keep.
const StoredFile* StoredFileFor(std::string_view path);
const StoredFile* StoredFileByName(std::string_view fileName);

// Base64 with padding (RFC 4648), no line breaks.
std::string EncodeBase64(const uint8_t* data, size_t size);
// Strict: only the alphabet, padding only at the end and only as much as the length needs.
// Nothing for anything else (a damaged stored value).
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

// The stored value of a file's bytes, and the bytes of a stored value (nothing when the
// value is damaged: the game then starts from its defaults, as from a missing file). A text
// value longer than limit is damaged too.
std::string EncodeStored(const StoredFile& f, const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> DecodeStored(const StoredFile& f, std::string_view value, size_t limit);

}  // namespace plat::web
