// The platform on SDL2 and Linux: window, presentation, events, timers, clocks and the rest.
#include "platform/sdl/platform_sdl.h"

#include <SDL.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/clocks.h"
#include "platform/event_queue.h"
#include "platform/platform.h"
#include "platform/scaling.h"

extern char** environ;

namespace plat {

// --- key translation ----------------------------------------------------------

uint16_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return static_cast<uint16_t>('A' + (keycode - SDLK_a));
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return static_cast<uint16_t>('0' + (keycode - SDLK_0));
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return static_cast<uint16_t>(112 + (keycode - SDLK_F1));
  if (keycode >= SDLK_F13 && keycode <= SDLK_F24) return static_cast<uint16_t>(124 + (keycode - SDLK_F13));
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return static_cast<uint16_t>(97 + (keycode - SDLK_KP_1));
  switch (keycode) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_CLEAR: return 12;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 17;
    case SDLK_LALT:
    case SDLK_RALT: return 18;
    case SDLK_MODE: return 165;  // AltGr as a mode key: the right Alt, as Windows has it
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_PRINTSCREEN: return 44;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_HELP: return 47;
    case SDLK_LGUI: return 91;
    case SDLK_RGUI: return 92;
    case SDLK_APPLICATION: return 93;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_NUMLOCKCLEAR: return 144;
    case SDLK_SCROLLLOCK: return 145;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: break;
  }
  // Layouts without Latin letters: go by where the key sits.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return static_cast<uint16_t>('A' + (scancode - SDL_SCANCODE_A));
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return static_cast<uint16_t>('1' + (scancode - SDL_SCANCODE_1));
  if (scancode == SDL_SCANCODE_0) return '0';
  // Keys a layout gives letters of its own (o umlaut, a umlaut, the ISO key beside the left
  // Shift): by their place, as Windows names those places.
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;
    default: break;
  }
  // Any other key still is a key press: a code that no rule of the game binds.
  return kVkOtherKey;
}

TShiftState ShiftFromSdlMod(uint16_t mod) {
  TShiftState s = 0;
  if (mod & KMOD_SHIFT) s |= ssShift;
  if (mod & KMOD_ALT) s |= ssAlt;
  if (mod & KMOD_CTRL) s |= ssCtrl;
  return s;
}

namespace {

// --- state shared with other threads -----------------------------------------
// The timer thread, other threads posting events and the signal handlers reach the platform
// only through these.

Uint32 gUserEvent = 0;  // our one registered SDL event type
enum UserCode : Sint32 { kPostedCode = 1, kTimerCode = 2 };

// A platform timer. Its SDL callback pushes at most one tick at a time, as a window's timer
// does: ticks that fall due while the game is busy are merged, not queued up.
constexpr int kMaxTimers = 16;
struct TimerSlot {
  int id = 0;
  bool used = false;                    // main thread only
  SDL_TimerID sdl = 0;                  // main thread only
  std::atomic<uint32_t> generation{0};  // changes at every start and stop
  std::atomic<uint32_t> pendingGen{0};  // generation of the tick waiting in the queue, 0 none
};
TimerSlot gTimers[kMaxTimers];

// Generations fit the 24 bits the callback's parameter has for them; 0 means "none".
uint32_t NextGeneration(TimerSlot& t) {
  uint32_t gen = (t.generation.load() + 1) & 0xffffff;
  if (gen == 0) gen = 1;
  t.generation.store(gen);
  return gen;
}

volatile sig_atomic_t gSignalQuit = 0;
struct sigaction gOldInt, gOldTerm;

void OnQuitSignal(int sig) {
  gSignalQuit = 1;
  signal(sig, SIG_DFL);  // a second Ctrl+C ends a game that does not respond
}

Uint32 TimerCallback(Uint32 interval, void* param) {
  uintptr_t p = reinterpret_cast<uintptr_t>(param);
  int slot = static_cast<int>(p & 0xff);
  uint32_t gen = static_cast<uint32_t>(p >> 8);
  TimerSlot& t = gTimers[slot];
  if (t.generation.load() != gen) return 0;  // stopped or restarted meanwhile
  uint32_t none = 0;
  if (t.pendingGen.compare_exchange_strong(none, gen)) {
    SDL_Event ev{};
    ev.type = gUserEvent;
    ev.user.code = kTimerCode;
    ev.user.data1 = reinterpret_cast<void*>(static_cast<uintptr_t>(slot));
    ev.user.data2 = reinterpret_cast<void*>(static_cast<uintptr_t>(gen));
    if (SDL_PushEvent(&ev) <= 0) t.pendingGen.store(0);
  }
  return interval;
}

class SdlPlatform : public IPlatform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;

