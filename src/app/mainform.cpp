// The main form: start-up and shut-down, the opening and closing of the drawing device,
// the frame, the input dispatch by screen state, and the window-mode switch.
#include "app/mainform.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <exception>

#include "app/error_report.h"
#include "app/shell.h"
#include "hud/funcs.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/music.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "settings/window_size.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm() {
  DrawDevice.OnInitialize = [this] { DrawDeviceInitialize(); };
  DrawDevice.OnFinalize = [this] { DrawDeviceFinalize(); };
  // Every other unit reaches the components through the devices record.
  Devices.DrawDevice = &DrawDevice;
  Devices.ImageList = &ImageList;
  Devices.TexList = &TexList;
  Devices.SoundDevice = &SoundDevice;
  Devices.WaveList = &WaveList;
  Devices.TimerRot = &TimerRot;
  Devices.RotatingPiece = &RotatingPiece;
  Devices.Close = [this] { Close(); };
  Devices.Minimize = [] { MinimizeWindow(); };
  // Space on an unsolved level asks for the message box; the puzzle core knows only the hook.
  OnSpaceUnsolved = ShowMessageBox;
}

TMainForm::~TMainForm() {
  // The mixer reads the effects' samples: stop it before the effect list goes.
  if (SoundDevice.Initialized()) SoundDevice.Finalize();
  if (DrawDevice.Initialized()) {
    try {
      DrawDevice.Finalize();
    } catch (const std::exception&) {
      // Nothing sensible to do on the way out.
    }
  }
  // The device outlives this body; it must not call back into a form being torn down.
  DrawDevice.OnInitialize = nullptr;
  DrawDevice.OnFinalize = nullptr;
  FreePieceImages();
  if (Devices.DrawDevice == &DrawDevice) Devices = TDevices{};
  if (MainForm == this) MainForm = nullptr;
}

// --- start-up and shut-down -------------------------------------------------------------

void TMainForm::FormCreate() {
  // Ratings of the hundred levels from the four level files.
  RateLevelCatalogue();
  // The twenty row rectangles every episode page shares.
  LayOutLevelRows();
  // The first level is the one in play until the player picks another.
  CurrentLevel = 0;
  // We draw our own pointer, from the middle of the screen.
  plat::Platform().ShowSystemCursor(false);
  CursorPos = {400, 300};
  // The two picture packages.
  ImageList.LoadFromFile("Sprites.gpk");
  TexList.LoadFromFile("Textures.gpk");
  // The six options and the progress file.
  LoadSettings();
  // The window opens at its remembered size, or one that suits the desktop.
  ApplyWindowSize();
  // The menu and the panel; both measure sprites, so they come after the packages.
  BuildMenu();
  InitPanel();
  // The sound device and the effects.
  InitSound();
  // The tips start at the first, their clock at zero.
  TipIndex = 1;
  TipClock = 0;
  // The themes still to play.
  InitMusicList();
  // The device opens full screen when it first opens.
  if (Settings.Full) DrawDevice.FullScreen = true;
  // From here on activation opens the device and deactivation closes it.
  ActivateInstalled = true;
  // The level-complete display's clock.
  AnimClock = 0;
  // The record's start mark.
  PlayerRecord.Bytes[432] = 1;
  // The first theme.
  StartMusic();
}

void TMainForm::FormClose() {
  // The sound device goes first, while everything its mixer reads is still there.
  if (SoundDevice.Initialized()) SoundDevice.Finalize();
  if (DrawDevice.Initialized()) DrawDevice.Finalize();
  StopMidi();
  IgnoreNextNotify = true;
  // A start-up that stopped before the options and the progress were read writes neither:
  // the defaults must not go over what the player has stored.
  if (!SettingsLoaded()) return;
  RememberWindowSize();
  SaveSettings();
}

void TMainForm::Close() {
  if (Closed || closing) return;
  closing = true;
  try {
    FormClose();
  } catch (const std::exception& e) {
    plat::Platform().ReportError(e.what());
  }
  Closed = true;
  closing = false;
}

void TMainForm::AppActivate() {
  if (!ActivateInstalled) return;
  // Effects are heard only while the game's window is active; music goes on regardless.
  SetEffectsAudible(true);
  // A second activation notice without a deactivation between changes nothing.
  if (DrawDevice.Initialized()) return;
  if (DrawDevice.FullScreen && plat::Platform().IsMinimized()) plat::Platform().Restore();
  OpenDrawDevice();
}

