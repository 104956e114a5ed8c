// The platform in a web browser: the canvas, the page's events, the clock, the timers.
#include "platform/web/platform_web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <deque>
#include <vector>

#include "platform/clocks.h"
#include "platform/event_queue.h"
#include "platform/scaling.h"
#include "platform/web/keys.h"
#include "platform/web/touch.h"

// --- the page's side -----------------------------------------------------------------------

// The canvas's place and size on the page (CSS pixels) and the device pixel ratio.
EM_JS(void, tw_canvas_geometry, (double* out), {
  var c = document.getElementById("canvas");
  var r = c ? c.getBoundingClientRect() : null;
  var w = r && r.width > 0 ? r.width : window.innerWidth;
  var h = r && r.height > 0 ? r.height : window.innerHeight;
  HEAPF64[(out >> 3) + 0] = r ? r.left : 0;
  HEAPF64[(out >> 3) + 1] = r ? r.top : 0;
  HEAPF64[(out >> 3) + 2] = w;
  HEAPF64[(out >> 3) + 3] = h;
  HEAPF64[(out >> 3) + 4] = window.devicePixelRatio || 1;
});

// One finished RGBA frame (opaque) to the canvas: at 1x straight onto it, scaled through an
// 800 x 600 canvas of its own, sharp or smoothed; black bars around the picture.
EM_JS(int, tw_present, (const uint8_t* rgba, int w, int h, int outW, int outH, int bx, int by, int bw, int bh, int smooth), {
  var c = document.getElementById("canvas");
  if (!c) return 0;
  var s = Module.twPresent;
  if (!s || s.canvas !== c) {
    var ctx = c.getContext("2d", { alpha: false });
    if (!ctx) return 0;
    s = Module.twPresent = { canvas: c, ctx: ctx, image: null, off: null, offCtx: null };
  }
  if (c.width !== outW) c.width = outW;
  if (c.height !== outH) c.height = outH;
  if (!s.image || s.image.width !== w || s.image.height !== h) s.image = s.ctx.createImageData(w, h);
  s.image.data.set(HEAPU8.subarray(rgba, rgba + w * h * 4));
  var ctx = s.ctx;
  ctx.fillStyle = "#000";
  if (bw === w && bh === h) {
    if (bx > 0 || by > 0 || bw < outW || bh < outH) {
      ctx.fillRect(0, 0, outW, by);
      ctx.fillRect(0, by + bh, outW, outH - by - bh);
      ctx.fillRect(0, by, bx, bh);
      ctx.fillRect(bx + bw, by, outW - bx - bw, bh);
    }
    ctx.putImageData(s.image, bx, by);
    return 1;
  }
  if (!s.off) {
    s.off = document.createElement("canvas");
    s.offCtx = s.off.getContext("2d", { alpha: false });
  }
  if (s.off.width !== w) s.off.width = w;
  if (s.off.height !== h) s.off.height = h;
  s.offCtx.putImageData(s.image, 0, 0);
  ctx.fillRect(0, 0, outW, outH);
  ctx.imageSmoothingEnabled = !!smooth;
  if (smooth) ctx.imageSmoothingQuality = "medium";
  ctx.drawImage(s.off, 0, 0, w, h, bx, by, bw, bh);
  return 1;
});

EM_JS(void, tw_set_page_state, (const char* state), {
  if (document.body) document.body.dataset.game = UTF8ToString(state);
});

EM_JS(void, tw_show_end, (), {
  var p = window.TangrelPage;
  if (p && typeof p.showEnd === "function") {
    try { p.showEnd(); } catch (e) { console.error(e); }
  }
});

EM_JS(void, tw_show_error, (const char* text), {
  var t = UTF8ToString(text);
  var p = window.TangrelPage;
  if (p && typeof p.showError === "function") {
    try { p.showError(t); } catch (e) { console.error(e); }
  }
});

