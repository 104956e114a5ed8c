// The platform on Win32: the main window and its two looks (captioned window, borderless
// full screen on its monitor), presentation, the message loop's events, timers, clocks and
// the rest. Everything runs on the thread that made the window; PostEvent may come from any.
#include "platform/win32/platform_win32.h"
#include "platform/clocks.h"
#include "platform/event_queue.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>
#include <mmsystem.h>
// winuser.h names IsIconic also IsMinimized, which is our own method.
#undef IsMinimized

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace plat {

Letterbox FitPicture(int clientW, int clientH, int picW, int picH) {
  Letterbox b;
  if (clientW <= 0 || clientH <= 0 || picW <= 0 || picH <= 0) return b;
  b.Scale = std::min(static_cast<double>(clientW) / picW, static_cast<double>(clientH) / picH);
  b.W = std::max(1, static_cast<int>(std::lround(picW * b.Scale)));
  b.H = std::max(1, static_cast<int>(std::lround(picH * b.Scale)));
  b.X = (clientW - b.W) / 2;
  b.Y = (clientH - b.H) / 2;
  return b;
}

TPoint ClientToPicture(const Letterbox& box, int x, int y, int picW, int picH) {
  const double s = box.Scale > 0 ? box.Scale : 1;
  const int px = static_cast<int>(std::floor((x - box.X) / s));
  const int py = static_cast<int>(std::floor((y - box.Y) / s));
  return {std::clamp(px, 0, picW - 1), std::clamp(py, 0, picH - 1)};
}

namespace {

constexpr const wchar_t* kWindowClass = L"Tangrel20MainWindow";
// The icon in the program's resources (the .rc file of the build).
constexpr int kIconResource = 1;
constexpr UINT kWakeMessage = WM_APP + 1;  // a posted event waits
// A window with a caption and a fixed single border, without a system menu or buttons.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kFullStyle = WS_POPUP | WS_CLIPCHILDREN;

class Win32Platform : public IPlatform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  bool CreateMainWindow(const std::string& caption, int w, int h) override;
  bool SetFullScreen(bool full) override;
  bool IsFullScreen() const override { return fullScreen; }
  WindowPlacement GetPlacement() const override;
  void SetPlacement(const WindowPlacement& p) override;
  void Minimize() override {
    if (hwnd) ShowWindow(hwnd, SW_MINIMIZE);
  }
  void Restore() override {
    if (hwnd) ShowWindow(hwnd, SW_RESTORE);
  }
  bool IsMinimized() const override { return hwnd && IsIconic(hwnd); }
  void RequestClose() override {
    if (hwnd) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    else Emit({EventKind::Quit});
  }
  void ShowSystemCursor(bool show) override;
  void SetBusyCursor(bool busy) override;
  bool Present(const uint32_t* pixels, int width, int height, int pitch) override;
  int RefreshRate() const override {
    // The display the window's device context draws on; 0 and 1 mean "the hardware's default".
    HDC dc = hwnd ? GetDC(hwnd) : nullptr;
    const int hz = dc ? GetDeviceCaps(dc, VREFRESH) : 0;
    if (dc) ReleaseDC(hwnd, dc);
    return hz > 1 ? hz : 0;
  }

  bool PollEvent(Event& e) override;
  bool WaitEvent(Event& e, int timeoutMs) override;
  void PostEvent(const Event& e) override;
  void SetTimer(int id, int intervalMs, bool enabled) override;

  uint32_t Ticks() override;
  double TimeOfDay() override;
  std::string LongTimeString() override;
  void Randomize() override;
  int Random(int n) override { return rng.Below(n); }
  void Sleep(int ms) override {
    if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
  }

  void ReportError(const std::string& text) override;
  bool OpenURL(const std::string& url) override;
  std::string ProgramDir() override;
  std::string ConfigDir() override;
  std::unique_ptr<IRegistry> OpenUserRegistry() override { return CreateWin32Registry(); }

  HWND Window() const { return hwnd; }

 private:
  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Emit(const Event& e) { events.Emit(e); }
  void SetActive(bool on);
  void Mouse(EventKind kind, TMouseButton button, WPARAM wp, LPARAM lp);
  TShiftState KeyShift() const;
  TShiftState MouseShift(WPARAM wp) const;
  void PaintLast(HDC dc);
  void ApplyCursor();
  void CentreWindow(int clientW, int clientH);
  void OuterRect(RECT& client) const;

  HWND hwnd = nullptr;
  int clientW = 800, clientH = 600;
  bool fullScreen = false;
  bool systemCursor = true;
  bool busy = false;
  bool active = false;
  int wheelAcc = 0;
  TPoint lastMouse{400, 300};
  // The millisecond clock: GetTickCount moves in steps of about 16 ms, which would make
  // fast frames count one millisecond each and run the animations fast.
  LARGE_INTEGER clockStart{}, clockRate{};
  // The compositor's wait for the next refresh, where the system has one (full screen).
  HRESULT(WINAPI* dwmFlush)() = nullptr;
  // The per-monitor DPI calls of Windows 10, where the system has them.
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  using DpiForWindow = UINT(WINAPI*)(HWND);
  AdjustForDpi adjustForDpi = nullptr;
  DpiForWindow dpiForWindow = nullptr;
  std::vector<uint32_t> last;  // the last frame shown, for WM_PAINT
  int lastW = 0, lastH = 0;
  EventQueue events;
  std::vector<int> timers;   // ids running
  RandomSource rng;
};

Win32Platform* gSelf = nullptr;

Win32Platform::Win32Platform() {
  gSelf = this;
  QueryPerformanceFrequency(&clockRate);
  QueryPerformanceCounter(&clockStart);
  if (HMODULE dwm = LoadLibraryW(L"dwmapi.dll"))
    dwmFlush = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmFlush")));
  // Our picture is 800 x 600 whatever the display's scaling: we scale it ourselves. The
  // program's manifest asks for per-monitor awareness; without it (an older system, or a
  // program built without the manifest) the process is at least aware of the system's DPI.
  if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
    using SetAware = BOOL(WINAPI*)();
    if (auto f = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")))) f();
    adjustForDpi = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(GetProcAddress(user, "AdjustWindowRectExForDpi")));
    dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
  }
}