void TMainForm::AppDeactivate() {
  if (!ActivateInstalled) return;
  SetEffectsAudible(false);
  if (DrawDevice.Initialized()) DrawDevice.Finalize();
  // Frames stop with the device, even when it never opened.
  FrameTimerEnabled = false;
}

void TMainForm::OpenDrawDevice() {
  try {
    DrawDevice.Initialize();
  } catch (const std::exception& e) {
    // A device that failed to open stays closed: no frames until the next activation.
    if (!DrawDevice.Initialized()) {
      FrameTimerEnabled = false;
      FreePieceImages();
    }
    plat::Platform().ReportError(e.what());
  }
}

void TMainForm::CreatePieceImages() {
  for (int i = 1; i <= kMaxPieces; ++i)
    for (auto& img : PieceTable[i].Images) {
      img.Image = std::make_unique<TSurface>();
      img.Runs.Clear();
      img.Built = 0;
    }
}

void TMainForm::FreePieceImages() {
  for (int i = 1; i <= kMaxPieces; ++i)
    for (auto& img : PieceTable[i].Images) {
      img.Image.reset();
      img.Runs.Clear();
      img.Built = 0;
    }
}

int TMainForm::PieceImageCount() {
  int n = 0;
  for (int i = 1; i <= kMaxPieces; ++i)
    for (auto& img : PieceTable[i].Images)
      if (img.Image) ++n;
  return n;
}

void TMainForm::DrawDeviceInitialize() {
  plat::IPlatform& p = plat::Platform();
  p.SetBusyCursor(true);
  AnimClock = 0;
  CreatePieceImages();
  p.Randomize();
  // A level that cannot be read stands empty (the load leaves the slot-box alone); the
  // opening goes on so the frames start and the player can move away from it. The error is
  // reported once, when the opening is done, and later openings do not try it again.
  // Every later opening (focus back, restored, the screen mode switched) keeps the level as
  // the player left it: only its pictures are made again, on the new surfaces.
  std::exception_ptr levelError;
  if (LevelSetUp) {
    ResumeLevel();
  } else {
    try {
      StartGame();
    } catch (const std::exception&) {
      levelError = std::current_exception();
    }
  }
  FrameTimerEnabled = true;
  LastFrameTicks = p.Ticks();
  FramePacer.Restart(LastFrameTicks);
  p.SetBusyCursor(false);
  RotateCursor = 0;
  CursorFrame = 0;
  RotateCWImage = &ImageList.Find("RotateCW");
  RotateCCWImage = &ImageList.Find("RotateCCW");
  if (ScreenState == scLoading) ScreenState = scMenu;
  if (levelError) std::rethrow_exception(levelError);
}

void TMainForm::DrawDeviceFinalize() {
  StopLevelClock();
  FreePieceImages();
  FrameTimerEnabled = false;
}

// --- the frame --------------------------------------------------------------------------

void TMainForm::FrameTimerTimer(int32_t lagCount) {
  if (!DrawDevice.CanDraw()) return;
  TipTimerStep(lagCount);
  AnimClock += static_cast<uint32_t>(lagCount);
  TSurface& s = DrawDevice.Surface;
  if (ScreenState != scLoading) s.Fill(0);
  // Each test sees the state as the draws before it left it.
  if (ScreenState == scPlaying || ScreenState == scAutoSolve) {
    DrawBackground(static_cast<uint8_t>(LevelTexture() + 5));
    DrawPanel();
    DrawGame();
  }
  if (ScreenState == scLevelComplete) {
    DrawBackground(static_cast<uint8_t>(LevelTexture() + 5));
    DrawPanel();
    DrawLevelComplete();
  }
  if (ScreenState == scLoading) DrawLoadingScreen();
  if (ScreenState == scMenu) DrawMenu();
  if (ScreenState == scMessageBox) DrawMessageBox();
  if (ScreenState != scLoading) DrawPointer();
  DrawDevice.Flip();
}