EM_JS(int, tw_open_url, (const char* url), {
  try {
    window.open(UTF8ToString(url), "_blank", "noopener");
    return 1;
  } catch (e) {
    return 0;
  }
});

EM_JS(void, tw_set_cursor, (int show, int busy), {
  var c = document.getElementById("canvas");
  if (c) c.style.cursor = busy ? "wait" : (show ? "default" : "none");
});

// Full screen through the Fullscreen API. The browser allows it only inside a press or a
// key: mode 1 enters it now when it may, else at the player's next press or key; mode 2 only
// at the next one; mode 0 leaves it.
EM_JS(void, tw_fullscreen, (int mode), {
  var st = Module.twFull || (Module.twFull = { want: false, hooked: false });
  var el = document.documentElement;
  var isFull = function() { return !!(document.fullscreenElement || document.webkitFullscreenElement); };
  var enter = function() {
    if (!st.want || isFull()) return;
    // Without a press or key just now the browser refuses: wait for the next one.
    var ua = navigator.userActivation;
    if (ua && !ua.isActive) return;
    var req = el.requestFullscreen || el.webkitRequestFullscreen;
    if (!req) return;
    try {
      var p = req.call(el);
      if (p && p.catch) p.catch(function() {});
    } catch (e) {}
  };
  if (!st.hooked) {
    st.hooked = true;
    window.addEventListener("pointerdown", enter, true);
    window.addEventListener("keydown", enter, true);
    window.addEventListener("touchend", enter, true);
  }
  st.want = mode !== 0;
  if (mode === 1) {
    enter();
  } else if (mode === 0 && isFull()) {
    var exit = document.exitFullscreen || document.webkitExitFullscreen;
    try {
      var q = exit.call(document);
      if (q && q.catch) q.catch(function() {});
    } catch (e) {}
  }
});

EM_JS(void, tw_screen_size, (int* out), {
  HEAP32[(out >> 2) + 0] = (screen && screen.availWidth) || window.innerWidth;
  HEAP32[(out >> 2) + 1] = (screen && screen.availHeight) || window.innerHeight;
});

// The page's own uses of the canvas that the game must not see: the context menu, text
// selection, scrolling and zooming; and pagehide, which the html5 calls have no hook for.
EM_JS(void, tw_hook_page, (), {
  var c = document.getElementById("canvas");
  if (c) {
    c.addEventListener("contextmenu", function(e) { e.preventDefault(); });
    c.addEventListener("selectstart", function(e) { e.preventDefault(); });
    c.tabIndex = c.tabIndex >= 0 ? c.tabIndex : 0;
  }
  window.addEventListener("pagehide", function() { _tw_page_hidden(1); });
});

extern "C" EMSCRIPTEN_KEEPALIVE void tw_page_hidden(int hidden);

namespace plat::web {

namespace {

std::function<void()> gPageHidden;
bool gSleeping = false;
bool gAllowWaits = true;

class WebPlatform;
WebPlatform* gWeb = nullptr;

struct Timer {
  int id = 0;
  uint32_t interval = 0;
  uint32_t due = 0;
};

class WebPlatform : public IPlatform {
 public:
  WebPlatform();
  ~WebPlatform() override;

  bool CreateMainWindow(const std::string& caption, int w, int h) override;
  bool SetFullScreen(bool full) override;
  bool IsFullScreen() const override { return fullScreen; }
  WindowPlacement GetPlacement() const override;
  void SetPlacement(const WindowPlacement&) override {}
  void Minimize() override;
  void Restore() override {}
  bool IsMinimized() const override { return false; }
  void RequestClose() override { Emit({EventKind::Quit}); }
  void ShowSystemCursor(bool show) override {
    systemCursor = show;
    tw_set_cursor(systemCursor, busy);
  }
  void SetBusyCursor(bool on) override {
    busy = on;
    tw_set_cursor(systemCursor, busy);
  }
  bool Present(const uint32_t* pixels, int width, int height, int pitch) override;
  bool DesktopArea(int& w, int& h) const override;
  bool WindowedClientSize(int& w, int& h) const override;
  void SetWindowedClientSize(int, int) override {}  // a tab is as large as the browser makes it

