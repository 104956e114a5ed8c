// Playing sound effects by name through the shared effect list.
#include "media/effects.h"

#include "media/devices.h"
#include "media/sound.h"
#include "platform/test_seam.h"
#include "settings/reestr.h"

void PlaySound(const std::string& name) {
  if (!Settings.Sounds) return;
  if (test_seam::SoundTap) test_seam::SoundTap(name, false);
  if (!Devices.WaveList) return;
  try {
    Devices.WaveList->Find(name).Play(false);
  } catch (const std::exception&) {
    // A missing effect is not worth interrupting the game for.
  }
}

void PlaySoundWait(const std::string& name) {
  if (!Settings.Sounds) return;
  if (test_seam::SoundTap) test_seam::SoundTap(name, true);
  if (!Devices.WaveList) return;
  Devices.WaveList->Find(name).Play(true);
}
