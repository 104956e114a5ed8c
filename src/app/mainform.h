// The main form: the one window, its components, and the event handlers that are the
// entries of everything else.
#pragma once
#include <cstdint>

#include "app/loop.h"
#include "app/pacing.h"
#include "media/devices.h"
#include "media/imagelist.h"
#include "media/sound.h"
#include "media/surface.h"
#include "platform/platform.h"
#include "platform/types.h"


class TMainForm {
 public:
  TMainForm();
  ~TMainForm();

  // Components, in their order.
  TDrawDevice DrawDevice;
  bool FrameTimerEnabled = false;  // the idle-time frame timer
  TPlatformTimer TimerRot{kTimerRotId, 200};
  TImageList ImageList{&DrawDevice};
  TImageList TexList{&DrawDevice};
  TSoundDevice SoundDevice;
  TWaveList WaveList{&SoundDevice};

  uint32_t AnimClock = 0;
  uint16_t RotatingPiece = 0;
  TImageItem* RotateCWImage = nullptr;
  TImageItem* RotateCCWImage = nullptr;
  bool ActivateInstalled = false;  // AppActivate/AppDeactivate handlers in place
  bool Closed = false;

  // Handlers.
  void FormCreate();
  void FormClose();
  void FormKeyDown(uint16_t key, TShiftState shift);
  void DrawDeviceInitialize();
  void DrawDeviceFinalize();
  void DrawDeviceMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  void DrawDeviceMouseMove(TShiftState shift, int32_t x, int32_t y);
  void DrawDeviceMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  void FrameTimerTimer(int32_t lagCount);
  void TimerRotTimer();
  void FormMouseWheelDown(TShiftState shift, TPoint pos);
  void FormMouseWheelUp(TShiftState shift, TPoint pos);
  void AppActivate();
  void AppDeactivate();

  // Closes the main window the normal way: FormClose runs once (settings saved).
  void Close();

  void DrawLevelComplete();
  void DrawPointer();
  void DrawLoadingScreen();

  // Opens the drawing device; a failure is reported and the device stays closed.
  void OpenDrawDevice();
  // The 288 piece-picture surfaces (12 pieces x 24 turns) that live while the device is open.
  void CreatePieceImages();
  void FreePieceImages();
  static int PieceImageCount();
  uint32_t LastFrameTicks = 0;  // clock reading of the previous frame
  TFramePacer FramePacer;  // when the next frame is due

 private:
  bool closing = false;
};

extern TMainForm* MainForm;

void ToggleFullScreen();
void MinimizeWindow();
