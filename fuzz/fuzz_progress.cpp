// Fuzzes start-up reading of "Users.dat" and of the settings store from one input: the first
// byte splits it between the two files. Nothing may crash, and the record stays 5076 bytes.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

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
  if (restSize - split >= 5) {
    // The leading bytes are the file's.
    for (size_t i = 0; i < 5; ++i)
      if (PlayerRecord.Bytes[i] != rest[split + i]) std::abort();
  }
  return 0;
}