  bool PollEvent(Event& e) override;
  // The browser's loop cannot wait: whatever waits is taken, else nothing.
  bool WaitEvent(Event& e, int) override { return PollEvent(e); }
  void PostEvent(const Event& e) override { events.Post(e); }
  void SetTimer(int id, int intervalMs, bool enabled) override;

  uint32_t Ticks() override { return static_cast<uint32_t>(emscripten_get_now() - start); }
  double TimeOfDay() override;
  std::string LongTimeString() override;
  void Randomize() override;
  int Random(int n) override { return rng.Below(n); }
  void Sleep(int ms) override;

  void ReportError(const std::string& text) override;
  bool OpenURL(const std::string& url) override { return tw_open_url(url.c_str()) != 0; }
  std::string ProgramDir() override { return "/game/"; }
  std::string ConfigDir() override { return "/home/web_user/.config/tangrel/"; }

  // --- from the page's callbacks ---------------------------------------------------------
  void Emit(const Event& e) { events.Emit(e); }
  void SetActive(bool on);
  void Pointer(EventKind kind, TMouseButton button, double clientX, double clientY, TShiftState keys);
  void Wheel(double deltaY, unsigned long mode, TShiftState keys);
  void Touch(int eventType, const EmscriptenTouchEvent& t);
  void FullScreenChanged(bool nowFull);
  void Turn();

  TShiftState held = 0;  // mouse buttons down

 private:
  struct Geometry {
    double left = 0, top = 0, cssW = kPictureWidth, cssH = kPictureHeight, ratio = 1;
    int outW = kPictureWidth, outH = kPictureHeight;
  };
  Geometry Measure() const;
  TPoint ToGame(const Geometry& g, double clientX, double clientY) const;
  void TakeTouch();