Win32Platform::~Win32Platform() {
  for (int id : timers)
    if (hwnd) KillTimer(hwnd, static_cast<UINT_PTR>(id));
  if (hwnd) DestroyWindow(hwnd);
  hwnd = nullptr;
  if (gSelf == this) gSelf = nullptr;
}

// --- window ------------------------------------------------------------------------------

void Win32Platform::OuterRect(RECT& r) const {
  // Per monitor the caption and border grow with the monitor's scaling; the client area
  // stays the picture's size.
  const UINT dpi = hwnd && dpiForWindow ? dpiForWindow(hwnd) : 0;
  if (dpi && adjustForDpi && adjustForDpi(&r, kWindowStyle, FALSE, 0, dpi)) return;
  AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
}

void Win32Platform::CentreWindow(int w, int h) {
  RECT r{0, 0, w, h};
  OuterRect(r);
  const int ww = r.right - r.left, wh = r.bottom - r.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (hwnd) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
  }
  const int x = work.left + std::max(0L, (work.right - work.left - ww) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - wh) / 2);
  SetWindowPos(hwnd, nullptr, x, y, ww, wh, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool Win32Platform::CreateMainWindow(const std::string& caption, int w, int h) {
  if (hwnd) return true;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &Win32Platform::WndProc;
  wc.hInstance = inst;
  // Our own icon at the two sizes the system asks for (taskbar and Alt+Tab, caption); the
  // system's program icon where the resource is missing.
  wc.hIcon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  wc.hCursor = nullptr;  // we choose the pointer in WM_SETCURSOR
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    std::fprintf(stderr, "Tangrel 2.0: cannot register the window class (error %lu)\n", GetLastError());
    return false;
  }
  clientW = w;
  clientH = h;
  RECT r{0, 0, w, h};
  OuterRect(r);
  hwnd = CreateWindowExW(0, kWindowClass, Utf8ToWide(caption).c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, inst, this);
  if (!hwnd) {
    std::fprintf(stderr, "Tangrel 2.0: cannot open the window (error %lu)\n", GetLastError());
    return false;
  }
  CentreWindow(w, h);
  bool full = fullScreen;
  fullScreen = false;
  if (full) SetFullScreen(true);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  return true;
}

