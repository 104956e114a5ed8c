// The files in the browser: the program's files live in memory (the game's data preloaded
// under /game) and take the POSIX calls (files_posix.cpp); the two the game writes, the
// settings store and the progress file, are also kept in the page's local storage. Each
// finished atomic replace of one of them writes its whole new content under its key; at
// start they are read back from there.
// A write the browser refuses (full, private browsing, storage turned off) is reported once;
// the game goes on, and what was stored before stays as it was.
#include <emscripten.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/files_os.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "platform/web/platform_web.h"
#include "platform/web/storage.h"

// One value into local storage, as bytes of 0 to 255 each a character: 1 when written,
// 0 when the browser refused.
EM_JS(int, tw_storage_put, (const char* key, const uint8_t* bytes, int size), {
  try {
    var parts = [];
    for (var i = 0; i < size; i += 8192)
      parts.push(String.fromCharCode.apply(null, HEAPU8.subarray(bytes + i, bytes + Math.min(size, i + 8192))));
    window.localStorage.setItem(UTF8ToString(key), parts.join(""));
    return 1;
  } catch (e) {
    return 0;
  }
});

// The value under key into a buffer (malloc'd, freed by the caller), its length at *size;
// null when there is none or storage cannot be read. A character above 255 (not ours)
// gives a length of -1.
EM_JS(uint8_t*, tw_storage_get, (const char* key, int* size), {
  var v = null;
  try { v = window.localStorage.getItem(UTF8ToString(key)); } catch (e) { v = null; }
  if (v === null || v === undefined) return 0;
  var n = v.length;
  var p = _malloc(n > 0 ? n : 1);
  if (!p) return 0;
  for (var i = 0; i < n; i++) {
    var c = v.charCodeAt(i);
    if (c > 255) { HEAP32[size >> 2] = -1; return p; }
    HEAPU8[p + i] = c;
  }
  HEAP32[size >> 2] = n;
  return p;
});

namespace plat::web {

namespace {
bool gRefusalReported = false;

// The whole new content of path into local storage, when it is a file we keep there.
void KeepInStorage(const std::string& path) {
  const StoredFile* kept = StoredFileFor(path);
  if (!kept) return;
  std::vector<uint8_t> bytes;
  bool exists = false, overLimit = false;
  std::string error;
  if (!ReadFileLimited(path, kSettingsStoreMaxBytes, bytes, exists, overLimit, error) || !exists || overLimit) return;
  const std::string value = EncodeStored(*kept, bytes);
  if (tw_storage_put(kept->key, reinterpret_cast<const uint8_t*>(value.data()), static_cast<int>(value.size())))
    return;
  if (gRefusalReported) return;
  gRefusalReported = true;
  try {
    Platform().ReportError("The browser does not let the game keep your settings and progress (its storage is "
                           "full or turned off). You can go on playing; what you change now is not kept.");
  } catch (const std::exception&) {
  }
}
}  // namespace

void RestoreStoredFiles(const std::string& configDir, const std::string& workDir) {
  // From now on each finished replace is made to last in the page's storage.
  osfile::SetReplacedHook(KeepInStorage);
  for (const char* name : {"user.reg", "Users.dat"}) {
    const StoredFile* kept = StoredFileByName(name);
    if (!kept) continue;
    int size = 0;
    uint8_t* raw = tw_storage_get(kept->key, &size);
    if (!raw) continue;
    std::optional<std::vector<uint8_t>> bytes;
    if (size >= 0) bytes = DecodeStored(*kept, std::string_view(reinterpret_cast<char*>(raw), size), kSettingsStoreMaxBytes);
    std::free(raw);
    // A damaged value is as no file: the game starts from its defaults.
    if (!bytes) {
      std::fprintf(stderr, "Tangrel 2.0: the stored %s is damaged; using the defaults\n", name);
      continue;
    }
    const std::string dir = kept->binary ? workDir : configDir;
    std::string error;
    // Straight into the file, not through the replace that would store it again.
    const std::string path = dir + name;
    for (size_t i = 1; i < dir.size(); ++i)
      if (dir[i] == '/') ::mkdir(dir.substr(0, i).c_str(), 0700);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) continue;
    std::string why;
    osfile::WriteAll(fd, bytes->data(), bytes->size(), why);
    ::close(fd);
  }
}

}  // namespace plat::web
