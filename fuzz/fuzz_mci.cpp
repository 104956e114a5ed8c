// Fuzzes the media-control string interpreter: each input line is one command string,
// run against a backend that only keeps count.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/mci.h"

namespace {

class CountingBackend : public plat::IMusicBackend {
 public:
  bool Open(const std::string& path) override { return !path.empty() && path[0] != 'x'; }
  bool Seek(uint32_t) override { return true; }
  bool Play(std::function<void()> onEnd) override {
    end = std::move(onEnd);
    return true;
  }
  void Stop() override { end = nullptr; }
  void Close() override { end = nullptr; }
  std::function<void()> end;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::FakePlatform fake;
  plat::SetPlatform(&fake);
  {
    CountingBackend backend;
    plat::MciInterpreter mci(&backend);
    std::string line;
    for (size_t i = 0; i <= size; ++i) {
      if (i == size || data[i] == '\n') {
        mci.SendString(line);
        // Now and then the piece ends by itself.
        if (!line.empty() && (line.back() & 1) && backend.end) backend.end();
        line.clear();
      } else {
        line += static_cast<char>(data[i]);
      }
    }
  }
  plat::SetPlatform(nullptr);
  return 0;
}