bool Win32Platform::SetFullScreen(bool full) {
  if (!hwnd) {  // takes effect when the window opens
    fullScreen = full;
    return true;
  }
  if (full == fullScreen) return true;
  if (full) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) {
      std::fprintf(stderr, "Tangrel 2.0: cannot find the window's monitor\n");
      return false;
    }
    const RECT& m = mi.rcMonitor;
    SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(kFullStyle | (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE)));
    SetWindowPos(hwnd, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  } else {
    SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(kWindowStyle | (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE)));
    CentreWindow(800, 600);
  }
  fullScreen = full;
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

WindowPlacement Win32Platform::GetPlacement() const {
  WindowPlacement p;
  if (!hwnd) return p;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(hwnd, &wp)) return p;
  p.Valid = true;
  p.X = wp.rcNormalPosition.left;
  p.Y = wp.rcNormalPosition.top;
  p.W = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
  p.H = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
  p.Maximized = wp.showCmd == SW_SHOWMAXIMIZED;
  return p;
}

void Win32Platform::SetPlacement(const WindowPlacement& p) {
  if (!hwnd || !p.Valid || fullScreen) return;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(hwnd, &wp)) return;
  // The outer size of an 800 x 600 client area in the window look, wherever it stood.
  RECT r{0, 0, 800, 600};
  OuterRect(r);
  wp.rcNormalPosition = {p.X, p.Y, p.X + (r.right - r.left), p.Y + (r.bottom - r.top)};
  wp.showCmd = p.Maximized ? SW_SHOWMAXIMIZED : (IsIconic(hwnd) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  wp.flags = 0;
  SetWindowPlacement(hwnd, &wp);
}

void Win32Platform::ApplyCursor() {
  if (busy) SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
  else if (systemCursor) SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
  else SetCursor(nullptr);
}

void Win32Platform::ShowSystemCursor(bool show) {
  systemCursor = show;
  if (!hwnd) return;
  POINT pt;
  RECT rc;
  if (GetCursorPos(&pt) && ScreenToClient(hwnd, &pt) && GetClientRect(hwnd, &rc) && PtInRect(&rc, pt)) ApplyCursor();
}

void Win32Platform::SetBusyCursor(bool on) {
  busy = on;
  ShowSystemCursor(systemCursor);
}

bool Win32Platform::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (!hwnd || !pixels || width <= 0 || height <= 0 || pitch < width) return false;
  last.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    std::copy(pixels + static_cast<size_t>(y) * pitch, pixels + static_cast<size_t>(y) * pitch + width,
              last.begin() + static_cast<ptrdiff_t>(y) * width);
  lastW = width;
  lastH = height;
  HDC dc = GetDC(hwnd);
  if (!dc) return false;
  PaintLast(dc);
  ReleaseDC(hwnd, dc);
  // In full screen a frame waits for the display, as a page flip does; a window does not.
  if (fullScreen && dwmFlush) dwmFlush();
  return true;
}