  bool CreateMainWindow(const std::string& caption, int w, int h) override;
  bool SetFullScreen(bool full) override;
  bool IsFullScreen() const override { return fullScreen; }
  WindowPlacement GetPlacement() const override;
  void SetPlacement(const WindowPlacement& p) override;
  void Minimize() override {
    if (window) SDL_MinimizeWindow(window);
  }
  void Restore() override {
    if (window) SDL_RestoreWindow(window);
  }
  bool IsMinimized() const override {
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
  }
  void RequestClose() override;
  void ShowSystemCursor(bool show) override;
  void SetBusyCursor(bool busy) override;
  bool Present(const uint32_t* pixels, int width, int height, int pitch) override;
  int RefreshRate() const override;
  bool DesktopArea(int& w, int& h) const override;
  bool WindowedClientSize(int& w, int& h) const override;
  void SetWindowedClientSize(int w, int h) override;

  bool PollEvent(Event& e) override;
  bool WaitEvent(Event& e, int timeoutMs) override;
  void PostEvent(const Event& e) override;
  void SetTimer(int id, int intervalMs, bool enabled) override;

  uint32_t Ticks() override { return SDL_GetTicks(); }
  double TimeOfDay() override;
  std::string LongTimeString() override;
  void Randomize() override;
  int Random(int n) override { return rng.Below(n); }
  void Sleep(int ms) override {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
  }

  void ReportError(const std::string& text) override;
  bool OpenURL(const std::string& url) override;
  std::string ProgramDir() override;
  std::string ConfigDir() override;

 private:
  void Translate(const SDL_Event& ev);
  void Emit(const Event& e) { events.Emit(e); }
  // A pointer event at window point (x, y), with the keys and buttons held.
  void EmitPointer(EventKind kind, TMouseButton button, int x, int y);
  void SetActive(bool on);
  TShiftState MouseShift() const { return static_cast<TShiftState>(ShiftFromSdlMod(SDL_GetModState()) | held); }
  // Where the picture goes in the window's drawing area, as Present draws it.
  PictureBox Box() const;
  // A pointer position in window coordinates mapped onto the game's pixels, kept inside the
  // frame (points on the bars around a scaled picture go to its nearest edge).
  TPoint InFrame(int x, int y) const;
  // Keeps the size the window has in window mode, for the next start.
  void NoteWindowedSize();
  void ReapChildren();
  // The last picture presented, to leave out one that would show nothing new.
  bool SameAsShown(const uint32_t* pixels, int width, int height, int pitch) const;
  void KeepShown(const uint32_t* pixels, int width, int height, int pitch);

  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int texW = 0, texH = 0;
  int windowedW = kPictureWidth, windowedH = kPictureHeight;  // client size in window mode
  ScaleFilter filter = ScaleFilter::Linear;  // the texture's scale mode in force
  SDL_Cursor* arrowCursor = nullptr;
  SDL_Cursor* waitCursor = nullptr;
  bool fullScreen = false;
  bool systemCursor = true;
  bool busy = false;
  bool active = false;
  TShiftState held = 0;  // mouse buttons down
  TPoint lastMouse{400, 300};
  float wheelAcc = 0;
  std::vector<uint32_t> shown;  // the picture on screen, row after row
  PictureBox shownBox;
  bool shownStale = true;       // the window's contents may differ from it
  EventQueue events{&gSignalQuit};
  BoxFocusGate boxFocus;  // focus notices caused by our own error box
  std::vector<pid_t> children;
  RandomSource rng;
};