  bool created = false;
  bool shown = false;  // a frame has been presented
  bool fullScreen = false;
  bool leftByMinimize = false;
  bool systemCursor = true;
  bool busy = false;
  bool active = false;
  TPoint lastMouse{400, 300};
  double wheelAcc = 0;
  double start = 0;
  EventQueue events;
  std::vector<Timer> timers;
  std::vector<uint8_t> rgba;
  TouchGestures touch;
  RandomSource rng;
};

TShiftState KeysOf(bool shift, bool ctrl, bool alt) {
  return static_cast<TShiftState>((shift ? ssShift : 0) | (ctrl ? ssCtrl : 0) | (alt ? ssAlt : 0));
}

// --- the html5 callbacks -----------------------------------------------------------------------

EM_BOOL OnKey(int, const EmscriptenKeyboardEvent* k, void*) {
  const uint16_t vk = VirtualKeyFromDom(k->code, k->key);
  if (vk == 0) return EM_FALSE;
  Event e;
  e.Kind = EventKind::KeyDown;
  e.Key = vk;
  e.Shift = KeysOf(k->shiftKey, k->ctrlKey, k->altKey);
  gWeb->Emit(e);
  return BrowserKeepsKey(vk, k->ctrlKey, k->metaKey, k->altKey) ? EM_FALSE : EM_TRUE;
}

bool ButtonOf(unsigned short b, TMouseButton& button, TShiftState& bit) {
  switch (b) {
    case 0: button = TMouseButton::mbLeft; bit = ssLeft; return true;
    case 1: button = TMouseButton::mbMiddle; bit = ssMiddle; return true;
    case 2: button = TMouseButton::mbRight; bit = ssRight; return true;
    default: return false;
  }
}

TShiftState HeldOf(unsigned short buttons) {
  return static_cast<TShiftState>((buttons & 1 ? ssLeft : 0) | (buttons & 2 ? ssRight : 0) | (buttons & 4 ? ssMiddle : 0));
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* m, void*) {
  TMouseButton button;
  TShiftState bit;
  if (!ButtonOf(m->button, button, bit)) return EM_FALSE;
  gWeb->held = static_cast<TShiftState>(gWeb->held | bit);
  gWeb->Pointer(EventKind::MouseDown, button, m->clientX, m->clientY, KeysOf(m->shiftKey, m->ctrlKey, m->altKey));
  return EM_TRUE;
}

// Moves and releases are taken from the whole window, so a press keeps its pointer when it
// leaves the canvas (the browser sends a held mouse's moves to the page it started on).
EM_BOOL OnMouseUp(int, const EmscriptenMouseEvent* m, void*) {
  TMouseButton button;
  TShiftState bit;
  if (!ButtonOf(m->button, button, bit)) return EM_FALSE;
  if (!(gWeb->held & bit)) return EM_FALSE;  // pressed elsewhere, on the page's own boxes
  gWeb->held = static_cast<TShiftState>(gWeb->held & ~bit);
  gWeb->Pointer(EventKind::MouseUp, button, m->clientX, m->clientY, KeysOf(m->shiftKey, m->ctrlKey, m->altKey));
  return EM_TRUE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* m, void*) {
  gWeb->held = static_cast<TShiftState>(gWeb->held & HeldOf(m->buttons));
  gWeb->Pointer(EventKind::MouseMove, TMouseButton::mbLeft, m->clientX, m->clientY, KeysOf(m->shiftKey, m->ctrlKey, m->altKey));
  return EM_FALSE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* w, void*) {
  gWeb->Wheel(w->deltaY, w->deltaMode, KeysOf(w->mouse.shiftKey, w->mouse.ctrlKey, w->mouse.altKey));
  return EM_TRUE;
}

EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* t, void*) {
  gWeb->Touch(type, *t);
  return EM_TRUE;  // no mouse events made up from it, no scrolling, no zoom
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
  gWeb->SetActive(type == EMSCRIPTEN_EVENT_FOCUS);
  return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* v, void*) {
  tw_page_hidden(v->hidden ? 1 : 0);
  return EM_FALSE;
}

EM_BOOL OnFullScreen(int, const EmscriptenFullscreenChangeEvent* f, void*) {
  gWeb->FullScreenChanged(f->isFullscreen);
  return EM_FALSE;
}

// --- the platform ------------------------------------------------------------------------------

WebPlatform::WebPlatform() {
  gWeb = this;
  start = emscripten_get_now();
}

WebPlatform::~WebPlatform() {
  const char* win = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(win, nullptr, true, nullptr);
  emscripten_set_mousedown_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_mouseup_callback(win, nullptr, true, nullptr);
  emscripten_set_mousemove_callback(win, nullptr, true, nullptr);
  emscripten_set_wheel_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_touchstart_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_touchmove_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_touchend_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_touchcancel_callback("#canvas", nullptr, false, nullptr);
  emscripten_set_focus_callback(win, nullptr, true, nullptr);
  emscripten_set_blur_callback(win, nullptr, true, nullptr);
  emscripten_set_visibilitychange_callback(nullptr, true, nullptr);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, true, nullptr);
  // The game is gone: out of full screen, and no later press (the end page's button) goes
  // back into it.
  tw_fullscreen(0);
  if (gWeb == this) gWeb = nullptr;
}

