// The calls on files that the whole-file reads and atomic writes are made of, on POSIX
// systems: descriptors, fsync, rename, and an fsync of the folder after it. The browser
// build takes them too, on its in-memory files (where fsync has nothing to wait for).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files_os.h"

namespace plat::osfile {

namespace {
std::string ErrnoText(int err) { return std::strerror(err); }
int Fd(File f) { return static_cast<int>(f); }
ReplacedHook gReplaced = nullptr;
}  // namespace

const char kSeparators[] = "/";

bool MakeFolder(const std::string& dir, std::string& why) {
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    why = ErrnoText(errno);
    return false;
  }
  return true;
}

bool IsFolder(const std::string& dir, std::string& why) {
  struct stat st{};
  if (::stat(dir.c_str(), &st) != 0) {
    why = ErrnoText(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    why = ErrnoText(ENOTDIR);
    return false;
  }
  return true;
}

File CreateForWriting(const std::string& path, std::string& why) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    why = ErrnoText(errno);
    return kNoFile;
  }
  return fd;
}

bool WriteAll(File f, const uint8_t* p, size_t n, std::string& why) {
  while (n > 0) {
    const ssize_t w = ::write(Fd(f), p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      why = ErrnoText(w < 0 ? errno : EIO);  // nothing written: no use trying again
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool FlushToDisk(File f, std::string& why) {
  if (::fsync(Fd(f)) == 0) return true;
  why = ErrnoText(errno);
  return false;
}

bool CloseFile(File f, std::string& why) {
  if (::close(Fd(f)) == 0) return true;
  why = ErrnoText(errno);
  return false;
}

std::string WriteFaultText() { return ErrnoText(EIO); }

bool MoveOver(const std::string& temp, const std::string& path, std::string& why) {
  if (::rename(temp.c_str(), path.c_str()) == 0) return true;
  why = ErrnoText(errno);
  return false;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

void MakeReplaceDurable(const std::string& path) {
  // The rename itself; a failure here leaves a complete file either way.
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  if (gReplaced) gReplaced(path);
}

void SetReplacedHook(ReplacedHook hook) { gReplaced = hook; }

File OpenForReading(const std::string& path, bool& missing, std::string& why) {
  // O_NONBLOCK: a pipe or device put in the file's place must not hang the game.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) return fd;
  missing = errno == ENOENT || errno == ENOTDIR;
  if (!missing) why = ErrnoText(errno);
  return kNoFile;
}

bool RegularFileSize(File f, uint64_t& size) {
  struct stat st{};
  if (::fstat(Fd(f), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool ReadSome(File f, uint8_t* p, size_t n, size_t& got, std::string& why) {
  ssize_t r;
  do r = ::read(Fd(f), p, n);
  while (r < 0 && errno == EINTR);
  if (r < 0) {
    why = ErrnoText(errno);
    return false;
  }
  got = static_cast<size_t>(r);
  return true;
}

}  // namespace plat::osfile