void TMainForm::DrawLoadingScreen() {
  TSurface& s = DrawDevice.Surface;
  TImageItem& item = ImageList.Find("Loading");
  const int32_t w = item.Width();
  const int32_t h = item.Height();
  TSurfaceCanvas& c = s.Canvas();
  c.Brush.Color = clBlack;
  c.Brush.Style = TBrushStyle::bsSolid;
  c.Pen.Color = clBlack;
  c.Pen.Style = TPenStyle::psSolid;
  c.Rectangle((800 - w) / 2 - 5, (600 - h) / 2 - 5, (800 + w) / 2 + 5, (600 + h) / 2 + 5);
  c.Release();
  item.Draw(s, (800 - w) / 2, (600 - h) / 2, 0);
}

void TMainForm::DrawPointer() {
  TSurface& s = DrawDevice.Surface;
  // The turning pointers are centred on the pointer; one far off the surface stays off it.
  const auto centred = [](int32_t v) { return v < INT32_MIN + 18 ? INT32_MIN : v - 18; };
  if (RotateCursor == 1) {
    if (RotateCWImage) RotateCWImage->Draw(s, centred(CursorPos.X), centred(CursorPos.Y), CursorFrame);
  } else if (RotateCursor == 2) {
    if (RotateCCWImage) RotateCCWImage->Draw(s, centred(CursorPos.X), centred(CursorPos.Y), CursorFrame);
  } else {
    ImageList.Find("CursorPnt").Draw(s, CursorPos.X, CursorPos.Y, 0);
  }
  ++CursorFrame;
  if (CursorFrame > 13) CursorFrame = 0;
}

void TMainForm::DrawLevelComplete() {
  TSurface& s = DrawDevice.Surface;
  const double t = AnimClock;
  const TPoint p = PieceTable[0].Position;
  const TPoint k = PieceTable[0].Corners[1];
  TImageItem& x = TexList.Item(LevelTexture());
  DrawSlot();
  if (AnimClock >= 4000) {
    ImageList.Find("Complete_52x100").Draw(s, k.X + 2, k.Y + 50, 0);
    return;
  }
  if (AnimClock < 200) {
    // Grows from 200 to 270 pixels.
    const auto v = static_cast<int32_t>(std::nearbyint(t * 70 / 200));
    x.DrawRotate(s, p.X, p.Y, 200 + v, 200 + v, 0, 0.5, 0.5, 0);
  } else {
    // Shrinks to 70 pixels while turning once clockwise and fading out.
    const auto v = static_cast<int32_t>(std::nearbyint((t - 200) * 200 / 3800));
    const auto a = static_cast<int32_t>(std::nearbyint((t - 200) * 256 / 3800));
    const auto alpha = static_cast<int32_t>(std::trunc((1 - t / 4000) * 256));
    x.DrawRotateAlpha(s, p.X, p.Y, 270 - v, 270 - v, 0, 0.5, 0.5, a, alpha);
  }
  if (AnimClock >= 2500) {
    const auto alpha = static_cast<int32_t>(std::nearbyint((t - 2500) * 256 / 1500));
    ImageList.Find("Complete_52x100")
        .DrawAlpha(s, {k.X + 2, k.Y + 50, k.X + 200, k.Y + 150}, 0, alpha);
  }
}

// --- input ------------------------------------------------------------------------------

void TMainForm::FormKeyDown(uint16_t key, TShiftState shift) {
  if ((shift & ssAlt) && key == VK_RETURN) {
    ToggleFullScreen();
    return;
  }
  // Alt, Shift or Ctrl on its own reports its own key-down before the key it goes with: that
  // is no key press for the screens that wait for any key (Alt+Enter must leave them as they are).
  if (IsModifierKey(key) &&
      (ScreenState == scLoading || ScreenState == scMessageBox || ScreenState == scLevelComplete))
    return;
  switch (ScreenState) {
    case scLoading:
      ScreenState = scMenu;
      break;
    case scMessageBox:
      CloseMessageBox();
      break;
    case scPlaying:
      GameKeyDown(key);
      break;
    case scLevelComplete:
      GameKeyDown(key);
      ScreenState = scPlaying;
      break;
    default:
      break;  // the menu and the automatic solution take no keys
  }
}

