// Reading a data file by name with the standard library; whole-file reads and atomic writes
// (write "<file>.tmp", flush it to the disk, move it over the old file) on the system's own
// calls (files_os.h).
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

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

}  // namespace

TFileRead ReadFileByName(const std::string& name, size_t maxBytes, std::vector<uint8_t>& bytes,
                         bool* truncated) {
  bytes.clear();
  if (truncated) *truncated = false;
  std::error_code ec;
  // Asked first, so that a pipe or device put in the file's place cannot hang the game.
  if (!std::filesystem::is_regular_file(name, ec)) return TFileRead::CannotOpen;
  std::ifstream in(name, std::ios::binary);
  if (!in) return TFileRead::CannotOpen;
  const std::uintmax_t size = std::filesystem::file_size(name, ec);
  if (ec) return TFileRead::ReadFailed;
  const size_t want = static_cast<size_t>(std::min<std::uintmax_t>(size, maxBytes));
  bytes.resize(want);
  if (want > 0) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(want));
  if (static_cast<size_t>(in.gcount()) != want) {
    bytes.clear();
    return TFileRead::ReadFailed;
  }
  if (truncated) *truncated = size > maxBytes;
  return TFileRead::Ok;
}

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

bool ReadFileLimited(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                     bool& exists, bool& overLimit, std::string& error) {
  out.clear();
  exists = false;
  overLimit = false;
  bool missing = false;
  const osfile::File f = osfile::OpenForReading(path, missing, error);
  if (f == osfile::kNoFile) {
    if (missing) return true;  // simply not there
    exists = true;
    return false;
  }
  exists = true;
  std::string ignored;
  if (!osfile::IsRegularFile(f)) {
    osfile::CloseFile(f, ignored);
    error = "not a regular file";
    return false;
  }
  out.resize(maxBytes);
  size_t got = 0;
  bool ok = true;
  while (got < maxBytes) {
    size_t n = 0;
    if (!osfile::ReadSome(f, out.data() + got, maxBytes - got, n, error)) {
      ok = false;
      break;
    }
    if (n == 0) break;
    got += n;
  }
  if (ok && got == maxBytes) {
    uint8_t extra;
    size_t n = 0;
    overLimit = osfile::ReadSome(f, &extra, 1, n, ignored) && n > 0;
  }
  osfile::CloseFile(f, ignored);
  out.resize(ok ? got : 0);
  return ok;
}

}  // namespace plat
