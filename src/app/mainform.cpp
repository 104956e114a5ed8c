// Placeholder until this unit is built; replaced by the real one.
#include "app/mainform.h"

#include "platform/platform.h"

TMainForm* MainForm = nullptr;

void TPlatformTimer::SetEnabled(bool on) {
  enabled = on;
  plat::Platform().SetTimer(Id, Interval, on);
}

TMainForm::TMainForm() = default;
TMainForm::~TMainForm() = default;
void TMainForm::FormCreate() {}
void TMainForm::FormClose() {}
void TMainForm::FormKeyDown(uint16_t, TShiftState) {}
void TMainForm::DrawDeviceInitialize() {}
void TMainForm::DrawDeviceFinalize() {}
void TMainForm::DrawDeviceMouseDown(TMouseButton, TShiftState, int32_t, int32_t) {}
void TMainForm::DrawDeviceMouseMove(TShiftState, int32_t, int32_t) {}
void TMainForm::DrawDeviceMouseUp(TMouseButton, TShiftState, int32_t, int32_t) {}
void TMainForm::FrameTimerTimer(int32_t) {}
void TMainForm::TimerRotTimer() {}
void TMainForm::FormMouseWheelDown(TShiftState, TPoint) {}
void TMainForm::FormMouseWheelUp(TShiftState, TPoint) {}
void TMainForm::AppActivate() {}
void TMainForm::AppDeactivate() {}
void TMainForm::Close() {}
void TMainForm::DrawLevelComplete() {}
void TMainForm::DrawPointer() {}
void TMainForm::DrawLoadingScreen() {}
void ToggleFullScreen() {}
void MinimizeWindow() {}
bool RunMessageLoopOnce() { return false; }
void RunMessageLoop() {}
