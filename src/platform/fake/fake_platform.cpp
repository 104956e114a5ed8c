// Headless test double of the platform.
#include "platform/fake/fake_platform.h"

#include "platform/event_queue.h"

namespace plat {

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() = default;

bool FakePlatform::CreateMainWindow(const std::string& c, int, int) {
  windowCreated = true;
  caption = c;
  return true;
}

bool FakePlatform::SetFullScreen(bool full) {
  if (full && failFullScreen) return false;
  fullScreen = full;
  return true;
}

void FakePlatform::Minimize() {
  minimized = true;
  events.push_back({EventKind::Deactivate});
}

void FakePlatform::Restore() { minimized = false; }

void FakePlatform::RequestClose() {
  ++closeRequests;
  events.push_back({EventKind::Quit});
}

void FakePlatform::SetBusyCursor(bool busy) {
  busyCursor = busy;
  if (busy) ++busyCursorShown;
}

bool FakePlatform::Present(const uint32_t* pixels, int width, int height, int pitch) {
  ++presentCount;
  lastFrame.assign(static_cast<size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) lastFrame[static_cast<size_t>(y) * width + x] = pixels[static_cast<size_t>(y) * pitch + x];
  return true;
}

bool FakePlatform::PollEvent(Event& e) {
  std::lock_guard<std::mutex> g(postLock);
  return TakeFirst(events, e);
}

void FakePlatform::PostEvent(const Event& e) {
  std::lock_guard<std::mutex> g(postLock);
  events.push_back(e);
}

bool FakePlatform::WaitEvent(Event& e, int timeoutMs) {
  waits.push_back(timeoutMs);
  if (PollEvent(e)) return true;
  if (!waitPassesTime || timeoutMs <= 0) return false;
  // The wait ends when the next arrival comes in, or when its time is up.
  const uint32_t end = ticks + static_cast<uint32_t>(timeoutMs);
  if (!arrivals.empty() && static_cast<int32_t>(arrivals.front().first - end) <= 0) {
    if (static_cast<int32_t>(arrivals.front().first - ticks) > 0) ticks = arrivals.front().first;
    e = arrivals.front().second;
    arrivals.pop_front();
    return true;
  }
  ticks = end;
  return false;
}

void FakePlatform::SetTimer(int id, int intervalMs, bool enabled) {
  timers[id] = {intervalMs, enabled};
}

int FakePlatform::Random(int n) {
  if (n <= 0) return 0;
  int v;
  if (randomSequence.empty())
    v = static_cast<int>(randomPos++);
  else
    v = randomSequence[randomPos++ % randomSequence.size()];
  v %= n;
  if (v < 0) v += n;
  return v;
}

void FakePlatform::Sleep(int ms) {
  sleptMs += ms;
  ticks += static_cast<uint32_t>(ms);
}

bool FakePlatform::OpenURL(const std::string& url) {
  urls.push_back(url);
  return openUrlResult;
}

}  // namespace plat
