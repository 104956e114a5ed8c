// Fuzzes start-up reading of "Users.dat" and of the settings store from one input: the first
// byte splits it between the two files. Nothing may crash, the record stays 5076 bytes, and the
// progress file's bytes are never lost: a file taken as it is stays "Users.dat" and gives the
// record its leading bytes; any other is set aside whole as "Users.dat.damaged".
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/fake/fake_platform.h"
#include "settings/reestr.h"

namespace {
plat::FakePlatform gFake;
std::string gDir;
int gHomeDir = -1;  // libFuzzer's own folder, for its corpus and artefacts

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

bool FileHolds(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::string got;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) got.append(buf, n);
  std::fclose(f);
  return got.size() == size && (size == 0 || std::equal(data, data + size, got.begin(),
                                                        [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }));
}

// The files an earlier input left set aside.
void RemoveSetAside() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(gDir, ec))
    if (e.path().filename().string().rfind("Users.dat.damaged", 0) == 0) std::filesystem::remove(e.path(), ec);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char tmpl[] = "/tmp/tangrel-fuzz-progress-XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  gDir = tmpl;
  gHomeDir = open(".", O_RDONLY | O_DIRECTORY);
  if (gHomeDir < 0) std::abort();
  gFake.configDir = gDir + "/";
  plat::SetPlatform(&gFake);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t split = size ? std::min<size_t>(data[0] * 64u, size - 1) : 0;
  const uint8_t* rest = size ? data + 1 : data;
  size_t restSize = size ? size - 1 : 0;
  if (split > restSize) split = restSize;
  WriteFile(gDir + "/user.reg", rest, split);
  WriteFile(gDir + "/Users.dat", rest + split, restSize - split);
  if (chdir(gDir.c_str()) != 0) std::abort();  // "Users.dat" is read from the current folder
  LoadSettings();
  if (fchdir(gHomeDir) != 0) std::abort();
  if (PlayerRecord.Bytes.size() != kPlayerRecordSize) std::abort();
  const uint8_t* file = rest + split;
  const size_t fileSize = restSize - split;
  if (FileHolds(gDir + "/Users.dat", file, fileSize)) {
    // Taken as it is: a whole record, whose leading bytes are the file's.
    if (fileSize != kPlayerRecordSize) std::abort();
    for (size_t i = 0; i < 5; ++i)
      if (PlayerRecord.Bytes[i] != file[i]) std::abort();
  } else if (!FileHolds(gDir + "/Users.dat.damaged", file, fileSize)) {
    std::abort();  // neither kept nor set aside whole: the player's file is lost
  }
  RemoveSetAside();
  return 0;
}
