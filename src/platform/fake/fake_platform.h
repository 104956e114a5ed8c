// Headless test double of the platform: a scripted event queue, a fixed clock and
// time of day, a repeatable random sequence, and records of what the game asked for.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace plat {

class FakePlatform : public IPlatform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  bool CreateMainWindow(const std::string& caption, int w, int h) override;
  bool SetFullScreen(bool full) override;
  bool IsFullScreen() const override { return fullScreen; }
  WindowPlacement GetPlacement() const override { return placement; }
  void SetPlacement(const WindowPlacement& p) override { placement = p; }
  void Minimize() override;
  void Restore() override;
  bool IsMinimized() const override { return minimized; }
  void RequestClose() override;
  void ShowSystemCursor(bool show) override { systemCursor = show; }
  void SetBusyCursor(bool busy) override;
  bool Present(const uint32_t* pixels, int width, int height, int pitch) override;
  int RefreshRate() const override { return refreshRate; }
  bool DesktopArea(int& w, int& h) const override {
    w = desktopW;
    h = desktopH;
    return desktopW > 0 && desktopH > 0;
  }
  bool WindowedClientSize(int& w, int& h) const override {
    w = windowedW;
    h = windowedH;
    return windowCreated;
  }
  void SetWindowedClientSize(int w, int h) override {
    windowedW = w;
    windowedH = h;
    ++windowSizeSets;
  }

  bool PollEvent(Event& e) override;
  bool WaitEvent(Event& e, int timeoutMs) override;
  void PostEvent(const Event& e) override;
  void SetTimer(int id, int intervalMs, bool enabled) override;

  uint32_t Ticks() override { return ticks; }
  double TimeOfDay() override { return timeOfDay; }
  std::string LongTimeString() override { return longTime; }
  void Randomize() override { ++randomizeCount; }
  int Random(int n) override;
  void Sleep(int ms) override;

  void ReportError(const std::string& text) override {
    errors.push_back(text);
    if (onReportError) onReportError();  // a box that runs the window's messages while open
  }
  void LogError(const std::string& text) override { errorLines.push_back(text); }
  bool OpenURL(const std::string& url) override;
  std::string ProgramDir() override { return programDir; }
  std::string ConfigDir() override { return configDir; }

  // --- what a test sets -----------------------------------------------------
  uint32_t ticks = 0;
  double timeOfDay = 0.5;
  std::string longTime = "12:00:00";
  std::vector<int> randomSequence;  // consumed in order (each taken modulo n); empty: counter
  size_t randomPos = 0;
  bool failFullScreen = false;
  bool openUrlResult = true;
  std::string programDir = "./";
  std::string configDir = "./";
  int desktopW = 0, desktopH = 0;  // 0 x 0: the desktop's size is not known
  int refreshRate = 0;             // the display's refresh rate; 0: not known
  bool waitPassesTime = false;     // WaitEvent with nothing queued lets its timeout pass on the clock
  // Events that come in at a clock reading while WaitEvent waits (waitPassesTime), in order.
  std::deque<std::pair<uint32_t, Event>> arrivals;
  std::deque<Event> events;
  std::mutex postLock;  // PostEvent may come from another thread  // the scripted queue PollEvent/WaitEvent hand out

  // --- what a test reads ----------------------------------------------------
  bool windowCreated = false;
  std::string caption;
  bool fullScreen = false;
  bool minimized = false;
  bool systemCursor = true;
  bool busyCursor = false;
  int busyCursorShown = 0;
  int closeRequests = 0;
  int presentCount = 0;
  int randomizeCount = 0;
  int sleptMs = 0;
  std::vector<int> waits;  // the timeout of every WaitEvent call, in order
  WindowPlacement placement;
  int windowedW = 800, windowedH = 600;  // the client size in window mode (the player may change it)
  int windowSizeSets = 0;
  std::vector<std::string> errors;      // reported errors (each a message box)
  std::vector<std::string> errorLines;  // log lines without a box
  std::function<void()> onReportError;
  std::vector<std::string> urls;
  std::vector<uint32_t> lastFrame;  // copy of the last presented frame
  struct TimerState {
    int interval = 0;
    bool enabled = false;
  };
  std::map<int, TimerState> timers;
};

}  // namespace plat
