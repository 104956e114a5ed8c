// The shared devices: the back surface, the sprite and texture lists, the sound device and
// its effect list, the rotation timer, and closing and minimising the main window. The main
// form owns them all and fills this record in when it is made (and empties it when it goes);
// every other unit draws, plays and closes through here and never sees the form itself.
#pragma once
#include <cstdint>
#include <functional>

class TDrawDevice;
class TImageList;
class TSoundDevice;
class TSurface;
class TWaveList;

// A periodic platform timer whose ticks arrive as events; Tag carries a small value.
class TPlatformTimer {
 public:
  TPlatformTimer(int id, int intervalMs) : Id(id), Interval(intervalMs) {}
  const int Id;
  int Interval;
  int32_t Tag = 0;
  bool Enabled() const { return enabled; }
  void SetEnabled(bool on);

 private:
  bool enabled = false;
};

constexpr int kTimerRotId = 1;

struct TDevices {
  TDrawDevice* DrawDevice = nullptr;    // its Surface is the back surface of every frame
  TImageList* ImageList = nullptr;      // sprites, looked up by name
  TImageList* TexList = nullptr;        // textures, addressed by position
  TSoundDevice* SoundDevice = nullptr;
  TWaveList* WaveList = nullptr;        // the effects, looked up by name
  TPlatformTimer* TimerRot = nullptr;   // 200 ms ticks that keep a held piece turning
  uint16_t* RotatingPiece = nullptr;    // the piece those ticks turn
  std::function<void()> Close;          // the main window's normal close (settings saved)
  std::function<void()> Minimize;
};

// Filled in by TMainForm's constructor, emptied by its destructor.
extern TDevices Devices;

// True while a main form has filled the record in. The drawing units draw nothing and the
// effects stay silent without one (unit tests of the rules run that way).
bool DevicesPresent();
// The back surface, the sprite list and the texture list; only while DevicesPresent().
TSurface& BackSurface();
TImageList& Sprites();
TImageList& Textures();

// Called by the exit confirmation's Yes (menu/pages.cpp).
void CloseMainWindow();
// Called by the panel's minimise button and the more-games link.
void MinimizeMainWindow();
// Called by GameMouseDown when a press turns a piece, and by GameMouseUp to stop it again.
void StartRotationTimer(uint16_t piece, int32_t dir);
void StopRotationTimer();