void Win32Platform::PaintLast(HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const int cw = rc.right - rc.left, ch = rc.bottom - rc.top;
  if (last.empty() || cw <= 0 || ch <= 0) {
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return;
  }
  const Letterbox box = FitPicture(cw, ch, lastW, lastH);
  // The bars around a letterboxed picture.
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT bars[4] = {{0, 0, cw, box.Y}, {0, box.Y + box.H, cw, ch}, {0, box.Y, box.X, box.Y + box.H},
                  {box.X + box.W, box.Y, cw, box.Y + box.H}};
  for (const RECT& b : bars)
    if (b.right > b.left && b.bottom > b.top) FillRect(dc, &b, black);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = lastW;
  bi.bmiHeader.biHeight = -lastH;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;  // 0x00RRGGBB is a 32-bit DIB's own order
  bi.bmiHeader.biCompression = BI_RGB;
  if (box.W == lastW && box.H == lastH) {
    SetDIBitsToDevice(dc, box.X, box.Y, static_cast<DWORD>(lastW), static_cast<DWORD>(lastH), 0, 0, 0,
                      static_cast<UINT>(lastH), last.data(), &bi, DIB_RGB_COLORS);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, box.X, box.Y, box.W, box.H, 0, 0, lastW, lastH, last.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
  }
}

// --- events ------------------------------------------------------------------------------

void Win32Platform::SetActive(bool on) {
  if (active == on) return;  // activation and restore often come together: one notice is enough
  active = on;
  Emit({on ? EventKind::Activate : EventKind::Deactivate});
}

TShiftState Win32Platform::KeyShift() const {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) & 0x8000) s |= ssShift;
  if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) & 0x8000) s |= ssCtrl;
  return s;
}

TShiftState Win32Platform::MouseShift(WPARAM wp) const {
  TShiftState s = 0;
  if (wp & MK_SHIFT) s |= ssShift;
  if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
  if (wp & MK_CONTROL) s |= ssCtrl;
  if (wp & MK_LBUTTON) s |= ssLeft;
  if (wp & MK_RBUTTON) s |= ssRight;
  if (wp & MK_MBUTTON) s |= ssMiddle;
  return s;
}

void Win32Platform::Mouse(EventKind kind, TMouseButton button, WPARAM wp, LPARAM lp) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const Letterbox box = FitPicture(rc.right - rc.left, rc.bottom - rc.top, 800, 600);
  lastMouse = ClientToPicture(box, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), 800, 600);
  if (kind == EventKind::MouseDown) SetCapture(hwnd);  // the release comes to us wherever it happens
  if (kind == EventKind::MouseUp && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
  Event e;
  e.Kind = kind;
  e.Button = button;
  e.X = lastMouse.X;
  e.Y = lastMouse.Y;
  e.Shift = MouseShift(wp);
  Emit(e);
}