void TMainForm::DrawDeviceMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  // A press ends the level-complete display and is at once a press in play.
  if (ScreenState == scLevelComplete) ScreenState = scPlaying;
  switch (ScreenState) {
    case scMenu:
      MenuClick();
      break;
    case scPlaying:
      PanelMouseDown();
      GameMouseDown(button, shift, x, y);
      break;
    case scMessageBox:
      CloseMessageBox();
      break;
    default:
      break;
  }
}

void TMainForm::DrawDeviceMouseMove(TShiftState shift, int32_t x, int32_t y) {
  CursorPos = {x, y};
  if (ScreenState == scMenu) MenuMouseMove(x, y);
  if (ScreenState == scPlaying || ScreenState == scLevelComplete) {
    GameMouseMove(shift, x, y);
    PanelMouseMove(x, y);
    TipMouseMove(x, y);
  }
  if (ScreenState == scMessageBox) MessageBoxMouseMove(x, y);
}

void TMainForm::DrawDeviceMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  RotateCursor = 0;
  if (ScreenState == scMenu) return;
  if (ScreenState == scPlaying) {
    GameMouseUp(button, shift, x, y);
    TipMouseUp();
  }
  // The release that completed the level starts its display at T = 0.
  if (ScreenState == scLevelComplete) AnimClock = 0;
}

void TMainForm::FormMouseWheelDown(TShiftState, TPoint pos) {
  if (ScreenState != scPlaying) return;
  DrawDeviceMouseDown(TMouseButton::mbRight, 0, pos.X, pos.Y);
  DrawDeviceMouseUp(TMouseButton::mbRight, 0, pos.X, pos.Y);
}

void TMainForm::FormMouseWheelUp(TShiftState, TPoint pos) {
  if (ScreenState != scPlaying) return;
  DrawDeviceMouseDown(TMouseButton::mbRight, ssCtrl, pos.X, pos.Y);
  DrawDeviceMouseUp(TMouseButton::mbRight, ssCtrl, pos.X, pos.Y);
}

void TMainForm::TimerRotTimer() {
  RotatePiece(static_cast<uint8_t>(RotatingPiece), static_cast<int8_t>(TimerRot.Tag));
}

// --- window -----------------------------------------------------------------------------

void ToggleFullScreen() {
  if (!MainForm) return;
  TDrawDevice& dev = MainForm->DrawDevice;
  plat::IPlatform& p = plat::Platform();
  if (dev.FullScreen) {
    dev.Finalize();
    // Back to a window first, then to where the window stood.
    p.SetFullScreen(false);
    if (SavedPlacement.Valid) p.SetPlacement(SavedPlacement);
    dev.FullScreen = false;
    Settings.Full = 0;
    dev.Initialize();
    return;
  }
  dev.Finalize();
  SavedPlacement = p.GetPlacement();
  SavedPlacement.Valid = true;
  dev.FullScreen = true;
  Settings.Full = -1;
  try {
    dev.Initialize();
  } catch (const std::exception& e) {
    // A failure of our own set-up travels on like any other.
    if (dev.Initialized()) throw;
    // The display refused full screen: say so and carry on in the window we had.
    p.ReportError(e.what());
    p.SetFullScreen(false);
    p.SetPlacement(SavedPlacement);
    dev.FullScreen = false;
    Settings.Full = 0;
    MainForm->OpenDrawDevice();
  }
}

void MinimizeWindow() { plat::Platform().Minimize(); }

// --- the message loop -------------------------------------------------------------------

namespace {

// Runs one handler; a failure abandons it, is reported, and the loop goes on. The same
// failure in every frame is shown once and then only counted.
template <typename F>
void Guarded(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ReportHandlerError(e.what());
  } catch (...) {
    ReportHandlerError("Unknown error");
  }
}

