// A music backend for the real media-control interpreter that writes down every call, keeps
// the end callback of the running play, and fails an open or a play on request.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/mci.h"

class RecordingBackend : public plat::IMusicBackend {
 public:
  bool Open(const std::string& path) override {
    calls.push_back("open " + path);
    return openResult;
  }
  bool Seek(uint32_t ms) override {
    calls.push_back("seek " + std::to_string(ms));
    return true;
  }
  bool Play(std::function<void()> onEnd) override {
    calls.push_back("play");
    end = std::move(onEnd);
    return playResult;
  }
  // A stopped piece never ends by itself.
  void Stop() override {
    calls.push_back("stop");
    end = nullptr;
  }
  void Close() override { calls.push_back("close"); }

  std::vector<std::string> calls;
  std::function<void()> end;  // empty while nothing plays
  bool openResult = true;
  bool playResult = true;
};
