// Whole-file reads (the game's data files, the settings store, the progress file) and atomic
// writes (write "<file>.tmp", flush it to the disk, move it over the old file), on the
// system's own calls (files_os.h).
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/files_os.h"
#include "platform/settings_store.h"
#include "platform/test_seam.h"

namespace plat {

namespace {

bool IsSeparator(char c) { return c != 0 && std::strchr(osfile::kSeparators, c) != nullptr; }

// Creates every missing folder above path ("/a/b/file": /a, then /a/b).
bool MakeParentDirs(const std::string& path, std::string& error) {
  size_t slash = path.find_last_of(osfile::kSeparators);
  if (slash == std::string::npos || slash == 0) return true;
  std::string dir = path.substr(0, slash);
  std::string why;
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && !IsSeparator(dir[i])) continue;
    std::string part = dir.substr(0, i);
    if (!osfile::MakeFolder(part, why)) {
      error = "cannot create folder " + part + ": " + why;
      return false;
    }
  }
  if (!osfile::IsFolder(dir, why)) {
    error = "cannot create folder " + dir + ": " + why;
    return false;
  }
  return true;
}

// Reads the open file f, and closes it: at most maxBytes, with room for what the file holds
// now (so a huge limit costs nothing). overLimit says whether more was there. CannotOpen for
// a pipe, device or folder, which is never read (it could hang the game); ReadFailed with
// why on a read error. Anything but Ok leaves bytes empty.
TFileRead ReadOpenFile(osfile::File f, size_t maxBytes, std::vector<uint8_t>& bytes, bool& overLimit,
                       std::string& why) {
  bytes.clear();
  overLimit = false;
  std::string ignored;
  uint64_t size = 0;
  if (!osfile::RegularFileSize(f, size)) {
    osfile::CloseFile(f, ignored);
    return TFileRead::CannotOpen;
  }
  bytes.resize(static_cast<size_t>(std::min<uint64_t>(size, maxBytes)));
  size_t got = 0;
  bool ok = true;
  while (ok && got < bytes.size()) {
    size_t n = 0;
    ok = osfile::ReadSome(f, bytes.data() + got, bytes.size() - got, n, why);
    if (n == 0) break;  // shorter now than it was a moment ago
    got += n;
  }
  if (ok && got == maxBytes) {
    uint8_t extra;
    size_t n = 0;
    overLimit = osfile::ReadSome(f, &extra, 1, n, ignored) && n > 0;
  }
  osfile::CloseFile(f, ignored);
  bytes.resize(ok ? got : 0);
  return ok ? TFileRead::Ok : TFileRead::ReadFailed;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool makeDirs,
                         std::string& error) {
  if (makeDirs && !MakeParentDirs(path, error)) return false;
  const std::string temp = path + ".tmp";
  std::string why;
  const osfile::File f = osfile::CreateForWriting(temp, why);
  if (f == osfile::kNoFile) {
    error = why;
    return false;
  }
  bool ok = osfile::WriteAll(f, static_cast<const uint8_t*>(data), size, why) && osfile::FlushToDisk(f, why);
  std::string closeWhy;
  if (!osfile::CloseFile(f, closeWhy) && ok) {
    ok = false;
    why = closeWhy;
  }
  if (ok && test_seam::BeforeAtomicRename && !test_seam::BeforeAtomicRename(temp)) {
    ok = false;
    why = osfile::WriteFaultText();
  }
  if (ok && !osfile::MoveOver(temp, path, why)) ok = false;
  if (!ok) {
    osfile::RemoveFile(temp);
    error = why;
    return false;
  }
  osfile::MakeReplaceDurable(path);
  return true;
}

namespace {
// Names as the game keeps them (UTF-8) for the file system.
std::filesystem::path AsPath(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}
}  // namespace

bool MoveAside(const std::string& path, const std::string& base, std::string& chosen, std::string& error) {
  constexpr int kMaxTries = 1000;
  for (int n = 0; n < kMaxTries; ++n) {
    const std::string name = n == 0 ? base : base + "." + std::to_string(n);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(AsPath(name), ec))) continue;
    std::filesystem::rename(AsPath(path), AsPath(name), ec);
    if (ec) {
      error = ec.message();
      return false;
    }
    chosen = name;
    return true;
  }
  error = "every name from " + base + " to " + base + "." + std::to_string(kMaxTries - 1) + " is taken";
  return false;
}

TFileRead ReadFileByName(const std::string& name, size_t maxBytes, std::vector<uint8_t>& bytes,
                         bool* truncated) {
  bool missing = false, overLimit = false;
  std::string why;
  const osfile::File f = osfile::OpenForReading(name, missing, why);
  if (f == osfile::kNoFile) {
    bytes.clear();
    if (truncated) *truncated = false;
    return TFileRead::CannotOpen;
  }
  const TFileRead r = ReadOpenFile(f, maxBytes, bytes, overLimit, why);
  if (truncated) *truncated = overLimit;
  return r;
}

bool ReadFileLimited(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                     bool& exists, bool& overLimit, std::string& error) {
  out.clear();
  overLimit = false;
  bool missing = false;
  const osfile::File f = osfile::OpenForReading(path, missing, error);
  exists = f != osfile::kNoFile || !missing;
  if (f == osfile::kNoFile) return missing;  // simply not there, or an error
  switch (ReadOpenFile(f, maxBytes, out, overLimit, error)) {
    case TFileRead::Ok: return true;
    case TFileRead::CannotOpen: error = "not a regular file"; return false;
    case TFileRead::ReadFailed: return false;
  }
  return false;
}

}  // namespace plat