SdlPlatform::SdlPlatform() {
  // We turn signals into a Quit ourselves, and the one window's close button into one Quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
    std::fprintf(stderr, "Tangrel 2.0: SDL: %s\n", SDL_GetError());
  gUserEvent = SDL_RegisterEvents(1);
  std::setlocale(LC_TIME, "");
  struct sigaction sa{};
  sa.sa_handler = OnQuitSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, &gOldInt);
  sigaction(SIGTERM, &sa, &gOldTerm);
  gSignalQuit = 0;
}

SdlPlatform::~SdlPlatform() {
  for (TimerSlot& t : gTimers) {
    if (t.used) SDL_RemoveTimer(t.sdl);
    t.used = false;
    NextGeneration(t);
  }
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  if (arrowCursor) SDL_FreeCursor(arrowCursor);
  if (waitCursor) SDL_FreeCursor(waitCursor);
  ReapChildren();
  sigaction(SIGINT, &gOldInt, nullptr);
  sigaction(SIGTERM, &gOldTerm, nullptr);
  SDL_Quit();  // joins the timer thread before the slots could be touched again
}

// --- window --------------------------------------------------------------------

bool SdlPlatform::CreateMainWindow(const std::string& caption, int w, int h) {
  if (window) return true;
  std::string reason;
  if (!OpenSdlDisplay(reason)) {
    std::fprintf(stderr, "Tangrel 2.0: cannot open the display: %s\n", reason.c_str());
    return false;
  }
  // Hidden until the renderer is in place: making one may re-create the window, and its
  // show and hide notices must not reach the game as activations.
  // The player may resize the window; the picture scales to fit it (Present).
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags);
  if (!window) {
    std::fprintf(stderr, "Tangrel 2.0: cannot open the window: %s\n", SDL_GetError());
    return false;
  }
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer) {
    // No logical size: we place and scale the picture ourselves, and map the pointer back.
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    texW = w;
    texH = h;
    if (texture) SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    filter = ScaleFilter::Linear;
  }
  if (!renderer || !texture) {
    std::fprintf(stderr, "Tangrel 2.0: cannot draw into the window: %s\n", SDL_GetError());
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    return false;
  }
  SDL_SetWindowMinimumSize(window, kMinWindowWidth, kMinWindowHeight);
  windowedW = w;
  windowedH = h;
  SDL_PumpEvents();
  SDL_FlushEvent(SDL_WINDOWEVENT);
  SDL_ShowWindow(window);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderPresent(renderer);
  ShowSystemCursor(systemCursor);
  return true;
}

