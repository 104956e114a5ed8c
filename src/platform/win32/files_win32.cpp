// Whole-file reads and atomic writes on Windows: write "<file>.tmp", flush it to the disk,
// then move it over the old file in one step (MoveFileEx with replace and write-through).
#include <windows.h>

#include <string>

#include "platform/settings_store.h"

namespace plat {

namespace {

// The system's own text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
  std::string text = n && buf ? std::string(buf, n) : "error " + std::to_string(code);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing folder above path ("C:\a\b\file": C:\a, then C:\a\b).
bool MakeParentDirs(const std::string& path, std::string& error) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos || slash == 0) return true;
  std::string dir = path.substr(0, slash);
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && !IsSeparator(dir[i])) continue;
    std::string part = dir.substr(0, i);
    if (part.size() == 2 && part[1] == ':') continue;  // a drive, not a folder
    if (IsSeparator(part.back())) continue;            // "\\server" and the like
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      error = "cannot create folder " + part + ": " + SystemErrorText(GetLastError());
      return false;
    }
  }
  if (!IsDirectory(dir)) {
    error = "cannot create folder " + dir + ": not a folder";
    return false;
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool makeDirs,
                         std::string& error) {
  if (makeDirs && !MakeParentDirs(path, error)) return false;
  const std::string temp = path + ".tmp";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  bool ok = true;
  DWORD err = 0;
  const auto* p = static_cast<const uint8_t*>(data);
  size_t left = size;
  while (ok && left > 0) {
    DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left), written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
      ok = false;
      err = GetLastError();
      break;
    }
    p += written;
    left -= written;
  }
  if (ok && !FlushFileBuffers(h)) {
    ok = false;
    err = GetLastError();
  }
  if (!CloseHandle(h) && ok) {
    ok = false;
    err = GetLastError();
  }
  if (ok && gAtomicWriteHook && !gAtomicWriteHook(temp)) {
    ok = false;
    err = ERROR_WRITE_FAULT;
  }
  if (ok && !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    err = GetLastError();
  }
  if (!ok) {
    DeleteFileA(temp.c_str());
    error = SystemErrorText(err);
    return false;
  }
  return true;
}

bool ReadFileLimited(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                     bool& exists, bool& overLimit, std::string& error) {
  out.clear();
  exists = false;
  overLimit = false;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return true;  // simply not there
    exists = true;
    error = IsDirectory(path) ? "not a regular file" : SystemErrorText(err);
    return false;
  }
  exists = true;
  // A pipe or device put in the file's place must not hang the game.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    error = "not a regular file";
    return false;
  }
  out.resize(maxBytes);
  size_t got = 0;
  bool ok = true;
  while (got < maxBytes) {
    DWORD want = maxBytes - got > 0x10000000u ? 0x10000000u : static_cast<DWORD>(maxBytes - got), n = 0;
    if (!ReadFile(h, out.data() + got, want, &n, nullptr)) {
      error = SystemErrorText(GetLastError());
      ok = false;
      break;
    }
    if (n == 0) break;
    got += n;
  }
  if (ok && got == maxBytes) {
    uint8_t extra;
    DWORD n = 0;
    overLimit = ReadFile(h, &extra, 1, &n, nullptr) && n > 0;
  }
  CloseHandle(h);
  out.resize(ok ? got : 0);
  return ok;
}

}  // namespace plat
