// The calls on files that the whole-file reads and atomic writes are made of, on Windows:
// "<file>.tmp" flushed to the disk, then moved over the old file in one step (MoveFileEx with
// replace and write-through). And the folder the program runs from. Names are UTF-8 here and
// reach the system through the wide calls.
#include "platform/files_os.h"
#include "platform/win32/platform_win32.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>

#include <string>

namespace plat {

namespace {

// The system's own text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n && buf ? WideToUtf8(buf, n) : "error " + std::to_string(code);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesW(Utf8ToWide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

HANDLE Handle(osfile::File f) { return reinterpret_cast<HANDLE>(f); }

// The most one WriteFile or ReadFile call moves.
constexpr DWORD kMaxChunk = 0x10000000u;

}  // namespace

std::string Win32ProgramFolder() {
  // A path may be longer than MAX_PATH; the buffer grows until the whole name fits.
  std::wstring buf(MAX_PATH, L'\0');
  DWORD n = 0;
  for (;;) {
    n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return "";
    if (n < buf.size()) break;
    if (buf.size() >= 32768) return "";
    buf.resize(buf.size() * 2);
  }
  const std::string p = WideToUtf8(buf.data(), n);
  size_t slash = p.find_last_of("\\/");
  return slash == std::string::npos ? "" : p.substr(0, slash + 1);
}

namespace osfile {

const char kSeparators[] = "/\\";

bool MakeFolder(const std::string& dir, std::string& why) {
  if (dir.size() == 2 && dir[1] == ':') return true;         // a drive, not a folder
  if (dir.back() == '/' || dir.back() == '\\') return true;  // "\\server" and the like
  if (!CreateDirectoryW(Utf8ToWide(dir).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    why = SystemErrorText(GetLastError());
    return false;
  }
  return true;
}

bool IsFolder(const std::string& dir, std::string& why) {
  if (IsDirectory(dir)) return true;
  why = "not a folder";
  return false;
}

File CreateForWriting(const std::string& path, std::string& why) {
  HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    why = SystemErrorText(GetLastError());
    return kNoFile;
  }
  return reinterpret_cast<File>(h);
}

bool WriteAll(File f, const uint8_t* p, size_t n, std::string& why) {
  while (n > 0) {
    DWORD chunk = n > kMaxChunk ? kMaxChunk : static_cast<DWORD>(n), written = 0;
    if (!WriteFile(Handle(f), p, chunk, &written, nullptr) || written == 0) {
      why = SystemErrorText(GetLastError());
      return false;
    }
    p += written;
    n -= written;
  }
  return true;
}

bool FlushToDisk(File f, std::string& why) {
  if (FlushFileBuffers(Handle(f))) return true;
  why = SystemErrorText(GetLastError());
  return false;
}

bool CloseFile(File f, std::string& why) {
  if (CloseHandle(Handle(f))) return true;
  why = SystemErrorText(GetLastError());
  return false;
}

std::string WriteFaultText() { return SystemErrorText(ERROR_WRITE_FAULT); }

bool MoveOver(const std::string& temp, const std::string& path, std::string& why) {
  if (MoveFileExW(Utf8ToWide(temp).c_str(), Utf8ToWide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  why = SystemErrorText(GetLastError());
  return false;
}

void RemoveFile(const std::string& path) { DeleteFileW(Utf8ToWide(path).c_str()); }

// MOVEFILE_WRITE_THROUGH has made the move durable already.
void MakeReplaceDurable(const std::string&) {}

File OpenForReading(const std::string& path, bool& missing, std::string& why) {
  HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) return reinterpret_cast<File>(h);
  DWORD err = GetLastError();
  missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
  if (!missing) why = IsDirectory(path) ? "not a regular file" : SystemErrorText(err);
  return kNoFile;
}

// A pipe or device put in the file's place must not hang the game.
bool RegularFileSize(File f, uint64_t& size) {
  LARGE_INTEGER n{};
  if (GetFileType(Handle(f)) != FILE_TYPE_DISK || !GetFileSizeEx(Handle(f), &n)) return false;
  size = n.QuadPart > 0 ? static_cast<uint64_t>(n.QuadPart) : 0;
  return true;
}

bool ReadSome(File f, uint8_t* p, size_t n, size_t& got, std::string& why) {
  DWORD want = n > kMaxChunk ? kMaxChunk : static_cast<DWORD>(n), done = 0;
  if (!ReadFile(Handle(f), p, want, &done, nullptr)) {
    why = SystemErrorText(GetLastError());
    return false;
  }
  got = done;
  return true;
}

}  // namespace osfile

}  // namespace plat