bool SdlPlatform::SetFullScreen(bool full) {
  if (!window) {  // takes effect when the window opens
    fullScreen = full;
    return true;
  }
  if (SDL_SetWindowFullscreen(window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    std::fprintf(stderr, "Tangrel 2.0: cannot switch the screen mode: %s\n", SDL_GetError());
    return false;
  }
  fullScreen = full;
  shownStale = true;
  if (!full) SDL_SetWindowBordered(window, SDL_TRUE);
  return true;
}

WindowPlacement SdlPlatform::GetPlacement() const {
  WindowPlacement p;
  if (!window) return p;
  p.Valid = true;
  SDL_GetWindowPosition(window, &p.X, &p.Y);
  SDL_GetWindowSize(window, &p.W, &p.H);
  p.Maximized = (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0;
  return p;
}

void SdlPlatform::SetPlacement(const WindowPlacement& p) {
  if (!window || !p.Valid || fullScreen) return;
  Uint32 flags = SDL_GetWindowFlags(window);
  if ((flags & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) && !p.Maximized) SDL_RestoreWindow(window);
  if (p.W > 0 && p.H > 0) SDL_SetWindowSize(window, p.W, p.H);
  SDL_SetWindowPosition(window, p.X, p.Y);
  if (p.Maximized) SDL_MaximizeWindow(window);
}

bool SdlPlatform::DesktopArea(int& w, int& h) const {
  w = h = 0;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
  if (display < 0) display = 0;
  SDL_Rect r{};
  if (SDL_GetDisplayUsableBounds(display, &r) != 0 || r.w <= 0 || r.h <= 0) return false;
  w = r.w;
  h = r.h;
  return true;
}

bool SdlPlatform::WindowedClientSize(int& w, int& h) const {
  w = windowedW;
  h = windowedH;
  return window != nullptr;
}

void SdlPlatform::SetWindowedClientSize(int w, int h) {
  if (!window || w <= 0 || h <= 0) return;
  windowedW = w;
  windowedH = h;
  // While full screen the size is only noted; start-up applies it before the first switch.
  if (fullScreen) return;
  SDL_SetWindowSize(window, w, h);
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

void SdlPlatform::NoteWindowedSize() {
  if (!window) return;
  // A maximised window's size is the desktop's, not a size the player chose.
  if (SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED))
    return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  if (w > 0 && h > 0) {
    windowedW = w;
    windowedH = h;
  }
}

PictureBox SdlPlatform::Box() const {
  int ow = 0, oh = 0;
  if (!renderer || SDL_GetRendererOutputSize(renderer, &ow, &oh) != 0) return FitPicture(0, 0);
  return FitPicture(ow, oh);
}

TPoint SdlPlatform::InFrame(int x, int y) const {
  // Window coordinates to drawing-area pixels: the same on most desktops, doubled on some
  // high-density ones.
  int ww = 0, wh = 0, ow = 0, oh = 0;
  if (window) SDL_GetWindowSize(window, &ww, &wh);
  if (renderer) SDL_GetRendererOutputSize(renderer, &ow, &oh);
  if (ww > 0 && wh > 0 && ow > 0 && oh > 0 && (ww != ow || wh != oh)) {
    x = static_cast<int>(int64_t(x) * ow / ww);
    y = static_cast<int>(int64_t(y) * oh / wh);
  }
  TPoint p = OutputToPicture(Box(), x, y);
  // The frame the game draws is the texture's (800 x 600 until it exists).
  return {std::clamp(p.X, 0, texW > 0 ? texW - 1 : kPictureWidth - 1),
          std::clamp(p.Y, 0, texH > 0 ? texH - 1 : kPictureHeight - 1)};
}

void SdlPlatform::RequestClose() {
  SDL_Event ev{};
  ev.type = SDL_QUIT;
  SDL_PushEvent(&ev);
}

void SdlPlatform::ShowSystemCursor(bool show) {
  systemCursor = show;
  if (!window) return;  // applied when the window opens
  // The busy pointer shows even over a window that hides the system pointer.
  SDL_ShowCursor(show || busy ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::SetBusyCursor(bool on) {
  busy = on;
  if (!window) return;
  if (!arrowCursor) arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (!waitCursor) waitCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
  SDL_Cursor* c = on ? waitCursor : arrowCursor;
  if (c) SDL_SetCursor(c);
  ShowSystemCursor(systemCursor);
}

bool SdlPlatform::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (!renderer || !texture || !pixels || width != texW || height != texH || pitch < width) return false;
  const PictureBox box = Box();
  // A picture the same as the one on screen, in the same place, is not sent again: an idle
  // screen then costs its drawing only, not the upload and the scaling. Whatever may have
  // spoilt the window's contents (exposed, resized, shown, a mode switch) lets the next one
  // through.
  if (!shownStale && box == shownBox && SameAsShown(pixels, width, height, pitch)) return true;
  if (SDL_UpdateTexture(texture, nullptr, pixels, pitch * 4) != 0) return false;
  if (box.Filter != filter) {
    SDL_SetTextureScaleMode(texture, box.Filter == ScaleFilter::Nearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    filter = box.Filter;
  }
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);  // the bars around a letterboxed picture
  const SDL_Rect dst{box.X, box.Y, box.W, box.H};
  SDL_RenderCopy(renderer, texture, nullptr, &dst);
  SDL_RenderPresent(renderer);
  KeepShown(pixels, width, height, pitch);
  shownBox = box;
  shownStale = false;
  return true;
}

bool SdlPlatform::SameAsShown(const uint32_t* pixels, int width, int height, int pitch) const {
  if (shown.size() != static_cast<size_t>(width) * height) return false;
  for (int y = 0; y < height; ++y)
    if (std::memcmp(shown.data() + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(width) * 4) != 0)
      return false;
  return true;
}

void SdlPlatform::KeepShown(const uint32_t* pixels, int width, int height, int pitch) {
  shown.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    std::memcpy(shown.data() + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y) * pitch,
                static_cast<size_t>(width) * 4);
}

int SdlPlatform::RefreshRate() const {
  // The mode of the display the window is on (full screen: the mode it uses).
  SDL_DisplayMode mode{};
  if (window && SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  const int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
  if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetCurrentDisplayMode(display, &mode) == 0) return mode.refresh_rate;
  return 0;
}

// --- events --------------------------------------------------------------------

void SdlPlatform::SetActive(bool on) {
  if (active == on) return;  // focus and restore often come together: one notice is enough
  active = on;
  Emit({on ? EventKind::Activate : EventKind::Deactivate});
}

void SdlPlatform::EmitPointer(EventKind kind, TMouseButton button, int x, int y) {
  lastMouse = InFrame(x, y);
  Event e;
  e.Kind = kind;
  e.Button = button;
  e.X = lastMouse.X;
  e.Y = lastMouse.Y;
  e.Shift = MouseShift();
  Emit(e);
}

void SdlPlatform::Translate(const SDL_Event& ev) {
  Event e;
  switch (ev.type) {
    case SDL_QUIT:
      Emit({EventKind::Quit});
      return;
    case SDL_WINDOWEVENT:
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          // Our own error box takes the focus and gives it back: no loss of activity.
          if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) shownStale = true;
          if (!boxFocus.Pass(SDL_GetTicks())) break;
          if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            SetActive(false);
          else if (!IsMinimized())
            SetActive(true);
          break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
          shownStale = true;
          if (!IsMinimized()) SetActive(true);
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          shownStale = true;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          shownStale = true;
          NoteWindowedSize();
          break;
        case SDL_WINDOWEVENT_HIDDEN:
        case SDL_WINDOWEVENT_MINIMIZED:
          SetActive(false);
          break;
        default:
          break;
      }
      return;
    case SDL_KEYDOWN:
      e.Kind = EventKind::KeyDown;
      e.Key = VirtualKeyFromSdl(ev.key.keysym.sym, ev.key.keysym.scancode);
      e.Shift = ShiftFromSdlMod(ev.key.keysym.mod);
      Emit(e);  // every key counts, those without a code of their own too
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      TMouseButton button;
      TShiftState bit;
      switch (ev.button.button) {
        case SDL_BUTTON_LEFT: button = TMouseButton::mbLeft; bit = ssLeft; break;
        case SDL_BUTTON_RIGHT: button = TMouseButton::mbRight; bit = ssRight; break;
        case SDL_BUTTON_MIDDLE: button = TMouseButton::mbMiddle; bit = ssMiddle; break;
        default: return;
      }
      bool down = ev.type == SDL_MOUSEBUTTONDOWN;
      held = static_cast<TShiftState>(down ? held | bit : held & ~bit);
      EmitPointer(down ? EventKind::MouseDown : EventKind::MouseUp, button, ev.button.x, ev.button.y);
      return;
    }
    case SDL_MOUSEMOTION: {
      Uint32 s = ev.motion.state;
      held = static_cast<TShiftState>((s & SDL_BUTTON_LMASK ? ssLeft : 0) | (s & SDL_BUTTON_RMASK ? ssRight : 0) |
                                      (s & SDL_BUTTON_MMASK ? ssMiddle : 0));
      EmitPointer(EventKind::MouseMove, TMouseButton::mbLeft, ev.motion.x, ev.motion.y);
      return;
    }
    case SDL_MOUSEWHEEL: {
      // Whole notches; smooth wheels and touchpads add up until they make one.
      float y = ev.wheel.preciseY;
      if (y == 0) y = static_cast<float>(ev.wheel.y);
      if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
      wheelAcc = std::clamp(wheelAcc + y, -64.0f, 64.0f);
      e.X = lastMouse.X;
      e.Y = lastMouse.Y;
      e.Shift = MouseShift();
      events.EmitNotches(e, wheelAcc, 1.0f);
      return;
    }
    default:
      break;
  }
  if (ev.type == gUserEvent && gUserEvent != 0) {
    if (ev.user.code == kPostedCode) {
      events.WakeUp();
    } else if (ev.user.code == kTimerCode) {
      uintptr_t slot = reinterpret_cast<uintptr_t>(ev.user.data1);
      uint32_t gen = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(ev.user.data2));
      if (slot >= kMaxTimers) return;
      TimerSlot& t = gTimers[slot];
      uint32_t expect = gen;
      t.pendingGen.compare_exchange_strong(expect, 0);
      // A tick of a timer stopped in the meantime is dropped, as a killed timer's would be.
      if (t.used && t.generation.load() == gen) Emit({EventKind::Timer, 0, 0, TMouseButton::mbLeft, 0, 0, t.id});
    }
  }
}