bool WebPlatform::CreateMainWindow(const std::string&, int, int) {
  if (created) return true;
  created = true;
  const char* win = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(win, nullptr, true, OnKey);
  emscripten_set_mousedown_callback("#canvas", nullptr, false, OnMouseDown);
  emscripten_set_mouseup_callback(win, nullptr, true, OnMouseUp);
  emscripten_set_mousemove_callback(win, nullptr, true, OnMouseMove);
  emscripten_set_wheel_callback("#canvas", nullptr, false, OnWheel);
  emscripten_set_touchstart_callback("#canvas", nullptr, false, OnTouch);
  emscripten_set_touchmove_callback("#canvas", nullptr, false, OnTouch);
  emscripten_set_touchend_callback("#canvas", nullptr, false, OnTouch);
  emscripten_set_touchcancel_callback("#canvas", nullptr, false, OnTouch);
  emscripten_set_focus_callback(win, nullptr, true, OnFocus);
  emscripten_set_blur_callback(win, nullptr, true, OnFocus);
  emscripten_set_visibilitychange_callback(nullptr, true, OnVisibility);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, true, OnFullScreen);
  tw_hook_page();
  tw_set_cursor(systemCursor, busy);
  // The page opens in front: the game starts active, as a desktop window that opens.
  EmscriptenVisibilityChangeEvent v{};
  if (emscripten_get_visibility_status(&v) != EMSCRIPTEN_RESULT_SUCCESS || !v.hidden) SetActive(true);
  return true;
}

bool WebPlatform::SetFullScreen(bool full) {
  fullScreen = full;
  leftByMinimize = false;
  tw_fullscreen(full ? 1 : 0);
  return true;
}

void WebPlatform::FullScreenChanged(bool nowFull) {
  if (nowFull) leftByMinimize = false;
  if (nowFull || !fullScreen || leftByMinimize) return;
  // The player left full screen through the browser (Esc): as Alt+Enter would.
  Event e;
  e.Kind = EventKind::KeyDown;
  e.Key = 13;
  e.Shift = ssAlt;
  Emit(e);
}

void WebPlatform::Minimize() {
  // A tab cannot be minimised: it leaves full screen, and the player's next press or key
  // (when back in the tab) goes back into it, as a restored window would.
  if (!fullScreen) return;
  leftByMinimize = true;
  tw_fullscreen(0);
  tw_fullscreen(2);
}

WindowPlacement WebPlatform::GetPlacement() const {
  WindowPlacement p;
  p.Valid = created;
  const Geometry g = Measure();
  p.W = static_cast<int>(g.cssW);
  p.H = static_cast<int>(g.cssH);
  return p;
}

bool WebPlatform::DesktopArea(int& w, int& h) const {
  int s[2] = {0, 0};
  tw_screen_size(s);
  w = s[0];
  h = s[1];
  return w > 0 && h > 0;
}

bool WebPlatform::WindowedClientSize(int& w, int& h) const {
  const Geometry g = Measure();
  w = static_cast<int>(std::lround(g.cssW));
  h = static_cast<int>(std::lround(g.cssH));
  return created && w > 0 && h > 0;
}

WebPlatform::Geometry WebPlatform::Measure() const {
  double v[5] = {0, 0, 0, 0, 1};
  tw_canvas_geometry(v);
  Geometry g;
  g.left = v[0];
  g.top = v[1];
  g.cssW = v[2] > 0 ? v[2] : kPictureWidth;
  g.cssH = v[3] > 0 ? v[3] : kPictureHeight;
  g.ratio = v[4] > 0 && v[4] < 16 ? v[4] : 1;
  // The canvas holds a pixel for every pixel of the screen under it.
  g.outW = std::clamp(static_cast<int>(std::lround(g.cssW * g.ratio)), 1, 16384);
  g.outH = std::clamp(static_cast<int>(std::lround(g.cssH * g.ratio)), 1, 16384);
  return g;
}

TPoint WebPlatform::ToGame(const Geometry& g, double clientX, double clientY) const {
  // Page pixels to canvas pixels, then onto the picture as Present places it.
  const double x = (clientX - g.left) * g.outW / g.cssW;
  const double y = (clientY - g.top) * g.outH / g.cssH;
  const double big = 1 << 30;
  return OutputToPicture(FitPicture(g.outW, g.outH), static_cast<int32_t>(std::floor(std::clamp(x, -big, big))),
                         static_cast<int32_t>(std::floor(std::clamp(y, -big, big))));
}

