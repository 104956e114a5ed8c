// The shared devices record and the calls through it.
#include "media/devices.h"

#include "media/imagelist.h"
#include "media/surface.h"
#include "platform/platform.h"

TDevices Devices;

void TPlatformTimer::SetEnabled(bool on) {
  enabled = on;
  plat::Platform().SetTimer(Id, Interval, on);
}

bool DevicesPresent() { return Devices.DrawDevice != nullptr; }

TSurface& BackSurface() { return Devices.DrawDevice->Surface; }
TImageList& Sprites() { return *Devices.ImageList; }
TImageList& Textures() { return *Devices.TexList; }

void CloseMainWindow() {
  if (Devices.Close) Devices.Close();
}

void MinimizeMainWindow() {
  if (Devices.Minimize) Devices.Minimize();
}

void StartRotationTimer(uint16_t piece, int32_t dir) {
  if (!Devices.TimerRot) return;
  *Devices.RotatingPiece = piece;
  Devices.TimerRot->Tag = dir;
  Devices.TimerRot->SetEnabled(true);
}

void StopRotationTimer() {
  if (Devices.TimerRot) Devices.TimerRot->SetEnabled(false);
}