bool SdlPlatform::PollEvent(Event& e) {
  if (!children.empty()) ReapChildren();
  // After our error box: where the focus really is now, told only if it changed.
  if (window && boxFocus.Settle(SDL_GetTicks()))
    SetActive((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0 && !IsMinimized());
  SDL_Event ev;
  return events.Poll(e, [&] {
    if (!SDL_PollEvent(&ev)) return false;
    Translate(ev);
    return true;
  });
}

bool SdlPlatform::WaitEvent(Event& e, int timeoutMs) {
  return WaitForEvent(
      e, timeoutMs, [this](Event& out) { return PollEvent(out); }, [] { return SDL_GetTicks(); },
      [this](int left) {
        // Signals cannot wake SDL, so look at them now and then.
        SDL_Event ev;
        if (SDL_WaitEventTimeout(&ev, left < 0 ? 50 : std::min(50, left))) Translate(ev);
      });
}

void SdlPlatform::PostEvent(const Event& e) {
  events.Post(e);
  SDL_Event ev{};
  ev.type = gUserEvent;
  ev.user.code = kPostedCode;
  SDL_PushEvent(&ev);  // if this fails the event still waits in the queue
}

void SdlPlatform::SetTimer(int id, int intervalMs, bool enabled) {
  int slot = -1, freeSlot = -1;
  for (int i = 0; i < kMaxTimers; ++i) {
    if (gTimers[i].used && gTimers[i].id == id) slot = i;
    if (!gTimers[i].used && freeSlot < 0) freeSlot = i;
  }
  if (slot >= 0) {  // stop what runs; a restart gets a new generation
    SDL_RemoveTimer(gTimers[slot].sdl);
    gTimers[slot].used = false;
    NextGeneration(gTimers[slot]);
    freeSlot = slot;
  }
  if (!enabled) return;
  if (freeSlot < 0) {
    std::fprintf(stderr, "Tangrel 2.0: too many timers\n");
    return;
  }
  TimerSlot& t = gTimers[freeSlot];
  uint32_t gen = NextGeneration(t);
  t.id = id;
  uintptr_t param = static_cast<uintptr_t>(freeSlot) | static_cast<uintptr_t>(gen) << 8;
  t.sdl = SDL_AddTimer(static_cast<Uint32>(std::max(1, intervalMs)), TimerCallback, reinterpret_cast<void*>(param));
  t.used = t.sdl != 0;
  if (!t.used) std::fprintf(stderr, "Tangrel 2.0: cannot start a timer: %s\n", SDL_GetError());
}

// --- clocks and randomness -------------------------------------------------------

double SdlPlatform::TimeOfDay() {
  struct timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  time_t secs = ts.tv_sec;
  struct tm lt{};
  localtime_r(&secs, &lt);
  return DayFraction(lt.tm_hour, lt.tm_min, lt.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

std::string SdlPlatform::LongTimeString() {
  time_t now = time(nullptr);
  struct tm lt{};
  localtime_r(&now, &lt);
  char buf[128];
  size_t n = strftime(buf, sizeof buf, "%X", &lt);
  if (n == 0) n = static_cast<size_t>(std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", lt.tm_hour, lt.tm_min, lt.tm_sec));
  return std::string(buf, n);
}

void SdlPlatform::Randomize() {
  auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  rng.Seed({static_cast<uint32_t>(now), static_cast<uint32_t>(static_cast<uint64_t>(now) >> 32),
            static_cast<uint32_t>(getpid())});
}

// --- the rest ------------------------------------------------------------------------

void SdlPlatform::ReportError(const std::string& text) {
  LogError(text);  // the line on standard error, then the box
  if (window && !std::getenv("TANGREL_NO_DIALOGS")) {
    boxFocus.BoxOpened();
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Tangrel 2.0", text.c_str(), window);
    boxFocus.BoxClosed(SDL_GetTicks());
  }
}

bool SdlPlatform::OpenURL(const std::string& url) {
  ReapChildren();
  std::string prog = "xdg-open";
  char* argv[] = {prog.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  children.push_back(pid);
  return true;
}

void SdlPlatform::ReapChildren() {
  for (size_t i = 0; i < children.size();) {
    pid_t r = waitpid(children[i], nullptr, WNOHANG);
    if (r == children[i] || (r < 0 && errno != EINTR)) {
      children[i] = children.back();
      children.pop_back();
    } else {
      ++i;
    }
  }
}

std::string SdlPlatform::ProgramDir() {
  std::vector<char> buf(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string p(buf.data(), static_cast<size_t>(n));
  size_t slash = p.find_last_of('/');
  return slash == std::string::npos ? "./" : p.substr(0, slash + 1);
}

std::string SdlPlatform::ConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/tangrel/";  // relative ones are ignored
  const char* home = std::getenv("HOME");
  std::string h = home && home[0] ? home : "";
  if (h.empty()) {
    struct passwd pw{}, *found = nullptr;
    std::vector<char> buf(16384);
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
      h = found->pw_dir;
  }
  if (h.empty()) return "./";
  return h + "/.config/tangrel/";
}

// The drivers SDL has that show nothing to anyone.
bool DrawsNowhere(const char* driver) {
  return SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0 ||
         SDL_strcasecmp(driver, "evdev") == 0;
}

}  // namespace

IPlatform* CreateSdlPlatform() { return new SdlPlatform(); }

bool OpenSdlDisplay(std::string& reason) {
  reason.clear();
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  // Asked for by name (the tests' dummy driver), SDL takes what it is given. Otherwise SDL,
  // finding no display, would fall back on drawing off screen: the game would run unseen.
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (!asked || !asked[0]) {
    std::string real;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
      const char* name = SDL_GetVideoDriver(i);
      if (!name || DrawsNowhere(name)) continue;
      // Wayland needs its runtime folder or an absolute socket path; without either it can
      // only fail, after a complaint of its own on standard error.
      const char* socket = SDL_getenv("WAYLAND_DISPLAY");
      if (SDL_strcasecmp(name, "wayland") == 0 && !SDL_getenv("XDG_RUNTIME_DIR") && !(socket && socket[0] == '/'))
        continue;
      if (!real.empty()) real += ',';
      real += name;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, real.c_str());
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  reason = SDL_GetError();
  if (reason.empty()) reason = "no video device";
  if ((!asked || !asked[0]) && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
    reason += " (DISPLAY is not set)";
  return false;
}

std::string WrapLines(const std::string& text, size_t width) {
  std::string out, line, word;
  const auto endWord = [&] {
    if (word.empty()) return;
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      out += line + '\n';
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\n') {
      endWord();
      if (c == '\n') {
        out += line + '\n';
        line.clear();
      }
    } else {
      word += c;
    }
  }
  endWord();
  return out + line;
}

void ShowSdlNotice(const std::string& text) {
  std::fprintf(stderr, "Tangrel 2.0: %s\n", text.c_str());
  std::fflush(stderr);
  if (std::getenv("TANGREL_NO_DIALOGS") || !SDL_WasInit(SDL_INIT_VIDEO)) return;
  // The box does not wrap its text: lines of a width that reads well.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "Tangrel 2.0", WrapLines(text, 64).c_str(), nullptr);
}

}  // namespace plat
