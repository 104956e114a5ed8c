// The platform layer: what the game needs of the operating system, as one interface.
// Implementations: sdl/ (Linux desktop), win32/ (Windows), fake/ (the headless test double).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

class IRegistry;

enum class EventKind : uint8_t {
  Quit,        // window manager close button, SIGINT/SIGTERM: close the main window normally
  Activate,    // the application became active (focus gained, restored)
  Deactivate,  // the application became inactive (focus lost, minimised)
  KeyDown,
  MouseDown,
  MouseMove,
  MouseUp,
  WheelDown,   // one notch towards the player
  WheelUp,
  Timer,       // a tick of a platform timer; TimerId says which
  MusicNotify, // the music player's end notice
};

struct Event {
  EventKind Kind = EventKind::Quit;
  uint16_t Key = 0;  // virtual-key code for KeyDown
  TShiftState Shift = 0;
  TMouseButton Button = TMouseButton::mbLeft;
  int32_t X = 0, Y = 0;  // surface pixels
  int TimerId = 0;
};

// Saved window placement (position, size, state) for the switch to full screen and back.
struct WindowPlacement {
  bool Valid = false;
  int X = 0, Y = 0, W = 800, H = 600;
  bool Maximized = false;
};

class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // --- window -------------------------------------------------------------
  // Creates (once) the main window of w x h client pixels, centred, with the caption.
  virtual bool CreateMainWindow(const std::string& caption, int w, int h) = 0;
  // Switches the presentation between a bordered window and a letterboxed full screen.
  // Returns false with ErrorText() set when it cannot.
  virtual bool SetFullScreen(bool full) = 0;
  virtual bool IsFullScreen() const = 0;
  virtual WindowPlacement GetPlacement() const = 0;
  virtual void SetPlacement(const WindowPlacement& p) = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual bool IsMinimized() const = 0;
  // Asks the loop to close the main window: a Quit event follows.
  virtual void RequestClose() = 0;
  virtual void ShowSystemCursor(bool show) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // The window size in window mode (the player may resize the window; the picture scales).
  // The usable area of the desktop the window is on; false when not known.
  virtual bool DesktopArea(int& w, int& h) const {
    w = h = 0;
    return false;
  }
  // The client size in window mode; while full screen, the size the window returns to.
  virtual bool WindowedClientSize(int& w, int& h) const {
    w = h = 0;
    return false;
  }
  // Gives the window this client size in window mode, centred on its desktop.
  virtual void SetWindowedClientSize(int w, int h) {
    (void)w;
    (void)h;
  }
  // Shows a finished 800 x 600 XRGB8888 frame (pitch in pixels). False when there is no window.
  virtual bool Present(const uint32_t* pixels, int width, int height, int pitch) = 0;
  // How many times a second the display the window is on refreshes; 0 when not known.
  virtual int RefreshRate() const { return 0; }

  // --- event loop ---------------------------------------------------------
  // Takes the next waiting event without blocking; false when none waits.
  virtual bool PollEvent(Event& e) = 0;
  // Blocks until an event waits or timeoutMs passes (-1: no limit).
  virtual bool WaitEvent(Event& e, int timeoutMs) = 0;
  // Queues an event from any thread (the music player's end notice comes this way).
  virtual void PostEvent(const Event& e) = 0;
  // Starts (enabled) or stops a periodic timer that delivers Timer events with this id.
  virtual void SetTimer(int id, int intervalMs, bool enabled) = 0;

  // --- clocks and randomness ------------------------------------------------
  virtual uint32_t Ticks() = 0;         // milliseconds since start
  virtual double TimeOfDay() = 0;       // local time as a fraction of a day, 0 <= t < 1
  virtual std::string LongTimeString() = 0;  // local time in the user's long format, e.g. 14:05:09
  virtual void Randomize() = 0;         // seed the generator from the clock
  virtual int Random(int n) = 0;        // uniform whole number 0 .. n-1 (n >= 1)
  virtual void Sleep(int ms) = 0;

  // --- the rest -----------------------------------------------------------
  virtual void ReportError(const std::string& text) = 0;  // message box or stderr; returns
  // One line of the error log (standard error), no message box: the count of repeats of an
  // error already shown. Implementations without a log of their own may leave it as it is.
  virtual void LogError(const std::string& text);
  virtual bool OpenURL(const std::string& url) = 0;       // the player's browser; no shell
  virtual std::string ProgramDir() = 0;   // folder of the executable, with a trailing '/'
  virtual std::string ConfigDir() = 0;    // per-user settings folder, with a trailing '/'
  // The current user's registry, where the options live. By default the settings store
  // file "user.reg" in ConfigDir(); Windows gives the real one.
  virtual std::unique_ptr<IRegistry> OpenUserRegistry();
};

// The one platform in use. The program sets the SDL one; tests set the test double.
IPlatform& Platform();
void SetPlatform(IPlatform* p);

// Paths like "Sounds\theme1.mid": backslashes are separators.
std::string NativePath(const std::string& path);

}  // namespace plat