bool WebPlatform::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (!created || !pixels || width <= 0 || height <= 0 || pitch < width) return false;
  rgba.resize(static_cast<size_t>(width) * height * 4);
  // XRGB words to the canvas's R, G, B, A bytes, every pixel opaque.
  uint32_t* out = reinterpret_cast<uint32_t*>(rgba.data());
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * pitch;
    uint32_t* o = out + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = row[x];
      o[x] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
    }
  }
  const Geometry g = Measure();
  PictureBox box = FitPicture(g.outW, g.outH);
  if (width != kPictureWidth || height != kPictureHeight) box = {0, 0, width, height, 1, ScaleFilter::Nearest};
  if (!tw_present(rgba.data(), width, height, g.outW, g.outH, box.X, box.Y, box.W, box.H,
                  box.Filter == ScaleFilter::Linear ? 1 : 0))
    return false;
  if (!shown) {
    shown = true;
    tw_set_page_state("running");  // the page and its tests: the game shows
  }
  return true;
}

void WebPlatform::SetActive(bool on) {
  if (active == on) return;
  active = on;
  Emit({on ? EventKind::Activate : EventKind::Deactivate});
}

void WebPlatform::Pointer(EventKind kind, TMouseButton button, double clientX, double clientY, TShiftState keys) {
  lastMouse = ToGame(Measure(), clientX, clientY);
  Event e;
  e.Kind = kind;
  e.Button = button;
  e.X = lastMouse.X;
  e.Y = lastMouse.Y;
  e.Shift = static_cast<TShiftState>(keys | held);
  Emit(e);
}

void WebPlatform::Wheel(double deltaY, unsigned long mode, TShiftState keys) {
  // One notch is about 100 pixels, 3 lines or a page; smooth wheels add up until they make one.
  const double notch = mode == DOM_DELTA_PIXEL ? 100.0 : mode == DOM_DELTA_LINE ? 3.0 : 1.0;
  if (!std::isfinite(deltaY)) return;
  wheelAcc = std::clamp(wheelAcc - deltaY / notch, -64.0, 64.0);
  Event e;
  e.X = lastMouse.X;
  e.Y = lastMouse.Y;
  e.Shift = static_cast<TShiftState>(keys | held);
  events.EmitNotches(e, wheelAcc, 1.0);
}

void WebPlatform::Touch(int type, const EmscriptenTouchEvent& t) {
  const Geometry g = Measure();
  const uint32_t now = Ticks();
  for (int i = 0; i < t.numTouches && i < 32; ++i) {
    const EmscriptenTouchPoint& p = t.touches[i];
    if (!p.isChanged) continue;
    const TPoint at = ToGame(g, static_cast<double>(p.clientX), static_cast<double>(p.clientY));
    const int32_t px = static_cast<int32_t>(p.clientX), py = static_cast<int32_t>(p.clientY);
    const int32_t id = static_cast<int32_t>(p.identifier & 0x7FFFFFFF);
    switch (type) {
      case EMSCRIPTEN_EVENT_TOUCHSTART: touch.Start(id, px, py, at.X, at.Y, now); break;
      case EMSCRIPTEN_EVENT_TOUCHMOVE: touch.MoveTo(id, px, py, at.X, at.Y, now); break;
      case EMSCRIPTEN_EVENT_TOUCHEND: touch.End(id, now); break;
      default: touch.End(id, now, true); break;
    }
  }
  TakeTouch();
}

void WebPlatform::TakeTouch() {
  TShiftState buttons = 0;
  for (const TouchAction& a : touch.Take()) {
    Event e;
    e.Kind = a.kind == TouchAction::Down ? EventKind::MouseDown
             : a.kind == TouchAction::Up ? EventKind::MouseUp : EventKind::MouseMove;
    e.Button = a.button;
    const TShiftState bit = a.button == TMouseButton::mbRight ? ssRight : ssLeft;
    if (a.kind == TouchAction::Down) buttons = static_cast<TShiftState>(buttons | bit);
    if (a.kind == TouchAction::Up) buttons = static_cast<TShiftState>(buttons & ~bit);
    e.X = a.x;
    e.Y = a.y;
    e.Shift = static_cast<TShiftState>(a.shift | touch.Held() | buttons);
    lastMouse = {a.x, a.y};
    Emit(e);
  }
}