LRESULT CALLBACK Win32Platform::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Platform* self = gSelf;
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    self = static_cast<Win32Platform*>(cs->lpCreateParams);
    if (self) self->hwnd = h;
  }
  if (!self || (self->hwnd && self->hwnd != h)) return DefWindowProcW(h, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT Win32Platform::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Emit({EventKind::Quit});  // the game closes the window itself
      return 0;
    case WM_ACTIVATEAPP:
      if (wp && !IsIconic(hwnd)) SetActive(true);
      if (!wp) SetActive(false);
      return 0;
    case WM_SIZE:
      if (wp == SIZE_MINIMIZED) SetActive(false);
      else if (GetForegroundWindow() == hwnd) SetActive(true);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every paint covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) PaintLast(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        ApplyCursor();
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // Alt+F4 still closes the window the usual way.
      if (msg == WM_SYSKEYDOWN && wp == VK_F4) break;
      Event e;
      e.Kind = EventKind::KeyDown;
      e.Key = static_cast<uint16_t>(wp);  // the virtual-key codes are the game's own
      e.Shift = KeyShift();
      if (e.Key != 0) Emit(e);
      return 0;
    }
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (wp == VK_F4) break;
      return 0;  // no window menu to open, and no beep for Alt+letter
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
      if ((wp & 0xFFF0) == SC_SCREENSAVE || (wp & 0xFFF0) == SC_MONITORPOWER) {
        if (fullScreen) return 0;
      }
      break;
    case WM_LBUTTONDOWN: Mouse(EventKind::MouseDown, TMouseButton::mbLeft, wp, lp); return 0;
    case WM_RBUTTONDOWN: Mouse(EventKind::MouseDown, TMouseButton::mbRight, wp, lp); return 0;
    case WM_MBUTTONDOWN: Mouse(EventKind::MouseDown, TMouseButton::mbMiddle, wp, lp); return 0;
    case WM_LBUTTONUP: Mouse(EventKind::MouseUp, TMouseButton::mbLeft, wp, lp); return 0;
    case WM_RBUTTONUP: Mouse(EventKind::MouseUp, TMouseButton::mbRight, wp, lp); return 0;
    case WM_MBUTTONUP: Mouse(EventKind::MouseUp, TMouseButton::mbMiddle, wp, lp); return 0;
    case WM_LBUTTONDBLCLK: Mouse(EventKind::MouseDown, TMouseButton::mbLeft, wp, lp); return 0;
    case WM_MOUSEMOVE: Mouse(EventKind::MouseMove, TMouseButton::mbLeft, wp, lp); return 0;
    case WM_CAPTURECHANGED:
      return 0;
    case WM_MOUSEWHEEL: {
      // Whole notches; fine wheels add up until they make one.
      wheelAcc = std::clamp(wheelAcc + GET_WHEEL_DELTA_WPARAM(wp), -64 * WHEEL_DELTA, 64 * WHEEL_DELTA);
      Event e;
      e.X = lastMouse.X;
      e.Y = lastMouse.Y;
      e.Shift = MouseShift(GET_KEYSTATE_WPARAM(wp));
      events.EmitNotches(e, wheelAcc, WHEEL_DELTA);
      return 0;
    }
    case WM_TIMER: {
      const int id = static_cast<int>(wp);
      // A tick of a timer stopped meanwhile is dropped, as a killed timer's is.
      if (std::find(timers.begin(), timers.end(), id) != timers.end())
        Emit({EventKind::Timer, 0, 0, TMouseButton::mbLeft, 0, 0, id});
      return 0;
    }
    case WM_DPICHANGED: {  // moved onto a monitor of another scaling
      // The picture keeps its 800 x 600 pixels: only the frame around it changes, at the
      // place the system suggests; full screen covers the new monitor again.
      if (fullScreen) {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi))
          SetWindowPos(hwnd, nullptr, mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right - mi.rcMonitor.left,
                       mi.rcMonitor.bottom - mi.rcMonitor.top, SWP_NOZORDER | SWP_NOACTIVATE);
      } else if (const RECT* suggested = reinterpret_cast<const RECT*>(lp)) {
        RECT r{0, 0, clientW, clientH};
        OuterRect(r);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case MM_MCINOTIFY:
      Emit({EventKind::MusicNotify});
      return 0;
    case kWakeMessage:
      events.WakeUp();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool Win32Platform::PollEvent(Event& e) {
  MSG m;
  return events.Poll(e, [&] {
    if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) return false;
    if (m.message == WM_QUIT) {
      Emit({EventKind::Quit});
    } else {
      DispatchMessageW(&m);  // keys need no TranslateMessage: the game reads no characters
    }
    return true;
  });
}

bool Win32Platform::WaitEvent(Event& e, int timeoutMs) {
  return WaitForEvent(
      e, timeoutMs, [this](Event& out) { return PollEvent(out); }, [] { return static_cast<uint32_t>(GetTickCount()); },
      [](int left) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 0 ? INFINITE : static_cast<DWORD>(left), QS_ALLINPUT);
      });
}

