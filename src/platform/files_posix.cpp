// Whole-file reads and atomic writes on POSIX systems: write a temporary file, fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/settings_store.h"

namespace plat {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// mkdir -p of the folder part of path.
bool MakeParentDirs(const std::string& path, std::string& error) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return true;
  std::string dir = path.substr(0, slash);
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    std::string part = dir.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot create folder " + part + ": " + ErrnoText(errno);
      return false;
    }
  }
  struct stat st{};
  if (::stat(dir.c_str(), &st) != 0) {
    error = "cannot create folder " + dir + ": " + ErrnoText(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = "cannot create folder " + dir + ": " + ErrnoText(ENOTDIR);
    return false;
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool makeDirs,
                         std::string& error) {
  if (makeDirs && !MakeParentDirs(path, error)) return false;
  const std::string temp = path + ".tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = ErrnoText(errno);
    return false;
  }
  bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
  if (ok && ::fsync(fd) != 0) ok = false;
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && gAtomicWriteHook && !gAtomicWriteHook(temp)) {
    ok = false;
    err = EIO;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    error = ErrnoText(err);
    return false;
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool ReadFileLimited(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                     bool& exists, bool& overLimit, std::string& error) {
  out.clear();
  exists = false;
  overLimit = false;
  // O_NONBLOCK: a pipe or device put in the file's place must not hang the game.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return true;  // simply not there
    exists = true;
    error = ErrnoText(errno);
    return false;
  }
  exists = true;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = "not a regular file";
    return false;
  }
  out.resize(maxBytes);
  size_t got = 0;
  bool ok = true;
  while (got < maxBytes) {
    ssize_t r = ::read(fd, out.data() + got, maxBytes - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText(errno);
      ok = false;
      break;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  if (ok && got == maxBytes) {
    uint8_t extra;
    ssize_t r;
    do r = ::read(fd, &extra, 1);
    while (r < 0 && errno == EINTR);
    overLimit = r > 0;
  }
  ::close(fd);
  out.resize(ok ? got : 0);
  return ok;
}

}  // namespace plat