void WebPlatform::Turn() {
  touch.Tick(Ticks());
  TakeTouch();
  // Timers: one tick when due, merged when the game was busy, as a window's timer is.
  const uint32_t now = Ticks();
  for (Timer& t : timers) {
    if (static_cast<int32_t>(now - t.due) < 0) continue;
    Emit({EventKind::Timer, 0, 0, TMouseButton::mbLeft, 0, 0, t.id});
    t.due = now + t.interval;
  }
}

bool WebPlatform::PollEvent(Event& e) {
  return events.Poll(e, [] { return false; });
}

void WebPlatform::SetTimer(int id, int intervalMs, bool enabled) {
  std::erase_if(timers, [id](const Timer& t) { return t.id == id; });
  if (!enabled) return;
  Timer t;
  t.id = id;
  t.interval = static_cast<uint32_t>(std::max(1, intervalMs));
  t.due = Ticks() + t.interval;
  timers.push_back(t);
}

double WebPlatform::TimeOfDay() {
  const double ms = emscripten_date_now();
  const time_t secs = static_cast<time_t>(ms / 1000);
  struct tm lt{};
  localtime_r(&secs, &lt);
  return DayFraction(lt.tm_hour, lt.tm_min, lt.tm_sec, static_cast<int>(std::fmod(ms, 1000.0)));
}

std::string WebPlatform::LongTimeString() {
  time_t now = time(nullptr);
  struct tm lt{};
  localtime_r(&now, &lt);
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", lt.tm_hour, lt.tm_min, lt.tm_sec);
  return std::string(buf, static_cast<size_t>(n > 0 ? n : 0));
}

void WebPlatform::Randomize() {
  const double now = emscripten_date_now();
  const double tick = emscripten_get_now();
  rng.Seed({static_cast<uint32_t>(static_cast<uint64_t>(now)), static_cast<uint32_t>(static_cast<uint64_t>(now) >> 32),
            static_cast<uint32_t>(static_cast<uint64_t>(tick * 1000))});
}

void WebPlatform::Sleep(int ms) {
  // The page goes on meanwhile (the sound plays, the events queue up): only the game waits.
  if (ms <= 0 || !gAllowWaits || gSleeping) return;
  gSleeping = true;
  emscripten_sleep(static_cast<unsigned>(ms));
  gSleeping = false;
}

void WebPlatform::ReportError(const std::string& text) {
  LogError(text);  // the line on the console, then the box on the page
  tw_show_error(text.c_str());
}

}  // namespace

IPlatform* CreateWebPlatform() { return new WebPlatform(); }

void PlatformTurn() {
  if (gWeb) gWeb->Turn();
}

void OnPageHidden(std::function<void()> fn) { gPageHidden = std::move(fn); }
void SetPageState(const char* state) { tw_set_page_state(state); }
void ShowEnd() { tw_show_end(); }
bool Sleeping() { return gSleeping; }
void AllowWaits(bool allow) { gAllowWaits = allow; }

}  // namespace plat::web

// The page is hidden or shown again (visibilitychange), or goes (pagehide, hidden = 1).
extern "C" EMSCRIPTEN_KEEPALIVE void tw_page_hidden(int hidden) {
  using namespace plat::web;
  if (!gWeb) return;
  gWeb->SetActive(!hidden);
  if (!hidden) return;
  // A hidden tab runs no animation frames: the entry lets the game see its deactivation
  // now, and writes what it writes on closing, since the tab may never come back.
  if (gPageHidden) gPageHidden();
}