void Win32Platform::PostEvent(const Event& e) {
  events.Post(e);
  if (hwnd) PostMessageW(hwnd, kWakeMessage, 0, 0);  // if this fails the event still waits
}

void Win32Platform::SetTimer(int id, int intervalMs, bool enabled) {
  auto it = std::find(timers.begin(), timers.end(), id);
  if (it != timers.end()) {
    if (hwnd) KillTimer(hwnd, static_cast<UINT_PTR>(id));
    timers.erase(it);
  }
  if (!enabled) return;
  if (!hwnd || id <= 0) {
    std::fprintf(stderr, "Tangrel 2.0: cannot start a timer without the window\n");
    return;
  }
  if (::SetTimer(hwnd, static_cast<UINT_PTR>(id), std::max<UINT>(USER_TIMER_MINIMUM, static_cast<UINT>(std::max(1, intervalMs))), nullptr))
    timers.push_back(id);
  else
    std::fprintf(stderr, "Tangrel 2.0: cannot start a timer (error %lu)\n", GetLastError());
}

// --- clocks and randomness ------------------------------------------------------------------

uint32_t Win32Platform::Ticks() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  if (clockRate.QuadPart <= 0) return GetTickCount();
  const uint64_t elapsed = static_cast<uint64_t>(now.QuadPart - clockStart.QuadPart);
  // Whole seconds and the rest apart, so that the product cannot overflow.
  const uint64_t rate = static_cast<uint64_t>(clockRate.QuadPart);
  return static_cast<uint32_t>(elapsed / rate * 1000 + elapsed % rate * 1000 / rate);
}

double Win32Platform::TimeOfDay() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return DayFraction(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

std::string Win32Platform::LongTimeString() {
  wchar_t wide[128];
  const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, wide, 128);
  if (n > 1) return WideToUtf8(wide, static_cast<size_t>(n - 1));  // without the terminating zero
  char buf[128];
  SYSTEMTIME st;
  GetLocalTime(&st);
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", st.wHour, st.wMinute, st.wSecond);
  return buf;
}

void Win32Platform::Randomize() {
  LARGE_INTEGER pc{};
  QueryPerformanceCounter(&pc);
  rng.Seed({static_cast<uint32_t>(pc.QuadPart), static_cast<uint32_t>(static_cast<uint64_t>(pc.QuadPart) >> 32),
            static_cast<uint32_t>(GetTickCount()), static_cast<uint32_t>(GetCurrentProcessId())});
}

// --- the rest ----------------------------------------------------------------------------------

void Win32Platform::ReportError(const std::string& text) {
  LogError(text);  // the line on standard error, then the box
  if (std::getenv("TANGREL_NO_DIALOGS")) return;
  // Over a full-screen window the box must come to the front; the pointer must show on it.
  const bool wasBusy = busy, wasShown = systemCursor;
  busy = false;
  systemCursor = true;
  MessageBoxW(hwnd, Utf8ToWide(text).c_str(), L"Tangrel 2.0", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  busy = wasBusy;
  systemCursor = wasShown;
}

bool Win32Platform::OpenURL(const std::string& url) {
  // As the game always did: the desktop as the owner, "open", no parameters, shown hidden
  // (the browser shows itself).
  const auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteW(GetDesktopWindow(), L"open", Utf8ToWide(url).c_str(), nullptr, nullptr, 0));
  return r > 32;
}

std::string Win32Platform::ProgramDir() {
  const std::string dir = Win32ProgramFolder();
  return dir.empty() ? ".\\" : dir;
}

std::string Win32Platform::ConfigDir() {
  const wchar_t* appData = _wgetenv(L"APPDATA");
  if (appData && appData[0]) return WideToUtf8(appData) + "\\Tangrel\\";
  return ProgramDir();
}

}  // namespace

IPlatform* CreateWin32Platform() { return new Win32Platform(); }

void* Win32MainWindow() { return gSelf ? gSelf->Window() : nullptr; }

}  // namespace plat