void DispatchOne(const plat::Event& e) {
  TMainForm& f = *MainForm;
  using K = plat::EventKind;
  Guarded([&] {
    switch (e.Kind) {
      case K::Quit:
        f.Close();
        break;
      case K::Activate:
        if (f.ActivateInstalled) f.AppActivate();
        break;
      case K::Deactivate:
        if (f.ActivateInstalled) f.AppDeactivate();
        break;
      case K::KeyDown:
        f.FormKeyDown(e.Key, e.Shift);
        break;
      case K::MouseDown:
        f.DrawDeviceMouseDown(e.Button, e.Shift, e.X, e.Y);
        break;
      case K::MouseMove:
        f.DrawDeviceMouseMove(e.Shift, e.X, e.Y);
        break;
      case K::MouseUp:
        f.DrawDeviceMouseUp(e.Button, e.Shift, e.X, e.Y);
        break;
      case K::WheelDown:
        f.FormMouseWheelDown(e.Shift, {e.X, e.Y});
        break;
      case K::WheelUp:
        f.FormMouseWheelUp(e.Shift, {e.X, e.Y});
        break;
      case K::Timer:
        if (e.TimerId == kTimerRotId && f.TimerRot.Enabled()) f.TimerRotTimer();
        break;
      case K::MusicNotify:
        OnMusicNotify();
        break;
    }
  });
}

bool FramesRun() {
  return MainForm && !MainForm->Closed && MainForm->FrameTimerEnabled &&
         MainForm->DrawDevice.CanDraw();
}

}  // namespace

void DispatchEvent(const plat::Event& e) {
  if (MainForm) DispatchOne(e);
}

void RunOneFrame() {
  TMainForm& f = *MainForm;
  const uint32_t now = plat::Platform().Ticks();
  uint32_t diff = now - f.LastFrameTicks;
  f.LastFrameTicks = now;
  f.FramePacer.FrameRan(now, plat::Platform().RefreshRate());
  if (diff == 0) diff = 1;
  if (diff > 0x7FFFFFFFu) diff = 0x7FFFFFFFu;
  const auto lag = static_cast<int32_t>(diff);
  Guarded([&] { f.FrameTimerTimer(lag); });
}

bool RunMessageLoopOnce() {
  if (!MainForm || MainForm->Closed) return false;
  plat::IPlatform& p = plat::Platform();
  plat::Event e;
  bool any = false;
  while (MainForm && !MainForm->Closed && p.PollEvent(e)) {
    DispatchOne(e);
    any = true;
  }
  if (!MainForm || MainForm->Closed) return false;
  if (FramesRun()) {
    // A frame is due a refresh of the display after the last; until then the loop waits in
    // the platform, where any input ends the wait at once.
    const int wait = MainForm->FramePacer.WaitMs(p.Ticks());
    if (wait <= 0) {
      RunOneFrame();
    } else if (!any && p.WaitEvent(e, wait)) {
      DispatchOne(e);
    }
  } else if (!any && p.WaitEvent(e, 20)) {
    // Nothing to draw: sleep in the platform until something happens.
    DispatchOne(e);
  }
  return MainForm && !MainForm->Closed;
}

void RunMessageLoop() {
  while (RunMessageLoopOnce()) {
  }
}

bool StartMainForm() {
  plat::IPlatform& p = plat::Platform();
  if (!p.CreateMainWindow("Tangrel 2.0", 800, 600)) {
    p.ReportError("Cannot create the main window");
    return false;
  }
  MainForm = new TMainForm();
  try {
    MainForm->FormCreate();
  } catch (const std::exception& e) {
    // The rest of start-up is skipped; the window still runs.
    p.ReportError(e.what());
  }
  return true;
}

void EndMainForm() {
  if (!MainForm) return;
  TMainForm* f = MainForm;
  f->Close();
  delete f;
  MainForm = nullptr;
  FlushErrorReports();
}

namespace {
bool gProgramStarted = false;  // StartProgram installed a platform
}

bool StartProgram(plat::IPlatform* platform, void (*installAudio)()) {
  if (!platform) {
    std::fprintf(stderr, "Tangrel 2.0: no display platform is available\n");
    return false;
  }
  plat::SetPlatform(platform);
  gProgramStarted = true;
  installAudio();
  return StartMainForm();
}

int FinishProgram(void (*shutdownAudio)()) {
  if (!gProgramStarted) return 1;
  gProgramStarted = false;
  const int code = MainForm ? 0 : 1;
  EndMainForm();
  shutdownAudio();
  plat::SetPlatform(nullptr);
  return code;
}

int RunProgram(plat::IPlatform* platform, void (*installAudio)(), void (*shutdownAudio)()) {
  if (StartProgram(platform, installAudio)) RunMessageLoop();
  return FinishProgram(shutdownAudio);
}
